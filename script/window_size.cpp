// window_size.cpp - width and height of the control window while its rollout is open.
#include "script/properties.h"

#include <algorithm>

namespace {

// The control's window found in the open page, or null (closed: the base class answers).
HWND openWindow(PropertyTarget& c) {
    HWND page = c.openRolloutPage();
    return page ? GetDlgItem(page, c.windowId()) : nullptr;
}

// The window rectangle in page coordinates.
RECT rectInPage(PropertyTarget& c, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, c.openRolloutPage(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

Value* readExtent(PropertyTarget& c, bool width) {
    HWND window = openWindow(c);
    if (!window) return nullptr;
    const RECT r = rectInPage(c, window);
    return intValue(width ? r.right - r.left : r.bottom - r.top);
}

Value* writeExtent(PropertyTarget& c, Value* value, bool width) {
    HWND window = openWindow(c);
    if (!window) return nullptr;
    const int size = (std::max)(0, value->to_int());
    const RECT r = rectInPage(c, window);
    const int w = width ? size : r.right - r.left;
    const int h = width ? r.bottom - r.top : size;
    SetWindowPos(window, nullptr, r.left, r.top, w, h, SWP_NOZORDER);
    // The base class keeps the size, and answers it once the rollout is closed.
    static Value* const sizeNames[2] = {Name::intern(_M("width")), Name::intern(_M("height"))};
    Value* args[2] = {value, sizeNames[width ? 0 : 1]};
    c.setHostProperty(args, 2);
    c.rebuildBackBuffer();
    return &true_value;
}

}  // namespace

Value* readWidth(PropertyTarget& c) { return readExtent(c, true); }
Value* writeWidth(PropertyTarget& c, Value* value) { return writeExtent(c, value, true); }
Value* readHeight(PropertyTarget& c) { return readExtent(c, false); }
Value* writeHeight(PropertyTarget& c, Value* value) { return writeExtent(c, value, false); }
