// middle_button.cpp - the middle button: a socket value drag or a pan.
#include "interaction/gesture_support.h"
#include "interaction/handlers.h"
#include "interaction/hit_test.h"

int onMiddlePress(GraphContext& ctx, WindowPort& port, const PointerInput& in) {
    SchematicViewState& view = *ctx.viewState;
    // The left button owns the pointer during a connection drag.
    if (view.connecting) return 0;
    port.takeFocus();
    ctx.dragSocket = nullptr;

    const float x = float(in.x), y = float(in.y);
    // Every node is visited, so of several output sockets under the point the
    // lowest node's wins. Only outputs carry a draggable value.
    const NodesNearPoint near(ctx, x, y);
    for (int32_t k = near.size() - 1; k >= 0; --k) {
        const int32_t i = near[k];
        const SchematicNode& node = *nodeAt(ctx, i);
        if (node.collapsed || !nodeHitTest(node, x, y)) continue;
        for (SchematicSocket* socket : node.outputs) {
            if (!socketHitTest(*socket, x, y)) continue;
            ctx.dragSocket = socket;
            ctx.dragSocketOwner = i;
            view.socketPressPoint = {x, y};
            break;
        }
    }
    if (!ctx.dragSocket) {
        view.panAnchor = {x, y};
        view.panning = 1;
        view.panAtPress = view.pan;
    }
    raise(port, UiEvent::MButtonDown);
    port.capturePointer();
    return 1;
}

int onMiddleRelease(GraphContext& ctx, WindowPort& port, const PointerInput&) {
    SchematicViewState& view = *ctx.viewState;
    if (view.connecting) return 0;
    view.panning = 0;
    view.panAtPress = view.pan;
    ctx.dragSocket = nullptr;
    raise(port, UiEvent::MButtonUp);
    port.releasePointer();
    return 1;
}
