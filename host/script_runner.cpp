// script_runner.cpp - the script runner while hostsdk has no script engine: every run
// fails, as a run of a script the host cannot evaluate. The engine's runner replaces
// this file.
#include "host/script_runner.h"

#include "host/listener.h"

void FPValue::Init() {
    Free();
}

void FPValue::Free() {
    if (type == TYPE_STRING) delete[] s;
    type = TYPE_VOID;
    i = 0;
}

BOOL ExecuteMAXScriptScript(const char* text, BOOL quietErrors, FPValue* result) {
    if (result) result->Free();
    if (!quietErrors) the_listener()->printf("-- Runtime error: no script engine in this host\n");
    return FALSE;
}
