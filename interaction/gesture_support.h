// gesture_support.h - gesture flags, repaint requests and checks shared by the handlers.
#pragma once
#include <cstdint>

#include "graph/graph_context.h"
#include "graph/records.h"

// Positions in SchematicViewState::gestureFlags.
inline constexpr int kLinksMoved = 0;    // a node drag moved a node that has links
inline constexpr int kRegionActive = 1;  // the region rectangle is being dragged
inline constexpr int kRegionArmed = 2;   // a left press on empty space may start a region

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
