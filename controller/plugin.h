// plugin.h - the controller plug-in's exports and its class descriptor.
#pragma once
#include "host/scene/class_directory.h"
#include "host/scene/plugapi.h"

#if defined(_WIN32) && defined(VANTREL_CONTROLLER_BUILD)
#  define CONTROLLER_API __declspec(dllexport)
#elif defined(_WIN32)
#  define CONTROLLER_API __declspec(dllimport)
#else
#  define CONTROLLER_API
#endif

class vantrelCtrlClassDesc : public ClassDesc {
public:
    int IsPublic() override;
    void* Create(BOOL loading = FALSE) override;
    const MCHAR* ClassName() override;
    const MCHAR* NonLocalizedClassName() override;
    SClass_ID SuperClassID() override;
    Class_ID ClassID() override;
    const MCHAR* Category() override;
    const MCHAR* InternalName() override;
};

extern "C" {
CONTROLLER_API const MCHAR* LibDescription();
CONTROLLER_API int LibNumberClasses();
CONTROLLER_API ClassDesc* LibClassDesc(int i);
CONTROLLER_API ULONG LibVersion();
}
