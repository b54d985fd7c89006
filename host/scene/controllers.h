// controllers.h - the host's built-in controllers and their class descriptors.
#pragma once
#include "host/scene/reference.h"

// A float controller holding one value for all time (no keys): the host's Bezier_Float.
class HOSTSDK_API HostFloatController : public StdControl {
public:
    float value = 0.0f;
    void GetClassName(MSTR& s, bool localized = true) const override { s = _M("Bezier_Float"); }
    SClass_ID SuperClassID() override { return CTRL_FLOAT_CLASS_ID; }
    Class_ID ClassID() override;
    IOResult Save(ISave* isave) override;
    IOResult Load(ILoad* iload) override;
    RefTargetHandle Clone(RemapDir& remap) override;
    void Copy(Control* from) override {}
    void Extrapolate(Interval, TimeValue, void*, Interval&, int) override {}
    void GetValueLocalTime(TimeValue t, void* val, Interval& valid, GetSetMethod method) override;
    void SetValueLocalTime(TimeValue t, void* val, int commit, GetSetMethod method) override;
    void* CreateTempValue() override { return new float(0.0f); }
    void DeleteTempValue(void* val) override { delete static_cast<float*>(val); }
    void ApplyValue(void* val, void* delta) override;
    void MultiplyValue(void* val, float m) override;
};

// A position controller holding one point for all time: the host's Bezier_Position.
class HOSTSDK_API HostPositionController : public Control {
public:
    float x = 0, y = 0, z = 0;
    void GetClassName(MSTR& s, bool localized = true) const override { s = _M("Bezier_Position"); }
    SClass_ID SuperClassID() override { return CTRL_POSITION_CLASS_ID; }
    Class_ID ClassID() override;
    IOResult Save(ISave* isave) override;
    IOResult Load(ILoad* iload) override;
    RefTargetHandle Clone(RemapDir& remap) override;
    void Copy(Control* from) override {}
    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method = CTRL_ABSOLUTE) override;
    void SetValue(TimeValue t, void* val, int commit = 1, GetSetMethod method = CTRL_ABSOLUTE) override;
};

// A scale controller holding one scale for all time, (1, 1, 1) at first: Bezier_Scale.
class HOSTSDK_API HostScaleController : public HostPositionController {
public:
    HostScaleController() { x = y = z = 1; }
    void GetClassName(MSTR& s, bool localized = true) const override { s = _M("Bezier_Scale"); }
    SClass_ID SuperClassID() override { return CTRL_SCALE_CLASS_ID; }
    Class_ID ClassID() override;
    RefTargetHandle Clone(RemapDir& remap) override;
};

// A controller made of three sub-controllers, each of one super class: the references,
// sub-animatables and assignment the XYZ and PRS controllers share.
class HOSTSDK_API ThreeTrackController : public Control {
public:
    void Copy(Control* from) override {}
    int NumRefs() override { return 3; }
    RefTargetHandle GetReference(int i) override;
    void SetReference(int i, RefTargetHandle target) override;  // of the track's super class only
    int NumSubs() override { return 3; }
    Animatable* SubAnim(int i) override { return GetReference(i); }
    BOOL AssignController(Animatable* control, int subAnim) override;

protected:
    virtual SClass_ID trackSuperClass(int i) const = 0;
    // Clone's half: the copy shares the three tracks.
    RefTargetHandle shareTracks(ThreeTrackController* copy);
    Control* tracks[3] = {};
};

// Three float tracks side by side: Position_XYZ and Euler_XYZ. Its value is the three
// tracks' values; a missing track counts as 0.
class HOSTSDK_API HostXYZController : public ThreeTrackController {
public:
    enum Kind { position, rotation };
    // Made with a Bezier_Float on each axis unless loading, when the file brings them.
    HostXYZController(Kind kind, bool loading);
    ~HostXYZController() override;
    void GetClassName(MSTR& s, bool localized = true) const override;
    SClass_ID SuperClassID() override;
    Class_ID ClassID() override;
    RefTargetHandle Clone(RemapDir& remap) override;  // shares the three tracks
    MSTR SubAnimName(int i, bool localized = true) override;
    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method = CTRL_ABSOLUTE) override;
    void SetValue(TimeValue t, void* val, int commit = 1, GetSetMethod method = CTRL_ABSOLUTE) override;

protected:
    SClass_ID trackSuperClass(int) const override { return CTRL_FLOAT_CLASS_ID; }

private:
    Kind kind;
};

// A node's transform: position, rotation and scale tracks (PRS). Its value is a
// matrix of four rows (three axes, then the position); rotation is not modelled.
class HOSTSDK_API HostPRSController : public ThreeTrackController {
public:
    // Made with Position_XYZ, Euler_XYZ and Bezier_Scale unless loading.
    explicit HostPRSController(bool loading);
    ~HostPRSController() override;
    void GetClassName(MSTR& s, bool localized = true) const override { s = _M("prs"); }
    SClass_ID SuperClassID() override { return CTRL_MATRIX3_CLASS_ID; }
    Class_ID ClassID() override;
    RefTargetHandle Clone(RemapDir& remap) override;  // shares the three tracks
    MSTR SubAnimName(int i, bool localized = true) override;
    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method = CTRL_ABSOLUTE) override;
    void SetValue(TimeValue t, void* val, int commit = 1, GetSetMethod method = CTRL_ABSOLUTE) override;

protected:
    SClass_ID trackSuperClass(int i) const override;  // position, rotation, scale
};

// Descriptors of the built-ins, so a loaded scene can make them again by class.
HOSTSDK_API ClassDesc* floatValueClassDesc();
HOSTSDK_API ClassDesc* positionValueClassDesc();
HOSTSDK_API ClassDesc* scaleValueClassDesc();
HOSTSDK_API ClassDesc* positionXYZClassDesc();
HOSTSDK_API ClassDesc* eulerXYZClassDesc();
HOSTSDK_API ClassDesc* prsClassDesc();
