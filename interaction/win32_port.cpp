// win32_port.cpp - focus, capture, script events and scene controllers for the gestures.
#include "interaction/win32_port.h"

#include "control/names.h"
#include "control/schematic_control.h"
#include "host/core/core.h"
#include "host/scene/reference.h"
#include "interaction/about_box.h"

namespace {
Value* eventName(UiEvent event) {
    switch (event) {
        case UiEvent::LButtonDown: return n_LButtonDown;
        case UiEvent::LButtonUp: return n_LButtonUp;
        case UiEvent::LButtonDblclk: return n_LButtonDblclk;
        case UiEvent::MButtonDown: return n_MButtonDown;
        case UiEvent::MButtonUp: return n_MButtonUp;
        case UiEvent::rButtonDown: return n_rButtonDown;
        case UiEvent::rButtonUp: return n_rButtonUp;
        case UiEvent::mouseScroll: return n_mouseScroll;
        case UiEvent::mouseMoved: return n_mouseMoved;
        case UiEvent::keyboardDown: return n_keyboardDown;
        case UiEvent::keyboardUp: return n_keyboardUp;
        case UiEvent::nodeClicked: return n_nodeClicked;
        case UiEvent::connectionStarted: return n_connectionStarted;
        case UiEvent::connectionSelectionChanged: return n_connectionSelectionChanged;
        case UiEvent::connectionChanged: return n_connectionChanged;
        case UiEvent::connectToEmpty: return n_connectToEmpty;
        case UiEvent::regionSelected: return n_regionSelected;
        case UiEvent::socketValueChanged: return n_socketValueChanged;
    }
    return nullptr;
}
}  // namespace

void Win32WindowPort::raise(UiEvent event, const int32_t* args, int count) {
    if (Value* name = eventName(event)) control.raiseEvent(name, args, count);
}

void Win32WindowPort::takeFocus() {
    if (control.window) SetFocus(control.window);
}

void Win32WindowPort::capturePointer() {
    if (control.window) SetCapture(control.window);
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
