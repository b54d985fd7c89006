// controllers.cpp - the built-in float and position controllers, their file data and descriptors.
#include "host/scene/controllers.h"

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

// Makes a T, telling it whether a file brings its parts.
template <class T>
struct Maker {
    static Animatable* make(BOOL) { return new T; }
};
template <>
struct Maker<HostPRSController> {
    static Animatable* make(BOOL loading) { return new HostPRSController(loading != 0); }
};
template <HostXYZController::Kind K>
struct XYZ {};
template <HostXYZController::Kind K>
struct Maker<XYZ<K>> {
    static Animatable* make(BOOL loading) { return new HostXYZController(K, loading != 0); }
};

template <class T>
class BuiltinDesc : public ClassDesc {
public:
    BuiltinDesc(const char* name, SClass_ID super, Class_ID id) : name(name), super(super), id(id) {}
    int IsPublic() override { return 1; }
    void* Create(BOOL loading) override { return Maker<T>::make(loading); }
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

// The host's identities of its built-in classes are those of the real ones they stand for.
const Class_ID kScaleID(0x2010, 0);
const Class_ID kPositionXYZID(0x118f7e02, 0xffee238a);
const Class_ID kEulerXYZID(0x2012, 0);
const Class_ID kPRSID(0x2005, 0);

Class_ID HostScaleController::ClassID() { return kScaleID; }

RefTargetHandle HostScaleController::Clone(RemapDir&) {
    auto* copy = new HostScaleController;
    copy->x = x, copy->y = y, copy->z = z;
    return copy;
}

namespace {

Control* asControlOf(ReferenceTarget* target, SClass_ID super) {
    return target && target->SuperClassID() == super ? static_cast<Control*>(target) : nullptr;
}

float floatOf(Control* c, TimeValue t) {
    float v = 0;
    Interval valid;
    if (c) c->GetValue(t, &v, valid);
    return v;
}

}  // namespace

RefTargetHandle ThreeTrackController::GetReference(int i) { return i >= 0 && i < 3 ? tracks[i] : nullptr; }

void ThreeTrackController::SetReference(int i, RefTargetHandle target) {
    if (i >= 0 && i < 3) tracks[i] = asControlOf(target, trackSuperClass(i));
}

BOOL ThreeTrackController::AssignController(Animatable* control, int subAnim) {
    auto* target = static_cast<ReferenceTarget*>(control);
    if (subAnim < 0 || subAnim >= 3 || !asControlOf(target, trackSuperClass(subAnim))) return FALSE;
    ReplaceReference(subAnim, target);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    return TRUE;
}

RefTargetHandle ThreeTrackController::shareTracks(ThreeTrackController* copy) {
    for (int i = 0; i < 3; ++i) copy->ReplaceReference(i, tracks[i]);
    return copy;
}

HostXYZController::HostXYZController(Kind kind, bool loading) : kind(kind) {
    if (loading) return;
    for (int i = 0; i < 3; ++i) ReplaceReference(i, new HostFloatController);
}

HostXYZController::~HostXYZController() {
    DeleteAllRefsToMe();
    DeleteAllRefsFromMe();
}

void HostXYZController::GetClassName(MSTR& s, bool) const { s = kind == position ? "Position_XYZ" : "Euler_XYZ"; }

SClass_ID HostXYZController::SuperClassID() {
    return kind == position ? CTRL_POSITION_CLASS_ID : CTRL_ROTATION_CLASS_ID;
}

Class_ID HostXYZController::ClassID() { return kind == position ? kPositionXYZID : kEulerXYZID; }

RefTargetHandle HostXYZController::Clone(RemapDir&) { return shareTracks(new HostXYZController(kind, true)); }

MSTR HostXYZController::SubAnimName(int i, bool) {
    static const char* const positionNames[] = {"X Position", "Y Position", "Z Position"};
    static const char* const rotationNames[] = {"X Rotation", "Y Rotation", "Z Rotation"};
    if (i < 0 || i >= 3) return "";
    return kind == position ? positionNames[i] : rotationNames[i];
}

void HostXYZController::GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod) {
    float* p = static_cast<float*>(val);
    for (int i = 0; i < 3; ++i) p[i] = floatOf(tracks[i], t);
    valid = FOREVER;
}

