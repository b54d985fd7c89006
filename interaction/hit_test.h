// hit_test.h - what lies under a point of the control window.
#pragma once
#include <cstdint>

#include "graph/graph_context.h"
#include "graph/records.h"

// True when the node is selectable and (x, y), client pixels, lies strictly inside
// its screen rectangle. Hidden nodes sit far off screen and measure (-1, -1).
bool nodeHitTest(const SchematicNode& node, float x, float y);
// Index of the first node in table order that nodeHitTest accepts; -1 when none.
int32_t findNodeByPos(const GraphContext& ctx, float x, float y);
