// pointer_move.cpp - the pointer move: region, rubber band, node drag, value drag or pan.
#include <algorithm>
#include <vector>

#include "graph/geometry.h"
#include "graph/spatial_index.h"
#include "interaction/gesture_support.h"
#include "interaction/handlers.h"
#include "interaction/view_transform.h"

namespace {

constexpr int32_t kRegionMargin = 6;
constexpr int32_t kRubberBandMargin = 20;
constexpr int32_t kPartialRepaintLimit = 5;  // more selected nodes repaint the whole view

// The four edges of the region rectangle from a to c, each as a strip 12 pixels wide.
void invalidateRegionOutline(GraphContext& ctx, Vec2 a, Vec2 c) {
    const int32_t ax = truncToInt32(a.x), ay = truncToInt32(a.y);
    const int32_t cx = truncToInt32(c.x), cy = truncToInt32(c.y);
    const int32_t left = (std::min)(ax, cx), right = (std::max)(ax, cx);
    const int32_t top = (std::min)(ay, cy), bottom = (std::max)(ay, cy);
    const int32_t m = kRegionMargin;
    invalidateGrown(ctx, RectI{left, cy, right, cy}, m);
    invalidateGrown(ctx, RectI{left, ay, right, ay}, m);
    invalidateGrown(ctx, RectI{ax, top, ax, bottom}, m);
    invalidateGrown(ctx, RectI{cx, top, cx, bottom}, m);
}

void stretchRegion(GraphContext& ctx, SchematicViewState& view, Vec2 pointer) {
    view.gestureFlags[kRegionActive] = 1;
    view.dragPoint = pointer;
    const Vec2 start{view.regionRect[0], view.regionRect[1]};
    // The outline last painted goes, the new one (drawn to dragPoint) comes.
    invalidateRegionOutline(ctx, start, Vec2{view.regionRect[2], view.regionRect[3]});
    invalidateRegionOutline(ctx, start, pointer);
}

void stretchRubberBand(GraphContext& ctx, SchematicViewState& view, Vec2 pointer) {
    SchematicSocket* socket = liveDragSocket(ctx);
    if (!socket) return;
    view.dragPoint = pointer;
    const Vec2 from = socketScreenPosition(*socket);
    // The band last painted ends at dragScratch; the next one ends at the pointer.
    invalidateBetween(ctx, from, view.dragScratch, kRubberBandMargin);
    invalidateBetween(ctx, from, pointer, kRubberBandMargin);
}

// Everything one link paints (curve, arrowhead, weight box) where it is now.
void invalidateLink(GraphContext& ctx, const SchematicSocket& output, size_t link) {
    BoundsF area;
    if (!linkExtent(ctx, output, link, area)) return invalidateAll(ctx);
    invalidateGrown(ctx, RectI{truncToInt32(area.left), truncToInt32(area.top), truncToInt32(area.right),
                               truncToInt32(area.bottom)},
                    1);
}

void invalidateLinksOf(GraphContext& ctx, const SchematicSocket& socket) {
    if (socket.direction == 1) {
        for (size_t k = 0; k < socket.links.size(); ++k) invalidateLink(ctx, socket, k);
        return;
    }
    for (const SchematicSocket* peer : socket.links)
        for (size_t k = 0; k < peer->links.size(); ++k)
            if (peer->links[k] == &socket) invalidateLink(ctx, *peer, k);
}

template <typename Visit>
void forEachLinkedSocket(const SchematicNode& node, Visit visit) {
    for (const auto* list : {&node.inputs, &node.outputs})
        for (const SchematicSocket* socket : *list)
            if (!socket->links.empty()) visit(*socket);
}

void dragNodes(GraphContext& ctx, SchematicViewState& view, Vec2 pointer) {
    const float perPixel = 1.0f / view.zoom;
    const float dx = (pointer.x - view.pressPoint.x) * perPixel;
    const float dy = (pointer.y - view.pressPoint.y) * perPixel;

    // With the index, only the nodes that may be selected are visited.
    std::vector<int32_t> candidates;
    const bool hinted = ctx.spatialIndex && ctx.spatialIndex->dragCandidates(ctx, candidates);
    const int32_t visits = hinted ? int32_t(candidates.size()) : nodeCount(ctx);
    auto visited = [&](int32_t k) { return hinted ? candidates[size_t(k)] : k; };

    int32_t selected = 0;
    for (int32_t k = 0; k < visits; ++k) selected += nodeAt(ctx, visited(k))->selected ? 1 : 0;
    bool partial = selected <= kPartialRepaintLimit;

    for (int32_t k = 0; k < visits; ++k) {
        const int32_t i = visited(k);
        SchematicNode& node = *nodeAt(ctx, i);
        // Children move with their parent wherever they are; no cheap bound for that.
        if (!node.children.empty()) partial = false;
        if (!node.selected) continue;
        const RectI before = nodeScreenRect(node);
        // A child's position is relative to its parent: it follows a selected parent.
        const bool followsParent = node.parent && node.parent != &node && node.parent->selected;
        // Links are repainted where they were and where they go: arrowheads and weights
        // reach well past the line between the sockets.
        if (partial) forEachLinkedSocket(node, [&](const SchematicSocket& s) { invalidateLinksOf(ctx, s); });
        if (!node.posLocked && !followsParent) {
            node.position.x += dx;
            node.position.y += dy;
            nodeChanged(ctx, i);
        }
        if (partial) {
            invalidateGrown(ctx, before, kNodeMargin);
            invalidateGrown(ctx, nodeScreenRect(node), kNodeMargin);
        }
        forEachLinkedSocket(node, [&](const SchematicSocket& s) {
            view.gestureFlags[kLinksMoved] = 1;
            if (partial) invalidateLinksOf(ctx, s);
        });
    }
    if (!partial) invalidateAll(ctx);
    view.pressPoint = pointer;
}

}  // namespace

int onPointerMove(GraphContext& ctx, WindowPort& port, const PointerInput& in) {
    SchematicViewState& view = *ctx.viewState;
    const Vec2 pointer{float(in.x), float(in.y)};
    if (view.gestureFlags[kRegionArmed]) {
        stretchRegion(ctx, view, pointer);
    } else if (view.connecting) {
        stretchRubberBand(ctx, view, pointer);
    } else if (view.leftButtonDown) {
        dragNodes(ctx, view, pointer);
    } else if (SchematicSocket* socket = liveDragSocket(ctx)) {
        dragSocketValue(ctx, port, *socket, in);
    } else if (view.panning && view.allowPan) {
        panToPointer(view, pointer);
        invalidateAll(ctx);
    }
    raise(port, UiEvent::mouseMoved);
    return 1;
}
