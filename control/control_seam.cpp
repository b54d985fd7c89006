// control_seam.cpp - graph redraws, bitmap releases and events, in Win32 terms.
#include "control/control_seam.h"

#include "script/names.h"
#include "control/schematic_control.h"

void ControlSeam::redraw(const RectI* rect) {
    if (!control->window) return;
    if (!rect) {
        InvalidateRect(control->window, nullptr, FALSE);
        return;
    }
    // Most of a big graph lies outside the view, and under Wine every InvalidateRect is a
    // round trip to the server even when Windows would clip it to nothing.
    RECT r{rect->left, rect->top, rect->right, rect->bottom};
    RECT client;
    if (GetClientRect(control->window, &client) && !IntersectRect(&r, &r, &client)) return;
    InvalidateRect(control->window, &r, FALSE);
}

void ControlSeam::releaseBitmap(void* bitmapHandle) {
    if (bitmapHandle) DeleteObject(static_cast<HBITMAP>(bitmapHandle));
}

void ControlSeam::raiseEvent(GraphEvent event, const int32_t* args, int count) {
    Value* name = nullptr;
    switch (event) {
        case GraphEvent::connectionChanged: name = n_connectionChanged; break;
        case GraphEvent::preNodesDeleted: name = n_preNodesDeleted; break;
        case GraphEvent::nodesDeleted: name = n_nodesDeleted; break;
    }
    control->raiseEvent(name, args, count);
}
