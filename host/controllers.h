// controllers.h - the host's built-in controllers and their class descriptors.
#pragma once
#include "host/reference.h"

// A float controller holding one value for all time (no keys).
class HOSTSDK_API HostFloatController : public StdControl {
public:
    float value = 0.0f;
    void GetClassName(MSTR& s, bool localized = true) const override { s = _M("Float_Value"); }
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

// A position controller, the host's example of a controller that is not a float one.
class HOSTSDK_API HostPositionController : public Control {
public:
    float x = 0, y = 0, z = 0;
    void GetClassName(MSTR& s, bool localized = true) const override { s = _M("Position_Value"); }
    SClass_ID SuperClassID() override { return CTRL_POSITION_CLASS_ID; }
    Class_ID ClassID() override;
    IOResult Save(ISave* isave) override;
    IOResult Load(ILoad* iload) override;
    RefTargetHandle Clone(RemapDir& remap) override;
    void Copy(Control* from) override {}
    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method = CTRL_ABSOLUTE) override;
    void SetValue(TimeValue t, void* val, int commit = 1, GetSetMethod method = CTRL_ABSOLUTE) override;
};

// Descriptors of the built-ins, so a loaded scene can make them again by class.
HOSTSDK_API ClassDesc* floatValueClassDesc();
HOSTSDK_API ClassDesc* positionValueClassDesc();
