// window_proc.cpp - finds the control behind a window and hands each message to a handler.
#include "interaction/win32/window_proc.h"

#include <windowsx.h>

#include "graph/spatial_index.h"
#include "host/core/core.h"
#include "interaction/handlers.h"
#include "interaction/win32/win32_port.h"
#include "interaction/win32/window_client.h"

namespace {
WindowClient* clientOf(HWND window) {
    return reinterpret_cast<WindowClient*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void onCreate(HWND window, const CREATESTRUCTA* create) {
    // The client arrives as the creation parameter; keep it with the window.
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

void onPaint(HWND window, WindowClient& client) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    client.paint(dc, &ps.rcPaint);
    EndPaint(window, &ps);
}

// Rollouts get resized; the buffer follows the client area so the picture does too.
void onSize(HWND window, WindowClient& client) {
    client.resized();
    InvalidateRect(window, nullptr, FALSE);
}

KeyState keysNow() {
    KeyState keys;
    keys.ctrl = GetKeyState(VK_CONTROL) < 0;
    keys.alt = GetKeyState(VK_MENU) < 0;
    keys.shift = GetKeyState(VK_SHIFT) < 0;
    return keys;
}

// Mouse messages carry signed 16-bit client coordinates.
PointerInput pointerOf(LPARAM lParam) {
    PointerInput in;
    in.x = GET_X_LPARAM(lParam);
    in.y = GET_Y_LPARAM(lParam);
    in.keys = keysNow();
    return in;
}

// The wheel's point is in screen coordinates; the handlers work in client ones.
PointerInput wheelOf(HWND window, WPARAM wParam, LPARAM lParam) {
    PointerInput in = pointerOf(lParam);
    POINT p{in.x, in.y};
    ScreenToClient(window, &p);
    in.x = p.x;
    in.y = p.y;
    in.wheelDelta = GET_WHEEL_DELTA_WPARAM(wParam);
    return in;
}

// Gesture messages; anything else goes back to the default procedure.
bool dispatchGesture(HWND window, WindowClient& client, UINT message, WPARAM wParam, LPARAM lParam,
                     LRESULT& result) {
    GraphContext& ctx = client.clientGraph();
    if (!ctx.viewState || !ctx.nodeTable) return false;
    Win32WindowPort port(client);
    switch (message) {
        case WM_KEYDOWN: result = onKeyDown(ctx, port, uint32_t(wParam)); return true;
        case WM_KEYUP: result = onKeyUp(ctx, port, uint32_t(wParam)); return true;
        case WM_MOUSEMOVE: result = onPointerMove(ctx, port, pointerOf(lParam)); return true;
        case WM_LBUTTONDOWN: result = onLeftPress(ctx, port, pointerOf(lParam)); return true;
        case WM_LBUTTONUP: result = onLeftRelease(ctx, port, pointerOf(lParam)); return true;
        case WM_LBUTTONDBLCLK: result = onDoubleClick(ctx, port, pointerOf(lParam)); return true;
        case WM_RBUTTONDOWN: result = onRightPress(ctx, port, pointerOf(lParam)); return true;
        case WM_RBUTTONUP: result = onRightRelease(ctx, port, pointerOf(lParam)); return true;
        case WM_MBUTTONDOWN: result = onMiddlePress(ctx, port, pointerOf(lParam)); return true;
        case WM_MBUTTONUP: result = onMiddleRelease(ctx, port, pointerOf(lParam)); return true;
        case WM_MOUSEWHEEL: result = onWheel(ctx, port, wheelOf(window, wParam, lParam)); return true;
        default: return false;
    }
}

// Gestures change the graph behind the spatial index's back. A press bumps the
// generation itself where it flips or hides, a node drag and the left release
// tell the index which nodes changed, and the wheel changes only the view.
bool dispatchGestureNoting(HWND window, WindowClient& client, UINT message, WPARAM wParam,
                           LPARAM lParam, LRESULT& result) {
    struct Changed {
        GraphContext& ctx;
        bool noted = false;
        ~Changed() { if (noted) graphChanged(ctx); }
    } changed{client.clientGraph()};
    changed.noted = message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN && message != WM_LBUTTONUP &&
                    message != WM_MOUSEWHEEL;
    const bool handled = dispatchGesture(window, client, message, wParam, lParam, result);
    changed.noted = changed.noted && handled;
    return handled;
}
}  // namespace

LRESULT CALLBACK schematicWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return 0;
    }
    WindowClient* client = clientOf(window);
    // Messages before WM_CREATE, or after the client let go of this window.
    if (!client || client->clientWindow() != window) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The handle may be reused by any window from here on: a closed control forgets it.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        client->windowDestroyed();
        return DefWindowProcA(window, message, wParam, lParam);
    }

    // No exception may leave a window procedure; script errors are reported by
    // the host inside its event call, so anything arriving here is dropped.
    try {
        switch (message) {
            case WM_ERASEBKGND: return 1;  // the paint covers every pixel
            case WM_PAINT: onPaint(window, *client); return 0;
            case WM_PRINTCLIENT: client->paint(reinterpret_cast<HDC>(wParam), nullptr); return 0;  // screenshots
            case WM_SIZE: onSize(window, *client); return 0;
            // While the control has the focus, keys are the control's, not the host's shortcuts.
            case WM_SETFOCUS: DisableAccelerators(); return 0;
            case WM_KILLFOCUS: EnableAccelerators(); return 0;
            default: break;
        }
        LRESULT result = 0;
        if (dispatchGestureNoting(window, *client, message, wParam, lParam, result)) return result;
    } catch (...) {
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
