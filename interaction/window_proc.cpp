// window_proc.cpp - finds the control behind a window and hands each message to a handler.
#include "interaction/window_proc.h"

#include "control/schematic_control.h"
#include "render/paint_view.h"

namespace {
SchematicControl* controlOf(HWND window) {
    return reinterpret_cast<SchematicControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void onCreate(HWND window, const CREATESTRUCTA* create) {
    // The control arrives as the creation parameter; keep it with the window.
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

void onPaint(SchematicControl& control) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(control.window, &ps);
    paintView(control, dc);
    EndPaint(control.window, &ps);
}

// Rollouts get resized; the buffer follows the client area so the picture does too.
void onSize(SchematicControl& control) {
    control.rebuildBackBuffer();
    InvalidateRect(control.window, nullptr, FALSE);
}
}  // namespace

LRESULT CALLBACK schematicWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return 0;
    }
    SchematicControl* control = controlOf(window);
    // Messages before WM_CREATE, or after the control let go of this window.
    if (!control || control->window != window) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
        case WM_ERASEBKGND: return 1;  // the paint covers every pixel
        case WM_PAINT: onPaint(*control); return 0;
        case WM_PRINTCLIENT: paintView(*control, reinterpret_cast<HDC>(wParam)); return 0;  // screenshots
        case WM_SIZE: onSize(*control); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
