// connection_curves.h - links: curves or straight lines, arrowheads, weights.
#pragma once
#include <windows.h>

#include "graph/graph_context.h"
#include "graph/records.h"

class LineBatch;

// The four points of a link's Bezier from start S to end Q: both tangents horizontal,
// the inner points a quarter of the horizontal distance in from each end.
struct LinkCurve {
    POINT points[4];
    POINT middle;
};
LinkCurve linkCurve(Vec2 start, Vec2 end);

// Draws every link of an output socket, from its node or its nearest visible ancestor;
// with only, just the links at those positions (ascending), as the whole loop would.
// Straight links go into an active batch, which the caller flushes before it draws
// anything else.
void drawOutputLinks(const GraphContext& graph, SchematicSocket& socket, HDC dc,
                     const int32_t* only = nullptr, size_t onlyCount = 0, LineBatch* batch = nullptr);

// The node whose caption colour drawing the socket's links would set (it draws a
// weight), or null.
SchematicNode* weightedLinkOwner(const GraphContext& graph, SchematicSocket& socket);

// The corners of the arrowhead drawLinkArrow fills, tip first and last.
void linkArrowCorners(int x0, int y0, int x1, int y1, int length, int halfWidth, POINT corners[4]);

// A filled triangle with its tip at (x1, y1), pointing from (x0, y0) towards the tip,
// length pixels long and 2 * halfWidth wide, filled with the socket's colour.
void drawLinkArrow(const SchematicSocket& socket, HDC dc, int x0, int y0, int x1, int y1,
                   int length, int halfWidth);
