// hit_test.cpp - node hit tests over the same geometry that drawing uses.
#include "interaction/hit_test.h"

#include "graph/geometry.h"

bool nodeHitTest(const SchematicNode& node, float x, float y) {
    if (!node.selectable) return false;
    const Vec2 p = nodePosition(node, true);
    const Vec2 s = nodeSize(node, true);
    return p.x < x && x < p.x + s.x && p.y < y && y < p.y + s.y;
}

int32_t findNodeByPos(const GraphContext& ctx, float x, float y) {
    if (!ctx.nodeTable) return -1;
    const SchematicGraph& table = *ctx.nodeTable;
    for (size_t i = 0; i < table.size(); ++i)
        if (nodeHitTest(*table[i], x, y)) return int32_t(i);
    return -1;
}
