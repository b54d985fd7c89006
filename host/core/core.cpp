// core.cpp - the host core: scene time, interface colours, keyboard accelerators.
#include "host/core/core.h"

TimeValue Interface::GetTime() { return now; }
void Interface::SetTime(TimeValue t) { now = t; }

Interface* GetCOREInterface() {
    static Interface core;
    return &core;
}

COLORREF IColorManager::GetColor(int id) {
    if (id == kBackground) return background;
    return 0;
}

bool IColorManager::SetColor(int id, COLORREF color) {
    if (id != kBackground) return false;
    background = color & 0x00FFFFFF;
    return true;
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
