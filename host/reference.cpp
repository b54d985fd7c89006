// reference.cpp - dependents bookkeeping and the standard controller's value plumbing.
#include "host/reference.h"

#include <algorithm>

ReferenceTarget::~ReferenceTarget() {
    // Makers still depending on us learn that we are gone before we are.
    DeleteAllRefsToMe();
}

void ReferenceTarget::DeleteAllRefsToMe() {
    std::vector<ReferenceMaker*> remaining;
    remaining.swap(dependents);
    for (ReferenceMaker* m : remaining) {
        m->NotifyRefChanged(this, PART_ALL, REFMSG_TARGET_DELETED);
        for (int i = 0; i < m->NumRefs(); ++i)
            if (m->GetReference(i) == this) m->SetReference(i, nullptr);
    }
}

void ReferenceMaker::ReplaceReference(int i, ReferenceTarget* target) {
    ReferenceTarget* old = GetReference(i);
    if (old == target) return;
    SetReference(i, target);
    if (target) target->AddDependent(this);
    // Still a dependent of the old target while another reference holds it.
    if (!old) return;
    for (int k = 0; k < NumRefs(); ++k)
        if (GetReference(k) == old) return;
    old->RemoveDependent(this);
}

void ReferenceMaker::DeleteAllRefsFromMe() {
    for (int i = 0; i < NumRefs(); ++i) ReplaceReference(i, nullptr);
}

void ReferenceTarget::AddDependent(ReferenceMaker* maker) {
    if (std::find(dependents.begin(), dependents.end(), maker) == dependents.end())
        dependents.push_back(maker);
}

void ReferenceTarget::RemoveDependent(ReferenceMaker* maker) {
    dependents.erase(std::remove(dependents.begin(), dependents.end(), maker), dependents.end());
}

void ReferenceTarget::NotifyDependents(Interval changed, PartID part, RefMessage message) {
    ++notifications;
    std::vector<ReferenceMaker*> snapshot = dependents;
    for (ReferenceMaker* m : snapshot) m->NotifyRefChanged(this, part, message);
}

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
