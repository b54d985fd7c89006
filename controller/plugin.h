// plugin.h - the controller plug-in's exports and its class descriptor.
#pragma once
#include "host/class_directory.h"

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
    void* Create(BOOL loading = 0) override;
    const char* ClassName() override;
    SClass_ID SuperClassID() override;
    Class_ID ClassID() override;
    const char* Category() override;
    const char* InternalName() override;
};

extern "C" {
CONTROLLER_API const char* LibDescription();
CONTROLLER_API int LibNumberClasses();
CONTROLLER_API ClassDesc* LibClassDesc(int i);
CONTROLLER_API ULONG LibVersion();
}
