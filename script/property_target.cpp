// property_target.cpp - the back buffer following the window's client area.
#include "script/property_target.h"

void PropertyTarget::rebuildBackBuffer() {
    clientRect = RECT{};
    if (window) GetClientRect(window, &clientRect);
    viewState->viewRect = RectI{clientRect.left, clientRect.top, clientRect.right, clientRect.bottom};
    backBuffer.rebuild(window, clientRect.right - clientRect.left, clientRect.bottom - clientRect.top);
}
