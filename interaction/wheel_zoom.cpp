// wheel_zoom.cpp - one zoom step per wheel message, whatever its delta.
#include "interaction/gesture_support.h"
#include "interaction/handlers.h"
#include "interaction/view_transform.h"

int onWheel(GraphContext& ctx, WindowPort& port, const PointerInput& in) {
    SchematicViewState& view = *ctx.viewState;
    if (view.allowZoom) {
        stepZoom(view, in.wheelDelta > 0, Vec2{float(in.x), float(in.y)});
        invalidateAll(ctx);
    }
    raise(port, UiEvent::mouseScroll);
    return 1;
}
