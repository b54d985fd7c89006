// class_directory.cpp - the classes the host can make by identity or by name.
#include "host/scene/class_directory.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "host/scene/controllers.h"

namespace {

std::vector<ClassDesc*>& directory() {
    // Leaked on purpose, like the plug-ins whose descriptors it holds.
    static auto* list = new std::vector<ClassDesc*>{floatValueClassDesc(), positionValueClassDesc(),
                                                    scaleValueClassDesc(),  positionXYZClassDesc(),
                                                    eulerXYZClassDesc(),    prsClassDesc()};
    return *list;
}

bool same_name(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

}  // namespace

const std::vector<ClassDesc*>& class_directory() { return directory(); }

bool register_class(ClassDesc* cd) {
    auto& dir = directory();
    if (!cd || std::find(dir.begin(), dir.end(), cd) != dir.end()) return false;
    dir.push_back(cd);
    return true;
}

ClassDesc* find_class(SClass_ID super_class, Class_ID id) {
    for (ClassDesc* cd : directory())
        if (cd->SuperClassID() == super_class && cd->ClassID() == id) return cd;
    return nullptr;
}

const MCHAR* script_class_name(ClassDesc* cd) {
    if (!cd) return nullptr;
    const MCHAR* name = cd->InternalName();
    return name ? name : cd->NonLocalizedClassName();
}

ClassDesc* find_class_named(const MCHAR* internal_name) {
    if (!internal_name) return nullptr;
    for (ClassDesc* cd : directory()) {
        const MCHAR* name = script_class_name(cd);
        if (name && same_name(name, internal_name)) return cd;
    }
    return nullptr;
}

bool is_controller_super_class(SClass_ID super_class) {
    switch (super_class) {
        case CTRL_FLOAT_CLASS_ID:
        case CTRL_POINT2_CLASS_ID:
        case CTRL_POINT3_CLASS_ID:
        case CTRL_POSITION_CLASS_ID:
        case CTRL_ROTATION_CLASS_ID:
        case CTRL_SCALE_CLASS_ID:
        case CTRL_MATRIX3_CLASS_ID:
            return true;
        default:
            return false;
    }
}
