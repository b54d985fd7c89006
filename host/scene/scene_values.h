// scene_values.h - scene nodes, and the script values that wrap scene objects.
#pragma once
#include <string>
#include "host/scene/reference.h"
#include "host/core/value.h"

// An object placed in the scene: a helper (Dummy or Point) with a name and a transform
// controller. Geometry, modifiers and the viewports are not modelled.
class HOSTSDK_API INode : public ReferenceTarget {
public:
    std::basic_string<MCHAR> name;
    std::basic_string<MCHAR> objectClass;  // the script name of the node's object: "Dummy", "Point"
    explicit INode(const MCHAR* name = _M(""), const MCHAR* objectClass = _M("Dummy"))
        : name(name), objectClass(objectClass) {}
    ~INode() override;
    void GetClassName(MSTR& s, bool localized = true) const override { s = _M("INode"); }
    SClass_ID SuperClassID() override { return BASENODE_CLASS_ID; }
    const MCHAR* GetName() const { return name.c_str(); }
    void SetName(const MCHAR* s) { name = s ? s : _M(""); }
    // The transform controller (prs by default); only a matrix controller is taken.
    Control* GetTMController() { return tm; }
    bool SetTMController(Control* control);
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override;
    // One sub-animatable, the transform.
    int NumSubs() override { return 1; }
    Animatable* SubAnim(int i) override { return GetReference(i); }
    MSTR SubAnimName(int i, bool localized = true) override { return i == 0 ? _M("Transform") : _M(""); }
    BOOL AssignController(Animatable* control, int subAnim) override;

protected:
    void SetReference(int i, RefTargetHandle target) override;

private:
    Control* tm = nullptr;
};

extern HOSTSDK_API ValueMetaClass MAXNode_class;
extern HOSTSDK_API ValueMetaClass MAXControl_class;
extern HOSTSDK_API ValueMetaClass MAXSubAnim_class;

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

// Scene nodes answer name, position (pos), rotation and scale as their transform gives
// them, and controller (the transform controller).
class HOSTSDK_API MAXNode : public MAXWrapper {
public:
    static Value* intern(INode* node);  // undefined for none
    void sprin1(CharStream* s) override;  // $name
    INode* to_node() override;
    Value* get_property(Value** arg_list, int count) override;
    Value* set_property(Value** arg_list, int count) override;
    Value* get_props_vf(Value** arg_list, int count) override;
    Value* classOf_vf(Value** arg_list, int count) override;       // Dummy, Point
    Value* superClassOf_vf(Value** arg_list, int count) override;  // helper
    Value* isKindOf_vf(Value** arg_list, int count) override;       // its class or super class
    explicit MAXNode(INode* node);  // use intern: one wrapper per node
};

// Controllers answer value, and each sub-animatable by name (x_position) with its value;
// controller[i] is the sub-animatable i.
class HOSTSDK_API MAXControl : public MAXWrapper {
public:
    static Value* intern(Control* control);  // undefined for none
    void sprin1(CharStream* s) override;  // Controller:Bezier_Float
    Control* to_controller() override;
    Value* get_property(Value** arg_list, int count) override;
    Value* set_property(Value** arg_list, int count) override;
    Value* get_props_vf(Value** arg_list, int count) override;
    Value* get_vf(Value** arg_list, int count) override;
    Value* classOf_vf(Value** arg_list, int count) override;       // Bezier_Float, vantrelController
    Value* superClassOf_vf(Value** arg_list, int count) override;  // FloatController
    Value* isKindOf_vf(Value** arg_list, int count) override;       // its class or super class
    explicit MAXControl(Control* control);  // use intern: one wrapper per controller
};

// One sub-animatable of a scene object (the X Position of a Position_XYZ): where a
// controller can be read and assigned. Made anew each time a script asks.
class HOSTSDK_API MAXSubAnim : public Value, public ReferenceMaker {
public:
    MAXSubAnim(ReferenceTarget* parent, int index);
    ~MAXSubAnim() override;
    // One weak reference, to the parent object.
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? parent : nullptr; }
    BOOL IsRealDependency(ReferenceTarget*) override { return FALSE; }
    void sprin1(CharStream* s) override;  // SubAnim:X_Position
    Value* get_property(Value** arg_list, int count) override;  // controller, value, name, sub-animatables
    Value* set_property(Value** arg_list, int count) override;  // controller, value
    Value* get_props_vf(Value** arg_list, int count) override;
    Value* get_vf(Value** arg_list, int count) override;
    // The controller in this place, or null (none, or the parent was deleted).
    Control* controller();
    // Puts control here; a RuntimeError when the place takes another kind.
    void assign(Value* control);

protected:
    void SetReference(int i, RefTargetHandle target) override {
        if (i == 0) parent = target;
    }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
        return REF_DONTCARE;  // the host clears the reference when the parent goes
    }

private:
    ReferenceTarget* checkedParent();
    ReferenceTarget* parent = nullptr;
    int index;
};

// The sub-animatable of object whose script name is name (x_position, Position), or null.
// A node's position, rotation and scale are those of its transform controller.
HOSTSDK_API Value* find_subanim(Value* object, Value* name);
// The script name of a sub-animatable: its name with spaces as underscores.
HOSTSDK_API std::string subanim_script_name(Animatable* parent, int index);
