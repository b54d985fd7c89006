// handlers.h - the named handlers the window procedure hands each message to.
// Each takes the decoded input and returns what the window procedure returns.
// Script events are raised through the port and run synchronously, so every
// handler re-reads the graph after each event instead of trusting what it held.
#pragma once
#include <cstdint>

#include "graph/graph_context.h"
#include "interaction/ui_input.h"
#include "interaction/window_port.h"

int onLeftPress(GraphContext& ctx, WindowPort& port, const PointerInput& in);
int onPointerMove(GraphContext& ctx, WindowPort& port, const PointerInput& in);
int onLeftRelease(GraphContext& ctx, WindowPort& port, const PointerInput& in);
int onDoubleClick(GraphContext& ctx, WindowPort& port, const PointerInput& in);
int onMiddlePress(GraphContext& ctx, WindowPort& port, const PointerInput& in);
int onMiddleRelease(GraphContext& ctx, WindowPort& port, const PointerInput& in);
int onRightPress(GraphContext& ctx, WindowPort& port, const PointerInput& in);
int onRightRelease(GraphContext& ctx, WindowPort& port, const PointerInput& in);
// in.x and in.y are client pixels (the window procedure converts the wheel's screen point).
int onWheel(GraphContext& ctx, WindowPort& port, const PointerInput& in);
int onKeyDown(GraphContext& ctx, WindowPort& port, uint32_t virtualKey);
int onKeyUp(GraphContext& ctx, WindowPort& port, uint32_t virtualKey);

// The value-drag step of the pointer move: one change of the socket's value
// (or of its float scene controller's), then socketValueChanged.
void dragSocketValue(GraphContext& ctx, WindowPort& port, SchematicSocket& socket,
                     const PointerInput& in);
