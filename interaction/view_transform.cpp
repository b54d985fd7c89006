// view_transform.cpp - the view transform and the wheel and middle-drag changes to it.
#include "interaction/view_transform.h"

namespace {
// Keeps the graph point under p fixed when zoom goes from z0 to z1. Every step is
// its own single-precision assignment, so the result does not depend on how the
// compiler keeps intermediates.
float panKeepingPoint(float pan, float p, float z0, float z1) {
    const float d = p - pan;
    const float after = d / z1;
    const float before = d / z0;
    const float shift = (after - before) * z1;
    return pan + shift;
}
}  // namespace

void stepZoom(SchematicViewState& view, bool zoomIn, Vec2 pointClient) {
    const float z0 = view.zoom;
    const float z1 = zoomIn ? z0 + view.zoomStep : z0 - view.zoomStep;
    view.zoom = z1;
    if (double(z1) < kMinWheelZoom) {
        view.zoom = kWheelZoomReset;
        return;
    }
    if (!view.zoomAboutMouse) return;
    view.pan.x = panKeepingPoint(view.pan.x, pointClient.x, z0, z1);
    view.pan.y = panKeepingPoint(view.pan.y, pointClient.y, z0, z1);
}

void panToPointer(SchematicViewState& view, Vec2 pointClient) {
    view.pan.x = pointClient.x - view.panAnchor.x + view.panAtPress.x;
    view.pan.y = pointClient.y - view.panAnchor.y + view.panAtPress.y;
}
