// geometry.h - where nodes and sockets sit, in graph units and client pixels.
#pragma once
#include <cstdint>

#include "graph/drawing_sizes.h"
#include "graph/records.h"

// A rectangle in client pixels, kept in floats.
struct BoundsF {
    float left = 0, top = 0, right = 0, bottom = 0;
};

// Float to int32 toward zero, saturating; NaN gives 0.
int32_t truncToInt32(float value);

// Outputs that are not flipped and flipped inputs sit on the right edge.
inline bool isRightSide(const SchematicSocket& socket) { return (socket.direction == 1) != (socket.flipped != 0); }

// Width and height in graph units, and times zoom. Hidden nodes measure (-1, -1).
Vec2 nodeSizeGraph(const SchematicNode& node);
Vec2 nodeSizeClient(const SchematicNode& node);
// Top-left corner: parent-relative positions resolved, then mapped to the client.
// Nodes pinned to the view sit against its rectangle in both.
Vec2 nodePositionGraph(const SchematicNode& node);
Vec2 nodePositionClient(const SchematicNode& node);
// Client-pixel rectangle, every edge truncated.
RectI nodeScreenRect(const SchematicNode& node);
// Top-left of the socket box in client pixels.
Vec2 socketScreenPosition(const SchematicSocket& socket);
// What placing a socket reads of its owner, taken once for all of the owner's sockets.
struct SocketOrigin {
    Vec2 corner, size;       // the owner's client top-left and size
    float zoom = 1.0f;
    float bitmapDrop = 0.0f;  // sockets sit below an expanded node's bitmap
    bool collapsed = false;
};
SocketOrigin socketOriginOf(const SchematicNode& owner);
// What placing a socket reads of the socket itself.
struct SocketPlace {
    Vec2 offset;  // socketPosition
    float radius = 0.0f;
    bool right = false;
};
inline SocketPlace socketPlaceOf(const SchematicSocket& socket) {
    return {socket.socketPosition, socket.radius, isRightSide(socket)};
}
// socketScreenPosition for a socket of the owner measured by origin (inline: the
// index and the paint place every socket through it).
inline Vec2 socketScreenPosition(const SocketPlace& socket, const SocketOrigin& o) {
    const bool right = socket.right;
    if (o.collapsed) {
        const float x = right ? o.corner.x + o.size.x - kCollapsedSocketOverhang : o.corner.x - kCollapsedSocketOverhang;
        return {x, o.corner.y + o.size.y * 0.5f};
    }
    Vec2 p{o.corner.x + o.zoom * socket.offset.x, o.corner.y + o.zoom * socket.offset.y};
    if (o.bitmapDrop != 0.0f) p.y += o.bitmapDrop;
    if (right) p.x += socket.radius * 0.5f;
    return p;
}
inline Vec2 socketScreenPosition(const SchematicSocket& socket, const SocketOrigin& o) {
    return socketScreenPosition(socketPlaceOf(socket), o);
}

// The mini-bitmap strip of a collapsed node at zoom: its side, and where the title
// bar and the caption start past it, and how far the caption's right edge comes in.
inline float miniBitmapSideClient(float zoom) { return zoom * kMiniBitmapSide; }
inline float miniTitleInsetClient(float zoom) { return zoom * kMiniBitmapSide + kMiniTitleGap; }
inline float miniCaptionLeftClient(float zoom) { return zoom * kMiniBitmapSide + kMiniCaptionGap; }
inline float miniCaptionInsetClient(float zoom) { return zoom * kMiniBitmapSide + kMiniCaptionInsetGap; }

// Offset of the caption box from the node's corner: the name offset when expanded,
// past the mini-bitmap strip when collapsed with one (inline, as the index measures
// every node through it).
inline Vec2 captionOffsetClient(const SchematicNode& node, float zoom) {
    const bool expanded = !node.collapsed;
    Vec2 offset{expanded ? node.nameOffset.x * zoom : 0.0f, expanded ? node.nameOffset.y * zoom : 0.0f};
    if (node.collapsed && node.showMiniBitmap) offset.x = miniCaptionLeftClient(zoom);
    return offset;
}
// Side of the square the node's bitmap is drawn in, before it is truncated.
inline float nodeBitmapSideClient(const SchematicNode& node, float zoom) {
    return !node.collapsed ? node.bitmapSize.y * zoom : miniBitmapSideClient(zoom);
}
// Links run between points this far right and down of their socket boxes' corners.
inline float linkEndInsetClient(float zoom) { return zoom * kDefaultSocketSide * 0.5f; }
// Arrowhead length and half width at zoom, before they are truncated.
inline float arrowLengthClient(float zoom) { return zoom * kArrowLength; }
inline float arrowHalfWidthClient(float zoom) { return zoom * kArrowHalfWidth; }

// The socket's label sits on the side of its box that faces into the node.
inline bool socketLabelOnRight(const SchematicSocket& socket) { return (socket.direction == 1) == (socket.flipped != 0); }
// The label box of a socket whose box of side `side` sits at boxClient, on its right
// or on its left, `height` tall; nodeWidth is the owner's client width.
inline BoundsF socketLabelClient(const SchematicSocket& socket, Vec2 boxClient, float side, float nodeWidth,
                                 float zoom, float height, bool onRight) {
    const float lx = socket.labelOffset.x * zoom, ly = socket.labelOffset.y * zoom;
    const float t0 = boxClient.y - 0.5f * side + ly;
    BoundsF label;
    label.left = onRight ? boxClient.x + 1.5f * side + lx : boxClient.x + 2.0f * side - nodeWidth + lx;
    label.right = label.left + nodeWidth - 2.0f * side;
    label.top = t0 + side - kSocketLabelLift;
    label.bottom = t0 + height;
    return label;
}
