// window_size.cpp - width and height of the control window while its rollout is open.
#include "script/properties.h"

#include <algorithm>

namespace {

// The control's window found in the open page, or null (closed: the base class answers).
HWND openWindow(SchematicControl& c) {
    if (!c.rolloutIsOpen()) return nullptr;
    return GetDlgItem(c.parent_rollout->page, c.control_ID);
}

// The window rectangle in page coordinates.
RECT rectInPage(SchematicControl& c, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, c.parent_rollout->page, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

Value* readExtent(SchematicControl& c, bool width) {
    HWND window = openWindow(c);
    if (!window) return nullptr;
    const RECT r = rectInPage(c, window);
    return intValue(width ? r.right - r.left : r.bottom - r.top);
}

Value* writeExtent(SchematicControl& c, Value* value, bool width) {
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
    c.RolloutControl::set_property(args, 2);
    c.rebuildBackBuffer();
    return &true_value;
}

}  // namespace

Value* readWidth(SchematicControl& c) { return readExtent(c, true); }
Value* writeWidth(SchematicControl& c, Value* value) { return writeExtent(c, value, true); }
Value* readHeight(SchematicControl& c) { return readExtent(c, false); }
Value* writeHeight(SchematicControl& c, Value* value) { return writeExtent(c, value, false); }
