// scene_values.cpp - wrappers of scene objects for scripts.
#include "host/scene/scene_values.h"

#include <map>

#include "host/core/errors.h"

INode::~INode() { DeleteAllRefsFromMe(); }

bool INode::SetTMController(Control* control) {
    if (control && control->SuperClassID() != CTRL_MATRIX3_CLASS_ID) return false;
    ReplaceReference(0, control);
    return true;
}

BOOL INode::AssignController(Animatable* control, int subAnim) {
    auto* c = static_cast<Control*>(static_cast<ReferenceTarget*>(control));
    return subAnim == 0 && c && SetTMController(c) ? TRUE : FALSE;
}

ReferenceTarget* INode::GetReference(int i) { return i == 0 ? tm : nullptr; }

void INode::SetReference(int i, ReferenceTarget* target) {
    if (i == 0) tm = target && target->SuperClassID() == CTRL_MATRIX3_CLASS_ID ? static_cast<Control*>(target) : nullptr;
}

ValueMetaClass MAXNode_class("node");
ValueMetaClass MAXControl_class("MAXController");

namespace {
// Weak: a wrapper leaves the table when it is collected.
std::map<ReferenceTarget*, MAXWrapper*>& wrappers() {
    static std::map<ReferenceTarget*, MAXWrapper*> table;
    return table;
}
}  // namespace

MAXWrapper::MAXWrapper(ReferenceTarget* object) {
    ReplaceReference(0, object, FALSE);
    wrappers()[object] = this;
}

MAXWrapper::~MAXWrapper() {
    if (target) {
        wrappers().erase(target);
        ReplaceReference(0, nullptr, FALSE);
    }
}

void MAXWrapper::SetReference(int i, RefTargetHandle rtarg) {
    if (i == 0) target = rtarg;
}

RefResult MAXWrapper::NotifyRefChanged(const Interval&, RefTargetHandle changed, PartID&, RefMessage message,
                                       BOOL) {
    if (message == REFMSG_TARGET_DELETED && changed == target) wrappers().erase(target);
    return REF_SUCCEED;
}

ReferenceTarget* MAXWrapper::checkedTarget() {
    if (!target) throw RuntimeError("Attempt to access deleted scene object");
    return target;
}

MAXWrapper* MAXWrapper::find(ReferenceTarget* object) {
    auto it = wrappers().find(object);
    return it == wrappers().end() ? nullptr : it->second;
}

template <class W, class T>
static Value* internWrapper(T* object) {
    if (!object) return &undefined;
    auto it = wrappers().find(object);
    if (it != wrappers().end()) return it->second;
    return new W(object);
}

MAXNode::MAXNode(INode* node) : MAXWrapper(node) { tag = &MAXNode_class; }
Value* MAXNode::intern(INode* node) { return internWrapper<MAXNode>(node); }
INode* MAXNode::to_node() { return static_cast<INode*>(checkedTarget()); }
void MAXNode::sprin1(CharStream* s) {
    if (!target) s->puts("<Deleted scene node>");
    else s->printf("$%s", static_cast<INode*>(target)->GetName());
}

MAXControl::MAXControl(Control* control) : MAXWrapper(control) { tag = &MAXControl_class; }
Value* MAXControl::intern(Control* control) { return internWrapper<MAXControl>(control); }
Control* MAXControl::to_controller() { return static_cast<Control*>(checkedTarget()); }
void MAXControl::sprin1(CharStream* s) {
    if (!target) {
        s->puts("<Deleted controller>");
        return;
    }
    MSTR name;
    target->GetClassName(name, false);
    s->printf("Controller:%s", name.data());
}
