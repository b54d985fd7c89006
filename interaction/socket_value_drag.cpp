// socket_value_drag.cpp - dragging a socket's value (or its scene controller's) with the middle button.
#include <cmath>

#include "graph/geometry.h"
#include "graph/socket_ops.h"
#include "interaction/gesture_support.h"
#include "interaction/handlers.h"

namespace {
constexpr float kFineDivisor = 100.0f;   // a pixel is a hundredth
constexpr float kCoarseDivisor = 1.0f;   // with Ctrl, a pixel is a unit
}  // namespace

void dragSocketValue(GraphContext& ctx, WindowPort& port, SchematicSocket& socket,
                     const PointerInput& in) {
    SchematicViewState& view = *ctx.viewState;
    const float divisor = in.keys.ctrl ? kCoarseDivisor : kFineDivisor;
    // Right and down raise the value, left and up lower it.
    const float moved = (float(in.y) - view.socketPressPoint.y) + (float(in.x) - view.socketPressPoint.x);
    const float step = moved / divisor;

    const bool throughController =
        socket.sceneController && port.nudgeSceneController(*socket.sceneController, step);
    if (!throughController) {
        // Two decimals, halves up: what the label shows is what is stored.
        const float sum = socket.value + step;
        socket.value = std::floor(sum * 100.0f + 0.5f) / 100.0f;
    }

    view.socketPressPoint = {float(in.x), float(in.y)};
    const int32_t owner = ownerIndexOfSocket(ctx, &socket, ctx.dragSocketOwner);
    if (socket.ownerNode) invalidateGrown(ctx, nodeScreenRect(*socket.ownerNode), kNodeMargin);
    raise(port, UiEvent::socketValueChanged, {owner + 1, socket.index + 1});
}
