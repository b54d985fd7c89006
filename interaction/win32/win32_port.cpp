// win32_port.cpp - focus, capture, script events and scene controllers for the gestures.
#include "interaction/win32/win32_port.h"

#include "host/core/core.h"
#include "host/scene/reference.h"
#include "interaction/win32/about_box.h"
#include "interaction/win32/window_client.h"


void Win32WindowPort::raise(UiEvent event, const int32_t* args, int count) { client.raise(event, args, count); }

void Win32WindowPort::takeFocus() {
    if (HWND window = client.clientWindow()) SetFocus(window);
}

void Win32WindowPort::capturePointer() {
    if (HWND window = client.clientWindow()) SetCapture(window);
}

void Win32WindowPort::releasePointer() { ReleaseCapture(); }

void Win32WindowPort::showAboutBox() { ::showAboutBox(); }

bool Win32WindowPort::nudgeSceneController(Control& controller, float step) {
    if (controller.SuperClassID() != CTRL_FLOAT_CLASS_ID) return false;
    const TimeValue now = GetCOREInterface()->GetTime();
    float value = 0.0f;
    Interval valid = FOREVER;
    controller.GetValue(now, &value, valid, CTRL_ABSOLUTE);
    value += step;
    controller.SetValue(now, &value, 1, CTRL_ABSOLUTE);
    controller.NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    return true;
}