void HostXYZController::SetValue(TimeValue t, void* val, int commit, GetSetMethod method) {
    float* p = static_cast<float*>(val);
    for (int i = 0; i < 3; ++i)
        if (tracks[i]) tracks[i]->SetValue(t, &p[i], commit, method);
}

HostPRSController::HostPRSController(bool loading) {
    if (loading) return;
    ReplaceReference(0, new HostXYZController(HostXYZController::position, false));
    ReplaceReference(1, new HostXYZController(HostXYZController::rotation, false));
    ReplaceReference(2, new HostScaleController);
}

HostPRSController::~HostPRSController() {
    DeleteAllRefsToMe();
    DeleteAllRefsFromMe();
}

Class_ID HostPRSController::ClassID() { return kPRSID; }

RefTargetHandle HostPRSController::Clone(RemapDir&) { return shareTracks(new HostPRSController(true)); }

SClass_ID HostPRSController::trackSuperClass(int i) const {
    static const SClass_ID kParts[3] = {CTRL_POSITION_CLASS_ID, CTRL_ROTATION_CLASS_ID, CTRL_SCALE_CLASS_ID};
    return kParts[i];
}

MSTR HostPRSController::SubAnimName(int i, bool) {
    static const char* const names[] = {"Position", "Rotation", "Scale"};
    return i >= 0 && i < 3 ? names[i] : "";
}

void HostPRSController::GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod) {
    // Rows: x axis, y axis, z axis (scaled), then the position.
    float* m = static_cast<float*>(val);
    float scale[3] = {1, 1, 1}, position[3] = {0, 0, 0};
    Interval ignored;
    if (tracks[2]) tracks[2]->GetValue(t, scale, ignored);
    if (tracks[0]) tracks[0]->GetValue(t, position, ignored);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) m[row * 3 + col] = row == col ? scale[row] : 0.0f;
    for (int i = 0; i < 3; ++i) m[9 + i] = position[i];
    valid = FOREVER;
}

void HostPRSController::SetValue(TimeValue t, void* val, int commit, GetSetMethod method) {
    // Only the position row is taken: rotation and scale are not read back from a matrix.
    if (tracks[0]) tracks[0]->SetValue(t, static_cast<float*>(val) + 9, commit, method);
}

ClassDesc* floatValueClassDesc() {
    static BuiltinDesc<HostFloatController> desc("Bezier_Float", CTRL_FLOAT_CLASS_ID, Class_ID(0x2007, 0));
    return &desc;
}

ClassDesc* positionValueClassDesc() {
    static BuiltinDesc<HostPositionController> desc("Bezier_Position", CTRL_POSITION_CLASS_ID,
                                                    Class_ID(0x2008, 0));
    return &desc;
}

ClassDesc* scaleValueClassDesc() {
    static BuiltinDesc<HostScaleController> desc("Bezier_Scale", CTRL_SCALE_CLASS_ID, kScaleID);
    return &desc;
}

ClassDesc* positionXYZClassDesc() {
    static BuiltinDesc<XYZ<HostXYZController::position>> desc("Position_XYZ", CTRL_POSITION_CLASS_ID,
                                                              kPositionXYZID);
    return &desc;
}

ClassDesc* eulerXYZClassDesc() {
    static BuiltinDesc<XYZ<HostXYZController::rotation>> desc("Euler_XYZ", CTRL_ROTATION_CLASS_ID, kEulerXYZID);
    return &desc;
}

ClassDesc* prsClassDesc() {
    static BuiltinDesc<HostPRSController> desc("prs", CTRL_MATRIX3_CLASS_ID, kPRSID);
    return &desc;
}
