// geometry.cpp - node and socket placement shared by hit tests, drawing and gestures.
#include "graph/geometry.h"

#include <cmath>

namespace {

constexpr float kHiddenPosition = -100000000.0f;

// Loaded nodes have no view until their container is bound; they measure as if unzoomed.
const SchematicViewState& viewOf(const SchematicNode& node) {
    static const SchematicViewState unbound;
    return node.viewStateRef ? *node.viewStateRef : unbound;
}

Vec2 nodeSizeIn(const SchematicNode& node, bool client) {
    if (node.hidden) return {-1.0f, -1.0f};
    Vec2 size;
    if (!node.collapsed) {
        size = {float(node.width), float(node.height)};
        if (node.bitmapHandle) size.y += node.bitmapSize.y;
    } else {
        size = {float(node.collapsedSize.x), float(node.collapsedSize.y)};
        if (node.showMiniBitmap && node.bitmapHandle) size.y += kMiniBitmapHeight;
    }
    if (client) {
        const float zoom = viewOf(node).zoom;
        size.x *= zoom;
        size.y *= zoom;
    }
    return size;
}

Vec2 nodePositionIn(const SchematicNode& node, bool client) {
    if (node.hidden) return {kHiddenPosition, kHiddenPosition};
    const SchematicViewState& view = viewOf(node);
    if (node.viewAlign == -1)
        return {float(view.viewRect.left) + node.viewAlignOffset.x,
                float(view.viewRect.top) + node.viewAlignOffset.y};
    if (node.viewAlign == 1)
        return {float(view.viewRect.right) - nodeSizeIn(node, client).x + node.viewAlignOffset.x,
                float(view.viewRect.top) + node.viewAlignOffset.y};
    Vec2 p = node.position;
    // A node that is its own parent counts as parentless, as drawing treats it.
    if (node.parent && node.parent != &node) {
        p.x += node.parent->position.x;
        p.y += node.parent->position.y;
    }
    if (client) {
        p.x = p.x * view.zoom + view.pan.x;
        p.y = p.y * view.zoom + view.pan.y;
    }
    return p;
}

} // namespace

int32_t truncToInt32(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}


Vec2 nodeSizeGraph(const SchematicNode& node) { return nodeSizeIn(node, false); }
Vec2 nodeSizeClient(const SchematicNode& node) { return nodeSizeIn(node, true); }
Vec2 nodePositionGraph(const SchematicNode& node) { return nodePositionIn(node, false); }
Vec2 nodePositionClient(const SchematicNode& node) { return nodePositionIn(node, true); }

RectI nodeScreenRect(const SchematicNode& node) {
    const Vec2 p = nodePositionClient(node);
    const Vec2 s = nodeSizeClient(node);
    return {truncToInt32(p.x), truncToInt32(p.y), truncToInt32(p.x + s.x), truncToInt32(p.y + s.y)};
}

SocketOrigin socketOriginOf(const SchematicNode& owner) {
    SocketOrigin o;
    o.corner = nodePositionClient(owner);
    o.size = nodeSizeClient(owner);
    o.collapsed = owner.collapsed != 0;
    o.zoom = viewOf(owner).zoom;
    if (!o.collapsed && owner.bitmapHandle) o.bitmapDrop = float(truncToInt32(owner.bitmapSize.y * o.zoom));
    return o;
}

Vec2 socketScreenPosition(const SchematicSocket& socket) {
    return socket.ownerNode ? socketScreenPosition(socket, socketOriginOf(*socket.ownerNode)) : Vec2{};
}

