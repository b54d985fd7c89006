// registration.cpp - the extension's exports: load-time registration with the host.
#include <windows.h>

#include "control/module.h"
#include "host/scene/plugapi.h"
#include "script/names.h"
#include "control/schematic_control.h"
#include "interaction/win32/window_proc.h"

namespace {
HINSTANCE moduleInstance = nullptr;
bool windowClassRegistered = false;

bool registerWindowClass() {
    if (windowClassRegistered) return true;
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = schematicWindowProc;
    wc.hInstance = moduleInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // the paint covers every pixel
    wc.lpszClassName = SCHEMATIC_WINDOWCLASS;
    if (!RegisterClassEx(&wc)) return false;
    windowClassRegistered = true;
    return true;
}
}  // namespace

HINSTANCE vantrelModule() { return moduleInstance; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        moduleInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    // Unloaded (not the process ending): a class left registered would point at code
    // that is gone, and the next load could not register it again.
    if (reason == DLL_PROCESS_DETACH && !reserved && windowClassRegistered) {
        UnregisterClass(SCHEMATIC_WINDOWCLASS, instance);
        windowClassRegistered = false;
    }
    return TRUE;
}

extern "C" VANTREL_API void LibInit() {
    internNames();
    if (!registerWindowClass()) return;
    install_rollout_control(Name::intern(_M("SchematicControl")), makeSchematicControl);
}

extern "C" VANTREL_API const MCHAR* LibDescription() { return _M("Maxscript Schematic Control"); }

// The host SDK the extension is built against.
extern "C" VANTREL_API ULONG LibVersion() { return VERSION_3DSMAX; }
