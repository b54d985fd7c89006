// reference.h - animatables, references and dependents: what scene objects are made of.
#pragma once
#include <string>
#include <vector>
#include "host/class_directory.h"
#include "host/core.h"
#include "host/scene_io.h"

// Validity interval of a value, in ticks.
class HOSTSDK_API Interval {
public:
    TimeValue start, end;
    Interval(TimeValue s = TIME_NegInfinity, TimeValue e = TIME_PosInfinity) : start(s), end(e) {}
    void SetInfinite() { start = TIME_NegInfinity; end = TIME_PosInfinity; }
    bool operator==(const Interval& o) const { return start == o.start && end == o.end; }
};
#define FOREVER Interval(TIME_NegInfinity, TIME_PosInfinity)

typedef unsigned int PartID;
typedef unsigned int RefMessage;
#define PART_ALL 0xffffffff
#define REFMSG_CHANGE 0x00000003
#define REFMSG_TARGET_DELETED 0x00000002

// Super class identifiers of controllers.
#define CTRL_FLOAT_CLASS_ID 0x9003
#define CTRL_POINT2_CLASS_ID 0x9004
#define CTRL_POINT3_CLASS_ID 0x9005
#define CTRL_POSITION_CLASS_ID 0x900B
#define CTRL_ROTATION_CLASS_ID 0x900C
#define CTRL_SCALE_CLASS_ID 0x900D
#define CTRL_MATRIX3_CLASS_ID 0x9008

class ReferenceTarget;

// Anything the host can name by class.
class HOSTSDK_API Animatable {
public:
    virtual ~Animatable() = default;
    virtual void GetClassName(std::string& s) { s = "Animatable"; }
    virtual SClass_ID SuperClassID() { return 0; }
    virtual Class_ID ClassID() { return Class_ID(0, 0); }
    // The host's way to free a scene object.
    virtual void DeleteThis() { delete this; }
    // The animatable parts under this one, as the track view lists them.
    virtual int NumSubs() { return 0; }
    virtual Animatable* SubAnim(int i) { return nullptr; }
    virtual std::string SubAnimName(int i) { return ""; }
    // Puts control in the place of sub-animatable subAnim; false when it cannot go there.
    virtual BOOL AssignController(Animatable* control, int subAnim) { return FALSE; }
};

// Something that holds references to scene objects and hears when they change.
class HOSTSDK_API ReferenceMaker : public Animatable {
public:
    // The objects this maker holds references to; the host saves and restores them.
    virtual int NumRefs() { return 0; }
    virtual ReferenceTarget* GetReference(int i) { return nullptr; }
    virtual void SetReference(int i, ReferenceTarget* target) {}
    // Makes reference i point at target, moving this maker between the targets' dependents.
    void ReplaceReference(int i, ReferenceTarget* target);
    // Lets go of every reference; classes with references call it in their destructor.
    void DeleteAllRefsFromMe();
    // A target this maker depends on changed (or is being deleted).
    virtual void NotifyRefChanged(ReferenceTarget* target, PartID part, RefMessage message) {}
    // The object's own data in the scene file, inside a chunk the host opens for it.
    virtual IOResult Save(ISave* isave) { return IO_OK; }
    virtual IOResult Load(ILoad* iload) { return IO_OK; }
};

// Something others depend on: it tells its dependents when it changes.
class HOSTSDK_API ReferenceTarget : public ReferenceMaker {
public:
    ~ReferenceTarget() override;
    // A copy for the host's clone commands; null when the class cannot be copied.
    virtual ReferenceTarget* Clone() { return nullptr; }
    void AddDependent(ReferenceMaker* maker);
    void RemoveDependent(ReferenceMaker* maker);
    const std::vector<ReferenceMaker*>& Dependents() const { return dependents; }
    void NotifyDependents(Interval changed, PartID part, RefMessage message);
    // Tells every dependent that this object is going away, clears their references to
    // it, and forgets them all.
    // Subclasses call it first thing in their destructor, while their data still
    // exists; the base destructor calls it again for the rest.
    void DeleteAllRefsToMe();
    // Number of NotifyDependents calls so far (the host's undo and redraw hang on it).
    int notifications = 0;

private:
    std::vector<ReferenceMaker*> dependents;
};

enum GetSetMethod { CTRL_ABSOLUTE, CTRL_RELATIVE };

// An animation controller: a value at a time.
class HOSTSDK_API Control : public ReferenceTarget {
public:
    virtual void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method = CTRL_ABSOLUTE) = 0;
    virtual void SetValue(TimeValue t, void* val, int commit = 1, GetSetMethod method = CTRL_ABSOLUTE) = 0;
};

// A controller built from local-time value routines, the way most plug-ins write them.
class HOSTSDK_API StdControl : public Control {
public:
    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method = CTRL_ABSOLUTE) override;
    void SetValue(TimeValue t, void* val, int commit = 1, GetSetMethod method = CTRL_ABSOLUTE) override;

    virtual void GetValueLocalTime(TimeValue t, void* val, Interval& valid, GetSetMethod method) = 0;
    virtual void SetValueLocalTime(TimeValue t, void* val, int commit, GetSetMethod method) = 0;
    virtual void* CreateTempValue() = 0;
    virtual void DeleteTempValue(void* val) = 0;
    virtual void ApplyValue(void* val, void* delta) = 0;
    virtual void MultiplyValue(void* val, float m) = 0;
};
