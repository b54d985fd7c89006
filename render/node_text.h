// node_text.h - captions: node titles, socket labels, link weights, the info text.
#pragma once
#include <windows.h>

#include <string>

#include "graph/records.h"

// A rectangle in client pixels, kept in floats until the last moment.
struct RectF {
    float left = 0, top = 0, right = 0, bottom = 0;
};

// Caption colour over a node: light grey over a dark body, black otherwise.
COLORREF nodeTextColor(const SchematicNode& node, const SchematicViewState& view);

// Draws text in rect on behalf of node (whose colour picks the text colour, stored
// in node.textColor). format is DT_LEFT, DT_CENTER or DT_RIGHT. With scaleWithZoom
// the font follows the zoom and the text is left out when zoomed far out.
void drawNodeText(SchematicNode& node, const SchematicViewState& view, HDC dc, const RectF& rect,
                  const std::string& text, UINT format, bool scaleWithZoom);
