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
    RECT r{rect->left, rect->top, rect->right, rect->bottom};
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
