// controllers.cpp - the built-in float and position controllers.
#include "host/controllers.h"

Class_ID HostFloatController::ClassID() { return Class_ID(0x2007, 0); }

void HostFloatController::GetValueLocalTime(TimeValue, void* val, Interval& valid, GetSetMethod) {
    *static_cast<float*>(val) = value;
    valid = FOREVER;
}

void HostFloatController::SetValueLocalTime(TimeValue, void* val, int, GetSetMethod method) {
    float v = *static_cast<float*>(val);
    value = method == CTRL_RELATIVE ? value + v : v;
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

void HostFloatController::ApplyValue(void* val, void* delta) {
    *static_cast<float*>(val) += *static_cast<float*>(delta);
}

void HostFloatController::MultiplyValue(void* val, float m) { *static_cast<float*>(val) *= m; }

Class_ID HostPositionController::ClassID() { return Class_ID(0x2008, 0); }

void HostPositionController::GetValue(TimeValue, void* val, Interval& valid, GetSetMethod) {
    float* p = static_cast<float*>(val);
    p[0] = x, p[1] = y, p[2] = z;
    valid = FOREVER;
}

void HostPositionController::SetValue(TimeValue, void* val, int, GetSetMethod) {
    const float* p = static_cast<const float*>(val);
    x = p[0], y = p[1], z = p[2];
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}
