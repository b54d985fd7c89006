// scene_values.h - scene nodes, and the script values that wrap scene objects.
#pragma once
#include <string>
#include "host/reference.h"
#include "host/value.h"

// An object placed in the scene.
class HOSTSDK_API INode : public ReferenceTarget {
public:
    std::basic_string<MCHAR> name;
    explicit INode(const MCHAR* name = _M("")) : name(name) {}
    void GetClassName(MSTR& s, bool localized = true) const override { s = _M("INode"); }
    SClass_ID SuperClassID() override { return 1; }
    const MCHAR* GetName() const { return name.c_str(); }
};

extern HOSTSDK_API ValueMetaClass MAXNode_class;
extern HOSTSDK_API ValueMetaClass MAXControl_class;

// A script value standing for a scene object. One wrapper per object: intern
// hands out the same value while it lives. When the object is deleted the
// wrapper forgets it, and using it raises an error instead of touching freed memory.
class HOSTSDK_API MAXWrapper : public Value, public ReferenceMaker {
public:
    ~MAXWrapper() override;
    bool isDeleted() const { return target == nullptr; }
    // One reference, to the wrapped object; it watches and does not keep it alive.
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? target : nullptr; }
    BOOL IsRealDependency(ReferenceTarget*) override { return FALSE; }
    // The live wrapper of target, or null when it has none.
    static MAXWrapper* find(ReferenceTarget* target);

protected:
    explicit MAXWrapper(ReferenceTarget* target);
    // The live target, or a RuntimeError when it was deleted.
    ReferenceTarget* checkedTarget();
    void SetReference(int i, RefTargetHandle rtarg) override;
    RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                               RefMessage message, BOOL propagate) override;
    ReferenceTarget* target = nullptr;
};

class HOSTSDK_API MAXNode : public MAXWrapper {
public:
    static Value* intern(INode* node);  // undefined for none
    void sprin1(CharStream* s) override;  // $name
    INode* to_node() override;
    explicit MAXNode(INode* node);  // use intern: one wrapper per node
};

class HOSTSDK_API MAXControl : public MAXWrapper {
public:
    static Value* intern(Control* control);  // undefined for none
    void sprin1(CharStream* s) override;  // Controller:Float_Value
    Control* to_controller() override;
    explicit MAXControl(Control* control);  // use intern: one wrapper per controller
};
