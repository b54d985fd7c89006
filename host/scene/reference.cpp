// reference.cpp - the reference system's bookkeeping and the standard controller's value plumbing.
#include "host/scene/reference.h"

#include <algorithm>

namespace {
template <class T>
void eraseOne(std::vector<T*>& list, T* item) {
    auto at = std::find(list.begin(), list.end(), item);
    if (at != list.end()) list.erase(at);
}
}  // namespace

// ---- makers ----

ReferenceMaker::~ReferenceMaker() {
    // A maker that goes without dropping its references leaves no target pointing back.
    for (ReferenceTarget* target : heldTargets) eraseOne(target->makers, this);
    heldTargets.clear();
}

void ReferenceMaker::dropTarget(ReferenceTarget* target, BOOL delOld) {
    for (int i = 0; i < NumRefs(); ++i)
        if (GetReference(i) == target) return;  // another slot still names it
    const BOOL real = IsRealDependency(target);
    eraseOne(heldTargets, target);
    eraseOne(target->makers, this);
    if (!delOld || !real) return;
    for (ReferenceMaker* m : target->makers)
        if (m->IsRealDependency(target)) return;
    target->MaybeAutoDelete();
}

RefResult ReferenceMaker::ReplaceReference(int which, RefTargetHandle newtarg, BOOL delOld) {
    if (which < 0 || which >= NumRefs()) return REF_FAIL;
    ReferenceTarget* old = GetReference(which);
    if (old == newtarg) return REF_SUCCEED;
    if (newtarg && std::find(heldTargets.begin(), heldTargets.end(), newtarg) == heldTargets.end()) {
        heldTargets.push_back(newtarg);
        newtarg->makers.push_back(this);
    }
    SetReference(which, newtarg);
    if (old) dropTarget(old, delOld);
    return REF_SUCCEED;
}

RefResult ReferenceMaker::DeleteReference(int i) { return ReplaceReference(i, nullptr); }

RefResult ReferenceMaker::DeleteAllRefsFromMe() {
    for (int i = 0; i < NumRefs(); ++i)
        if (GetReference(i)) DeleteReference(i);
    return REF_SUCCEED;
}

RefResult ReferenceMaker::DeleteAllRefs() { return DeleteAllRefsFromMe(); }

// ---- targets ----

ReferenceTarget::~ReferenceTarget() {
    // Makers still referring to us learn that we are gone before we are.
    DeleteAllRefsToMe();
}

RefResult ReferenceTarget::DeleteAllRefsToMe() {
    // Each maker hears once, then loses every slot that names us; a maker that
    // drops its reference while it hears is not told again.
    while (!makers.empty()) {
        ReferenceMaker* m = makers.front();
        PartID part = PART_ALL;
        m->NotifyRefChanged(FOREVER, this, part, REFMSG_TARGET_DELETED, TRUE);
        if (std::find(makers.begin(), makers.end(), m) == makers.end()) continue;
        for (int i = 0; i < m->NumRefs(); ++i)
            if (m->GetReference(i) == this) m->SetReference(i, nullptr);
        eraseOne(makers, m);
        eraseOne(m->heldTargets, this);
    }
    return REF_SUCCEED;
}

RefResult ReferenceTarget::DeleteAllRefs() {
    DeleteAllRefsFromMe();
    return DeleteAllRefsToMe();
}

RefResult ReferenceTarget::NotifyDependents(const Interval& changeInt, PartID partID, RefMessage message,
                                            SClass_ID sclass, BOOL propagate, RefTargetHandle hTarg,
                                            NotifyDependentsOption) {
    ++notifications;
    ReferenceTarget* about = hTarg ? hTarg : this;
    // A maker that drops its reference while another hears is not told.
    std::vector<ReferenceMaker*> snapshot = makers;
    for (ReferenceMaker* m : snapshot) {
        if (std::find(makers.begin(), makers.end(), m) == makers.end()) continue;
        PartID part = partID;
        m->NotifyRefChanged(changeInt, about, part, message, propagate);
    }
    return REF_SUCCEED;
}

RefTargetHandle RemapDir::CloneRef(RefTargetHandle oldTarg) { return oldTarg ? oldTarg->Clone(*this) : nullptr; }

// ---- controllers ----

void StdControl::GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) {
    if (method == CTRL_ABSOLUTE) {
        GetValueLocalTime(t, val, valid, method);
        return;
    }
    // Relative: the controller's value is applied on top of what the caller holds.
    void* own = CreateTempValue();
    GetValueLocalTime(t, own, valid, CTRL_ABSOLUTE);
    ApplyValue(val, own);
    DeleteTempValue(own);
}

void StdControl::SetValue(TimeValue t, void* val, int commit, GetSetMethod method) {
    SetValueLocalTime(t, val, commit, method);
}
