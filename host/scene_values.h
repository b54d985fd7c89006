// scene_values.h - scene nodes, and the script values that wrap scene objects.
#pragma once
#include <string>
#include "host/reference.h"
#include "host/value.h"

// An object placed in the scene.
class HOSTSDK_API INode : public ReferenceTarget {
public:
    std::string name;
    explicit INode(const char* name = "") : name(name) {}
    void GetClassName(std::string& s) override { s = "INode"; }
    SClass_ID SuperClassID() override { return 1; }
    const char* GetName() const { return name.c_str(); }
};

extern HOSTSDK_API ValueMetaClass MAXNode_class;
extern HOSTSDK_API ValueMetaClass MAXControl_class;

// A script value standing for a scene object. One wrapper per object: intern
// hands out the same value while it lives. When the object is deleted the
// wrapper forgets it, and using it raises an error instead of touching freed memory.
class HOSTSDK_API MAXWrapper : public Value, public ReferenceMaker {
public:
    ~MAXWrapper() override;
    void NotifyRefChanged(ReferenceTarget* target, PartID part, RefMessage message) override;
    bool isDeleted() const { return target == nullptr; }
    // The live wrapper of target, or null when it has none.
    static MAXWrapper* find(ReferenceTarget* target);

protected:
    explicit MAXWrapper(ReferenceTarget* target);
    // The live target, or a RuntimeError when it was deleted.
    ReferenceTarget* checkedTarget();
    ReferenceTarget* target;
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
