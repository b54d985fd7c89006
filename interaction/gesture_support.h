// gesture_support.h - gesture flags, repaint requests and checks shared by the handlers.
#pragma once
#include <cstdint>

#include "graph/graph_context.h"
#include "graph/records.h"

// Pixels around a node's rectangle that a repaint of the node also covers (its outline).
inline constexpr int32_t kNodeMargin = 3;

// Node count of the table in use, read afresh: script handlers change it.
int32_t nodeCount(const GraphContext& ctx);
SchematicNode* nodeAt(const GraphContext& ctx, int32_t index);

void invalidateAll(GraphContext& ctx);
void invalidateRect(GraphContext& ctx, const RectI& rect);
// The rectangle between two points, each coordinate truncated, ordered and grown by k.
void invalidateBetween(GraphContext& ctx, Vec2 a, Vec2 b, int32_t k);
void invalidateGrown(GraphContext& ctx, RectI rect, int32_t k);

// The gesture's socket, or null, clearing it when no node of the table holds it
// any more (a handler or a table swap may have taken it away).
SchematicSocket* liveDragSocket(GraphContext& ctx);
// The same for the selected connection.
SchematicSocket* liveSelectedConnection(GraphContext& ctx);
