// reference.h - animatables, references and dependents: what scene objects are made of.
#pragma once
#include <string>
#include <vector>
#include "host/scene/class_directory.h"
#include "host/core/core.h"
#include "host/scene/scene_io.h"

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
#define REFMSG_TARGET_DELETED 0x00000020
#define REFMSG_CHANGE 0x00000050
#define NOTIFY_ALL 0xfffffff0

// Interface identifiers an animatable answers GetInterface with.
#define I_CONTROL 0x00001001

enum RefResult { REF_FAIL = 0, REF_SUCCEED, REF_DONTCARE, REF_STOP, REF_INVALID };
enum NotifyDependentsOption { REFNOTIFY_ALLOW_OPTIMIZATIONS, REFNOTIFY_DISALLOW_OPTIMIZATIONS };

// Super class identifiers of controllers.
#define CTRL_FLOAT_CLASS_ID 0x9003
#define CTRL_POINT2_CLASS_ID 0x9004
#define CTRL_POINT3_CLASS_ID 0x9005
#define CTRL_POSITION_CLASS_ID 0x900B
#define CTRL_ROTATION_CLASS_ID 0x900C
#define CTRL_SCALE_CLASS_ID 0x900D
#define CTRL_MATRIX3_CLASS_ID 0x9008

class ReferenceTarget;
class RemapDir;
typedef ReferenceTarget* RefTargetHandle;

// Anything the host can name by class.
class HOSTSDK_API Animatable {
public:
    virtual ~Animatable() = default;
    virtual void GetClassName(MSTR& s, bool localized = true) const { s = _M("Animatable"); }
    virtual SClass_ID SuperClassID() { return 0; }
    virtual Class_ID ClassID() { return Class_ID(0, 0); }
    // The object as the interface named by id, or null when it is not one.
    virtual void* GetInterface(ULONG id) { return nullptr; }
    // The host's way to free a scene object.
    virtual void DeleteThis() { delete this; }
    // The animatable parts under this one, as the track view lists them.
    virtual int NumSubs() { return 0; }
    virtual Animatable* SubAnim(int i) { return nullptr; }
    virtual MSTR SubAnimName(int i, bool localized = true) { return MSTR(); }
    // Puts control in the place of sub-animatable subAnim; false when it cannot go there.
    virtual BOOL AssignController(Animatable* control, int subAnim) { return FALSE; }
};

// Something that holds references to scene objects and hears when they change.
// A maker numbers its references 0..NumRefs()-1; the host fills them in through
// SetReference and keeps, on each target, the list of makers pointing at it.
class HOSTSDK_API ReferenceMaker : public Animatable {
public:
    ~ReferenceMaker() override;

    virtual int NumRefs() { return 0; }
    virtual RefTargetHandle GetReference(int i) { return nullptr; }

    // Points reference `which` at newtarg (null drops it). The old target is deleted
    // when delOld is set and this was the last real dependency on it.
    RefResult ReplaceReference(int which, RefTargetHandle newtarg, BOOL delOld = TRUE);
    RefResult DeleteReference(int i);
    RefResult DeleteAllRefsFromMe();
    // Drops this maker's references, and (for a target) every reference to it.
    virtual RefResult DeleteAllRefs();
    // False for a reference that watches without keeping its target alive.
    virtual BOOL IsRealDependency(ReferenceTarget* rtarg) { return TRUE; }

    // The object's own data in the scene file, inside a chunk the host opens for it.
    virtual IOResult Save(ISave* isave) { return IO_OK; }
    virtual IOResult Load(ILoad* iload) { return IO_OK; }

protected:
    friend class ReferenceTarget;
    // Only the host calls these: it stores the reference, and it tells of changes.
    virtual void SetReference(int i, RefTargetHandle rtarg) {}
    // A target this maker refers to changed, or (REFMSG_TARGET_DELETED) is going away.
    virtual RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                                       RefMessage message, BOOL propagate) = 0;

private:
    // Every target this maker refers to, once each however many slots name it:
    // the host's own record, so a maker's end always reaches its targets.
    std::vector<ReferenceTarget*> heldTargets;
    void dropTarget(ReferenceTarget* target, BOOL delOld);
};

// Something others refer to: it tells the makers that refer to it when it changes.
class HOSTSDK_API ReferenceTarget : public ReferenceMaker {
public:
    ~ReferenceTarget() override;
    // A copy for the host's clone commands; null when the class cannot be copied.
    virtual RefTargetHandle Clone(RemapDir& remap) { return nullptr; }
    RefResult NotifyDependents(const Interval& changeInt, PartID partID, RefMessage message,
                               SClass_ID sclass = NOTIFY_ALL, BOOL propagate = TRUE,
                               RefTargetHandle hTarg = nullptr,
                               NotifyDependentsOption option = REFNOTIFY_ALLOW_OPTIMIZATIONS);
    // Tells every maker once that this object is going away, then clears each
    // of their references to it. Subclasses call it first thing in their
    // destructor, while their data still exists; the base destructor calls it again.
    RefResult DeleteAllRefsToMe();
    RefResult DeleteAllRefs() override;
    // The last real reference to this target was dropped with delOld. In this host the
    // scene owns every object and frees it itself, so by default nothing happens.
    virtual void MaybeAutoDelete() {}
    BOOL HasDependents() const { return !makers.empty(); }
    // Number of NotifyDependents calls so far (the host's undo and redraw hang on it).
    int notifications = 0;

protected:
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
        return REF_DONTCARE;
    }

private:
    friend class ReferenceMaker;
    friend class DependentIterator;
    std::vector<ReferenceMaker*> makers;  // one entry per maker that refers to us
};

// Walks the makers that refer to a target, once each.
class HOSTSDK_API DependentIterator {
public:
    explicit DependentIterator(ReferenceTarget* target) : target(target) {}
    // The next maker, or null after the last.
    ReferenceMaker* Next() {
        return target && next < target->makers.size() ? target->makers[next++] : nullptr;
    }
    void Reset() { next = 0; }

private:
    ReferenceTarget* target;
    size_t next = 0;
};

// Maps originals to copies while the host clones a group of objects.
class HOSTSDK_API RemapDir {
public:
    virtual ~RemapDir() = default;
    // The copy of oldTarg made in this clone, made now when there is none yet.
    virtual RefTargetHandle CloneRef(RefTargetHandle oldTarg);
};

enum GetSetMethod { CTRL_ABSOLUTE, CTRL_RELATIVE };

// An animation controller: a value at a time.
class HOSTSDK_API Control : public ReferenceTarget {
public:
    void* GetInterface(ULONG id) override { return id == I_CONTROL ? this : ReferenceTarget::GetInterface(id); }
    // Takes over what it can of another controller this one replaces.
    virtual void Copy(Control* from) = 0;
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
    // The value outside the keyed range; type is the out-of-range type asked for.
    virtual void Extrapolate(Interval range, TimeValue t, void* val, Interval& valid, int type) = 0;
};
