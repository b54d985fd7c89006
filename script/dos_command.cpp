// dos_command.cpp - dosCommandHidden: a console command run without a window, waited for.
#include <windows.h>

#include <string>

#include "script/properties.h"

// The record's size field is its size on this platform: 68 bytes in a 32-bit process.
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFO) == 68);

Value* writeDosCommandHidden(PropertyTarget&, Value* value) {
    // The text goes to the interpreter unchanged: the script does its own quoting.
    std::basic_string<MCHAR> commandLine = std::basic_string<MCHAR>(_M("cmd /e:on /d /c ")) + value->to_string();

    STARTUPINFO startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcess(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);  // read, as the command ran; not handed back
    }
    // A failed creation leaves both zero, and zero is no handle to close.
    if (process.hProcess) CloseHandle(process.hProcess);
    if (process.hThread) CloseHandle(process.hThread);
    return &ok;
}
