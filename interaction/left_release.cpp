// left_release.cpp - the left release: connection drops, region selection, end of the gesture.
#include <algorithm>
#include <vector>

#include "graph/geometry.h"
#include "graph/link_ops.h"
#include "graph/socket_ops.h"
#include "graph/spatial_index.h"
#include "interaction/gesture_support.h"
#include "interaction/handlers.h"
#include "interaction/hit_test.h"

namespace {

// Topmost node under the point that is expanded; collapsed nodes let the drop through.
int32_t dropNodeAt(const GraphContext& ctx, float x, float y) {
    const NodesNearPoint near(ctx, x, y);
    for (int32_t k = near.size() - 1; k >= 0; --k) {
        const SchematicNode& node = *nodeAt(ctx, near[k]);
        if (nodeHitTest(node, x, y) && !node.collapsed) return near[k];
    }
    return -1;
}

SchematicSocket* firstSocketHit(const std::vector<SchematicSocket*>& sockets, float x, float y) {
    for (SchematicSocket* socket : sockets)
        if (socketHitTest(*socket, x, y)) return socket;
    return nullptr;
}

// Links or unlinks the source with the matching socket under the pointer; a drop
// on the node's body, off its sockets, does nothing.
void dropOnNode(GraphContext& ctx, WindowPort& port, SchematicSocket& source, int32_t sourceOwner,
                int32_t dropIndex, float x, float y) {
    SchematicNode& drop = *nodeAt(ctx, dropIndex);
    if (source.direction == 1) {
        source.selectedLink = -1;
        SchematicSocket* input = firstSocketHit(drop.inputs, x, y);
        if (!input) return;
        const bool made = toggleLink(ctx, source, *input);
        nodeChanged(ctx, sourceOwner);
        nodeChanged(ctx, dropIndex);
        raise(port, UiEvent::connectionChanged,
              {sourceOwner + 1, dropIndex + 1, input->index + 1, source.index + 1, made ? 1 : 0,
               int32_t(input->links.size())});
    } else {
        SchematicSocket* output = firstSocketHit(drop.outputs, x, y);
        if (!output) return;
        output->selectedLink = -1;
        const bool made = toggleLink(ctx, *output, source);
        nodeChanged(ctx, sourceOwner);
        nodeChanged(ctx, dropIndex);
        raise(port, UiEvent::connectionChanged,
              {dropIndex + 1, sourceOwner + 1, source.index + 1, output->index + 1, made ? 1 : 0,
               int32_t(source.links.size())});
    }
    // Neither socket is used past the event: its handler may have deleted them.
}

void endConnectionDrag(GraphContext& ctx, WindowPort& port, float x, float y) {
    // A handler may have deleted the source since the press: then there is
    // nothing to connect and no socket to name.
    SchematicSocket* source = liveDragSocket(ctx);
    if (!source) {
        invalidateAll(ctx);
        return;
    }
    const int32_t sourceOwner = ctx.dragSocketOwner;  // where liveDragSocket just found it
    const int32_t dropIndex = dropNodeAt(ctx, x, y);
    if (dropIndex >= 0) {
        dropOnNode(ctx, port, *source, sourceOwner, dropIndex, x, y);
        invalidateAll(ctx);
        return;
    }
    const int32_t args[3] = {sourceOwner + 1, source->index + 1, source->direction};
    invalidateAll(ctx);
    port.raise(UiEvent::connectToEmpty, args, 3);
}

void selectRegion(GraphContext& ctx, WindowPort& port, const SchematicViewState& view, float x,
                  float y, bool alt) {
    ctx.selectedConnection = nullptr;
    const float left = (std::min)(view.regionRect[0], x), right = (std::max)(view.regionRect[0], x);
    const float top = (std::min)(view.regionRect[1], y), bottom = (std::max)(view.regionRect[1], y);
    for (int32_t i = 0; i < nodeCount(ctx); ++i) {
        SchematicNode& node = *nodeAt(ctx, i);
        if (!node.selectable) continue;
        const Vec2 p = nodePositionClient(node);
        const Vec2 s = nodeSizeClient(node);
        const float nodeRight = p.x + s.x, nodeBottom = p.y + s.y;
        // Wholly and strictly inside; touching an edge is not enough.
        if (left < p.x && nodeRight < right && top < p.y && nodeBottom < bottom) {
            node.selected = alt ? 0 : 1;
            nodeChanged(ctx, i);  // the index's selection hints
        }
    }
    invalidateAll(ctx);
    raise(port, UiEvent::regionSelected);
}

}  // namespace

int onLeftRelease(GraphContext& ctx, WindowPort& port, const PointerInput& in) {
    SchematicViewState& view = *ctx.viewState;
    const float x = float(in.x), y = float(in.y);
    view.leftButtonDown = 0;
    view.gestureFlags[kRegionArmed] = 0;

    if (view.connecting) {
        endConnectionDrag(ctx, port, x, y);
    } else if (view.gestureFlags[kRegionActive]) {
        selectRegion(ctx, port, view, x, y, in.keys.alt);
    } else if (view.gestureFlags[kLinksMoved]) {
        invalidateAll(ctx);
    }

    view.connecting = 0;
    view.gestureFlags[kRegionActive] = 0;
    ctx.dragSocket = nullptr;
    raise(port, UiEvent::LButtonUp);
    port.releasePointer();
    return 1;
}
