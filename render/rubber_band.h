// rubber_band.h - the gesture overlays: the connection being dragged, the selection region.
#pragma once
#include <windows.h>

#include "graph/graph_context.h"
#include "graph/records.h"

// The straight line of a connection drag from the socket to the pointer (px, py),
// with the socket's data class written just above the pointer.
void drawRubberBand(const GraphContext& graph, SchematicSocket& socket, HDC dc, float px, float py);

// The white outline of a rubber-band selection from the region's start corner to the
// pointer; records the pointer as the corner last painted.
void drawRegionRect(SchematicViewState& view, HDC dc);
