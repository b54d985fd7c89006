// hit_test.cpp - hit tests on the same screen geometry the painter uses.
#include "interaction/hit_test.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graph/geometry.h"
#include "graph/spatial_index.h"

namespace {
constexpr float kSocketMargin = 4.0f;

float zoomOf(const SchematicSocket& socket) {
    const SchematicNode* owner = socket.ownerNode;
    return owner && owner->viewStateRef ? owner->viewStateRef->zoom : 1.0f;
}

Vec2I truncated(Vec2 p) { return {truncToInt32(p.x), truncToInt32(p.y)}; }
}  // namespace

bool nodeHitTest(const SchematicNode& node, float x, float y) {
    if (!node.selectable) return false;
    const Vec2 p = nodePositionClient(node);
    const Vec2 s = nodeSizeClient(node);
    const float right = p.x + s.x;
    const float bottom = p.y + s.y;
    return p.x < x && x < right && p.y < y && y < bottom;
}

bool socketHitTest(const SchematicSocket& socket, float x, float y) {
    if (!socket.ownerNode) return false;
    const Vec2 a = socketScreenPosition(socket);
    const float side = zoomOf(socket) * socket.radius;
    const float left = a.x - kSocketMargin, right = a.x + side + kSocketMargin;
    const float top = a.y - kSocketMargin, bottom = a.y + side + kSocketMargin;
    return left < x && x < right && top < y && y < bottom;
}

int pointOnLine(Vec2I p, Vec2I q, Vec2I t) {
    // Truncated screen coordinates of far-off nodes reach the int32 limits, where
    // 32-bit products overflow: differences in 64 bits, products in double, which
    // is exact for every coordinate below 2^26 and merely close beyond.
    const int64_t px = p.x, py = p.y, qx = q.x, qy = q.y, tx = t.x, ty = t.y;
    const double cross = double(qy - py) * double(tx - px) - double(ty - py) * double(qx - px);
    if (std::fabs(cross) >= double((std::max)(std::llabs(qx - px), std::llabs(qy - py)))) return 0;
    if ((qx < px && px < tx) || (qy < py && py < ty) || (tx < px && px < qx) || (ty < py && py < qy))
        return 1;
    if ((px < qx && qx < tx) || (py < qy && qy < ty) || (tx < qx && qx < px) || (ty < qy && qy < py))
        return 3;
    return 2;
}

bool linkHitTest(const SchematicSocket& output, const SchematicSocket& input, float x, float y) {
    const Vec2I p = truncated(socketScreenPosition(input));
    const Vec2I q = truncated(socketScreenPosition(output));
    for (int32_t dx = -kLinkProbeBefore; dx <= kLinkProbeAfter; ++dx)
        for (int32_t dy = -kLinkProbeBefore; dy <= kLinkProbeAfter; ++dy) {
            const Vec2I t{truncToInt32(x + float(dx)), truncToInt32(y + float(dy))};
            if (pointOnLine(p, q, t) == 2) return true;
        }
    return false;
}

bool linkHitTestQuick(const SchematicSocket& output, const SchematicSocket& input, float x, float y) {
    const Vec2I p = truncated(socketScreenPosition(input));
    const Vec2I q = truncated(socketScreenPosition(output));
    // Every probe lies in this box: x + dx grows with dx, and so does its truncation.
    const int64_t t0x = truncToInt32(x - float(kLinkProbeBefore)), t1x = truncToInt32(x + float(kLinkProbeAfter));
    const int64_t t0y = truncToInt32(y - float(kLinkProbeBefore)), t1y = truncToInt32(y + float(kLinkProbeAfter));
    constexpr int64_t kExact = int64_t(1) << 24;  // products stay exact in a double
    const int64_t all[] = {p.x, p.y, q.x, q.y, t0x, t1x, t0y, t1y};
    for (int64_t v : all)
        if (v <= -kExact || v >= kExact) return linkHitTest(output, input, x, y);
    // On the segment means inside its bounding box.
    if (t1x < std::min<int64_t>(p.x, q.x) || t0x > std::max<int64_t>(p.x, q.x) ||
        t1y < std::min<int64_t>(p.y, q.y) || t0y > std::max<int64_t>(p.y, q.y))
        return false;
    // The cross product is affine in the probe: its extremes lie at the box corners.
    const int64_t ax = int64_t(q.y) - p.y, bx = int64_t(q.x) - p.x;
    const int64_t m = (std::max)(std::llabs(bx), std::llabs(ax));
    int64_t lo = INT64_MAX, hi = INT64_MIN;
    for (int64_t tx : {t0x, t1x})
        for (int64_t ty : {t0y, t1y}) {
            const int64_t c = ax * (tx - p.x) - (ty - p.y) * bx;
            lo = (std::min)(lo, c);
            hi = (std::max)(hi, c);
        }
    if (lo >= m || hi <= -m) return false;
    return linkHitTest(output, input, x, y);
}

int32_t findNodeByPos(const GraphContext& ctx, float x, float y) {
    if (!ctx.nodeTable) return -1;
    const SchematicGraph& table = *ctx.nodeTable;
    for (size_t i = 0; i < table.size(); ++i)
        if (nodeHitTest(*table[i], x, y)) return int32_t(i);
    return -1;
}

NodesNearPoint::NodesNearPoint(const GraphContext& ctx, float x, float y) {
    all_ = ctx.nodeTable ? int32_t(ctx.nodeTable->size()) : 0;
    // Only an index that is up to date: one stale would be rebuilt whole, at a cost
    // many times the plain scan's.
    if (ctx.spatialIndex && ctx.nodeTable && ctx.spatialIndex->current(ctx))
        indexed_ = ctx.spatialIndex->query(ctx, BoundsF{x, y, x, y}, &nodes_, nullptr);
}
