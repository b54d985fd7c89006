// controllers.cpp - the built-in float and position controllers, their file data and descriptors.
#include "host/controllers.h"

namespace {

// One data chunk holding the controller's value.
constexpr USHORT kValueChunk = 0x0100;

IOResult saveFloats(ISave* isave, const float* values, ULONG count) {
    ULONG written = 0;
    isave->BeginChunk(kValueChunk);
    IOResult res = isave->Write(values, count * sizeof(float), &written);
    isave->EndChunk();
    return res;
}

// count is at most 3; the values change only when the chunk holds them all.
IOResult loadFloats(ILoad* iload, float* values, ULONG count) {
    IOResult res;
    while ((res = iload->OpenChunk()) == IO_OK) {
        if (iload->CurChunkID() == kValueChunk) {
            float read[3] = {};
            ULONG n = 0;
            if (iload->Read(read, count * sizeof(float), &n) != IO_OK) return IO_ERROR;
            for (ULONG i = 0; i < count; ++i) values[i] = read[i];
        }
        if (iload->CloseChunk() != IO_OK) return IO_ERROR;
    }
    return res == IO_END ? IO_OK : res;
}

template <class T>
class BuiltinDesc : public ClassDesc {
public:
    BuiltinDesc(const char* name, SClass_ID super, Class_ID id) : name(name), super(super), id(id) {}
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return static_cast<Animatable*>(new T); }
    const MCHAR* ClassName() override { return name; }
    const MCHAR* NonLocalizedClassName() override { return name; }
    SClass_ID SuperClassID() override { return super; }
    Class_ID ClassID() override { return id; }
    const MCHAR* Category() override { return _M("Standard"); }

private:
    const char* name;
    SClass_ID super;
    Class_ID id;
};

}  // namespace

Class_ID HostFloatController::ClassID() { return Class_ID(0x2007, 0); }

IOResult HostFloatController::Save(ISave* isave) { return saveFloats(isave, &value, 1); }

IOResult HostFloatController::Load(ILoad* iload) { return loadFloats(iload, &value, 1); }

RefTargetHandle HostFloatController::Clone(RemapDir&) {
    auto* copy = new HostFloatController;
    copy->value = value;
    return copy;
}

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

IOResult HostPositionController::Save(ISave* isave) {
    const float xyz[3] = {x, y, z};
    return saveFloats(isave, xyz, 3);
}

IOResult HostPositionController::Load(ILoad* iload) {
    float xyz[3] = {x, y, z};
    const IOResult res = loadFloats(iload, xyz, 3);
    x = xyz[0], y = xyz[1], z = xyz[2];
    return res;
}

RefTargetHandle HostPositionController::Clone(RemapDir&) {
    auto* copy = new HostPositionController;
    copy->x = x, copy->y = y, copy->z = z;
    return copy;
}

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

ClassDesc* floatValueClassDesc() {
    static BuiltinDesc<HostFloatController> desc("Float_Value", CTRL_FLOAT_CLASS_ID, Class_ID(0x2007, 0));
    return &desc;
}

ClassDesc* positionValueClassDesc() {
    static BuiltinDesc<HostPositionController> desc("Position_Value", CTRL_POSITION_CLASS_ID,
                                                    Class_ID(0x2008, 0));
    return &desc;
}
