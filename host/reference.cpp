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
    for (ReferenceMaker* m : remaining) m->NotifyRefChanged(this, PART_ALL, REFMSG_TARGET_DELETED);
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
