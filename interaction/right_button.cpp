// right_button.cpp - the right button cancels every gesture and leaves the rest to script.
#include "interaction/gesture_support.h"
#include "interaction/handlers.h"

int onRightPress(GraphContext& ctx, WindowPort& port, const PointerInput&) {
    SchematicViewState& view = *ctx.viewState;
    port.takeFocus();
    view.leftButtonDown = 0;
    view.panning = 0;
    view.connecting = 0;
    view.gestureFlags[kRegionActive] = 0;
    view.gestureFlags[kRegionArmed] = 0;
    ctx.dragSocket = nullptr;
    invalidateAll(ctx);
    raise(port, UiEvent::rButtonDown);
    port.capturePointer();
    return 1;
}

int onRightRelease(GraphContext&, WindowPort& port, const PointerInput&) {
    raise(port, UiEvent::rButtonUp);
    port.releasePointer();
    return 1;
}
