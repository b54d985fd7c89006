// paint_view.cpp - the paint pipeline: back buffer first, then one copy to the window.
#include "render/paint_view.h"

#include "control/schematic_control.h"

void paintView(SchematicControl& control, HDC dc) {
    if (!control.backBufferDC) return;
    const RECT& view = control.clientRect;
    FillRect(control.backBufferDC, &view, control.backgroundBrush);
    BitBlt(dc, 0, 0, view.right - view.left, view.bottom - view.top, control.backBufferDC, 0, 0, SRCCOPY);
}
