// draw_node.h - one node: shadow, body, title bar, bitmap, caption, sockets, translucency.
#pragma once
#include <windows.h>

#include "graph/graph_context.h"
#include "graph/records.h"

class LineBatch;

// Shadow fill and outline for a given interface background colour.
struct ShadowColors {
    COLORREF fill, outline;
};
ShadowColors shadowColors(COLORREF background);

// Draws the node's drop shadow when shadowPass is set, the node itself otherwise.
// Hidden nodes and nodes wholly outside the view draw nothing and make no GDI object.
// A node that is only an outline goes into an active batch; anything else flushes it
// first, so the caller flushes it once after the last node.
void drawNode(const GraphContext& graph, SchematicNode& node, HDC dc, bool shadowPass,
              LineBatch* batch = nullptr);
