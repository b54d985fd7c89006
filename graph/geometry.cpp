// geometry.cpp - node and socket placement shared by hit tests, drawing and gestures.
#include "graph/geometry.h"

#include <cmath>

namespace {

constexpr float kHiddenPosition = -100000000.0f;
constexpr float kMiniBitmapHeight = 26.0f;

// Loaded nodes have no view until their container is bound; they measure as if unzoomed.
const SchematicViewState& viewOf(const SchematicNode& node) {
    static const SchematicViewState unbound;
    return node.viewStateRef ? *node.viewStateRef : unbound;
}

} // namespace

int32_t truncToInt32(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool isRightSide(const SchematicSocket& socket) {
    return (socket.direction == 1) != (socket.flipped != 0);
}

Vec2 nodeSize(const SchematicNode& node, bool screen) {
    if (node.hidden) return {-1.0f, -1.0f};
    Vec2 size;
    if (!node.collapsed) {
        size = {float(node.width), float(node.height)};
        if (node.bitmapHandle) size.y += node.bitmapSize.y;
    } else {
        size = {float(node.collapsedSize.x), float(node.collapsedSize.y)};
        if (node.showMiniBitmap && node.bitmapHandle) size.y += kMiniBitmapHeight;
    }
    if (screen) {
        const float zoom = viewOf(node).zoom;
        size.x *= zoom;
        size.y *= zoom;
    }
    return size;
}

Vec2 nodePosition(const SchematicNode& node, bool screen) {
    if (node.hidden) return {kHiddenPosition, kHiddenPosition};
    const SchematicViewState& view = viewOf(node);
    if (node.viewAlign == -1)
        return {float(view.viewRect.left) + node.viewAlignOffset.x,
                float(view.viewRect.top) + node.viewAlignOffset.y};
    if (node.viewAlign == 1)
        return {float(view.viewRect.right) - nodeSize(node, screen).x + node.viewAlignOffset.x,
                float(view.viewRect.top) + node.viewAlignOffset.y};
    Vec2 p = node.position;
    // A node that is its own parent counts as parentless, as drawing treats it.
    if (node.parent && node.parent != &node) {
        p.x += node.parent->position.x;
        p.y += node.parent->position.y;
    }
    if (screen) {
        p.x = p.x * view.zoom + view.pan.x;
        p.y = p.y * view.zoom + view.pan.y;
    }
    return p;
}

RectI nodeScreenRect(const SchematicNode& node) {
    const Vec2 p = nodePosition(node, true);
    const Vec2 s = nodeSize(node, true);
    return {truncToInt32(p.x), truncToInt32(p.y), truncToInt32(p.x + s.x), truncToInt32(p.y + s.y)};
}

Vec2 socketScreenPosition(const SchematicSocket& socket) {
    const SchematicNode* owner = socket.ownerNode;
    if (!owner) return {};
    const Vec2 origin = nodePosition(*owner, true);
    const bool right = isRightSide(socket);
    if (owner->collapsed) {
        const Vec2 size = nodeSize(*owner, true);
        return {right ? origin.x + size.x - 4.0f : origin.x - 4.0f, origin.y + size.y * 0.5f};
    }
    const float zoom = viewOf(*owner).zoom;
    Vec2 p{origin.x + zoom * socket.socketPosition.x, origin.y + zoom * socket.socketPosition.y};
    if (owner->bitmapHandle) p.y += float(truncToInt32(owner->bitmapSize.y * zoom));
    if (right) p.x += socket.radius * 0.5f;
    return p;
}
