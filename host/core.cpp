// core.cpp - the host core: scene time, interface colours, keyboard accelerators.
#include "host/core.h"

TimeValue Interface::GetTime() { return now; }
void Interface::SetTime(TimeValue t) { now = t; }

Interface* GetCOREInterface() {
    static Interface core;
    return &core;
}

COLORREF_T IColorManager::GetColor(int id) {
    // The interface background, (197,197,197), as 0x00BBGGRR.
    if (id == kBackground) return 0x00C5C5C5;
    return 0;
}

IColorManager* GetColorManager() {
    static IColorManager colors;
    return &colors;
}

namespace {
bool accelerators_enabled = true;
}

void DisableAccelerators() { accelerators_enabled = false; }
void EnableAccelerators() { accelerators_enabled = true; }
bool AcceleratorsEnabled() { return accelerators_enabled; }
