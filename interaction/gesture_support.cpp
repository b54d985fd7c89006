// gesture_support.cpp - repaint requests and stale-reference checks for the gestures.
#include "interaction/gesture_support.h"

#include <algorithm>
#include <cstdint>

#include "graph/geometry.h"
#include "graph/socket_ops.h"

int32_t nodeCount(const GraphContext& ctx) {
    return ctx.nodeTable ? int32_t(ctx.nodeTable->size()) : 0;
}

SchematicNode* nodeAt(const GraphContext& ctx, int32_t index) {
    if (index < 0 || index >= nodeCount(ctx)) return nullptr;
    return (*ctx.nodeTable)[size_t(index)];
}

void invalidateAll(GraphContext& ctx) {
    if (ctx.seam) ctx.seam->redraw(nullptr);
}

void invalidateRect(GraphContext& ctx, const RectI& rect) {
    if (ctx.seam) ctx.seam->redraw(&rect);
}

namespace {
// Far-off nodes saturate their screen rectangles; growing them must not overflow.
int32_t offset(int32_t v, int32_t k) {
    return int32_t(std::clamp<int64_t>(int64_t(v) + k, INT32_MIN, INT32_MAX));
}
}  // namespace

void invalidateGrown(GraphContext& ctx, RectI rect, int32_t k) {
    invalidateRect(ctx, RectI{offset(rect.left, -k), offset(rect.top, -k), offset(rect.right, k),
                              offset(rect.bottom, k)});
}

void invalidateBetween(GraphContext& ctx, Vec2 a, Vec2 b, int32_t k) {
    const int32_t ax = truncToInt32(a.x), ay = truncToInt32(a.y);
    const int32_t bx = truncToInt32(b.x), by = truncToInt32(b.y);
    invalidateGrown(ctx, RectI{(std::min)(ax, bx), (std::min)(ay, by), (std::max)(ax, bx), (std::max)(ay, by)}, k);
}

SchematicSocket* liveDragSocket(GraphContext& ctx) {
    // Only pointers are compared here: a freed socket is never read.
    if (!ctx.dragSocket) return nullptr;
    ctx.dragSocketOwner = ownerIndexOfSocket(ctx, ctx.dragSocket, ctx.dragSocketOwner);
    if (ctx.dragSocketOwner < 0) ctx.dragSocket = nullptr;
    return ctx.dragSocket;
}

SchematicSocket* liveSelectedConnection(GraphContext& ctx) {
    if (ctx.selectedConnection && ownerIndexOfSocket(ctx, ctx.selectedConnection) < 0)
        ctx.selectedConnection = nullptr;
    return ctx.selectedConnection;
}
