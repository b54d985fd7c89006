// left_press.cpp - the left press: selection, socket gestures, link selection, region arming.
#include <algorithm>

#include "graph/geometry.h"
#include "graph/hierarchy.h"
#include "graph/node_ops.h"
#include "graph/socket_ops.h"
#include "interaction/gesture_support.h"
#include "interaction/handlers.h"
#include "interaction/hit_test.h"

namespace {

constexpr int32_t kTopDrawLayer = 2;

// Working state of one press.
struct PressScan {
    float x = 0.0f, y = 0.0f;
    KeyState keys;
    int32_t bodyHits = 0;
    // A body was hit. The last one is held in the context's pressedNode, which node
    // destruction clears: a handler may delete it and add another at its address.
    bool clicked = false;
    bool socketHit = false;  // a socket was hit: the press belongs to it
};

// Repaints even when the flag stays as it was: script writes change nodes
// without a repaint, and the press brings every node it passes over up to date.
void setSelected(GraphContext& ctx, SchematicNode& node, uint8_t selected) {
    node.selected = selected;
    invalidateRect(ctx, nodeScreenRect(node));
}

void flipSocket(GraphContext& ctx, SchematicSocket& socket) {
    setSocketFlipped(socket, socket.flipped ? 0 : 1);
    invalidateAll(ctx);
}

// Tests the node's inputs, then its outputs; a hit makes the socket the drag
// socket and decides what the press does with it. True when a socket was hit.
bool pressSockets(GraphContext& ctx, SchematicViewState& view, SchematicNode& node,
                  const PressScan& scan) {
    bool inputHit = false, outputHit = false;
    for (SchematicSocket* socket : node.inputs) {
        if (!socketHitTest(*socket, scan.x, scan.y)) continue;
        inputHit = true;
        ctx.dragSocket = socket;
        if (scan.keys.shift) {
            flipSocket(ctx, *socket);
        } else if (scan.keys.alt || scan.keys.ctrl) {
            // Alt hides what the input is fed by, Ctrl shows it again.
            if (!socket->links.empty()) {
                hideConnected(*socket, &node, scan.keys.alt ? 1 : 0, true);
                invalidateAll(ctx);
            }
        } else {
            view.connecting = 1;
        }
        break;
    }
    for (SchematicSocket* socket : node.outputs) {
        if (!socketHitTest(*socket, scan.x, scan.y)) continue;
        outputHit = true;
        ctx.dragSocket = socket;
        if (scan.keys.shift) flipSocket(ctx, *socket);
        else view.connecting = 1;
        break;
    }
    return inputHit || outputHit;
}

// Selection by node body. True when the pass goes on to the nodes below.
bool pressBody(GraphContext& ctx, SchematicNode& node, PressScan& scan) {
    scan.bodyHits += 1;
    scan.clicked = true;
    ctx.pressedNode = &node;
    if (node.selected || scan.keys.alt) {
        if (scan.keys.alt) setSelected(ctx, node, 0);
        return true;
    }
    setSelected(ctx, node, 1);
    if (scan.keys.ctrl) return true;
    for (int32_t i = 0; i < nodeCount(ctx); ++i) {
        SchematicNode* other = nodeAt(ctx, i);
        if (other != &node) setSelected(ctx, *other, 0);
    }
    return false;
}

// One pass from the topmost node down; layer -1 visits every node.
void scanPass(GraphContext& ctx, WindowPort& port, SchematicViewState& view, PressScan& scan,
              int32_t layer) {
    for (int32_t i = nodeCount(ctx) - 1; i >= 0; --i) {
        SchematicNode& node = *nodeAt(ctx, i);
        if (layer >= 0 && node.drawLayer != layer) continue;
        if (!nodeHitTest(node, scan.x, scan.y)) continue;
        // A collapsed node's sockets serve only its links; the press acts on its body.
        if (!node.collapsed && pressSockets(ctx, view, node, scan)) {
            scan.socketHit = true;
            if (view.connecting) {
                const SchematicSocket& socket = *ctx.dragSocket;
                raise(port, UiEvent::connectionStarted, {i + 1, socket.index + 1, socket.direction});
            }
            view.dragPoint = view.dragScratch = {scan.x, scan.y};
            return;
        }
        if (!pressBody(ctx, node, scan)) return;
    }
}

// Clears the link selection of every output of every visible node except keep.
void clearLinkSelections(GraphContext& ctx, const SchematicSocket* keep) {
    for (int32_t n = 0; n < nodeCount(ctx); ++n) {
        SchematicNode& node = *nodeAt(ctx, n);
        if (node.hidden) continue;
        for (SchematicSocket* output : node.outputs) {
            if (output == keep || output->links.empty() || output->selectedLink == -1) continue;
            output->selectedLink = -1;
            invalidateAll(ctx);
        }
    }
}

// Selects the first link of a visible node that passes under the pointer, unless
// it is already the selected one; every other link selection goes. True when a
// link became selected.
bool selectLinkAt(GraphContext& ctx, WindowPort& port, const PressScan& scan) {
    for (int32_t n = 0; n < nodeCount(ctx); ++n) {
        SchematicNode& node = *nodeAt(ctx, n);
        if (node.hidden) continue;
        for (SchematicSocket* output : node.outputs) {
            const size_t count = output->links.size();
            for (size_t i = 0; i < count; ++i) {
                SchematicSocket& input = *output->links[i];
                const bool candidate = scan.bodyHits == 0 && int32_t(i) != output->selectedLink &&
                                       input.ownerNode && !input.ownerNode->hidden;
                if (candidate && linkHitTest(*output, input, scan.x, scan.y)) {
                    output->selectedLink = int32_t(i);
                    ctx.selectedConnection = output;
                    invalidateAll(ctx);
                    raise(port, UiEvent::connectionSelectionChanged,
                          {n + 1, nodeIndexOf(ctx, input.ownerNode) + 1, input.index + 1,
                           output->index + 1});
                    // What is left of the walk only clears other selections; do it
                    // on the graph as the handler left it. The selection is kept
                    // only while its output still exists.
                    clearLinkSelections(ctx, liveSelectedConnection(ctx));
                    return true;
                }
                if (i + 1 == count && output->selectedLink != -1) {
                    output->selectedLink = -1;
                    invalidateAll(ctx);
                }
            }
        }
    }
    return false;
}

}  // namespace

int onLeftPress(GraphContext& ctx, WindowPort& port, const PointerInput& in) {
    SchematicViewState& view = *ctx.viewState;
    port.takeFocus();

    PressScan scan;
    scan.x = float(in.x);
    scan.y = float(in.y);
    scan.keys = in.keys;

    view.gestureFlags[kRegionActive] = 0;
    view.gestureFlags[kRegionArmed] = 0;
    view.gestureFlags[kLinksMoved] = 0;
    view.leftButtonDown = 1;
    view.pressPoint = {scan.x, scan.y};
    view.connecting = 0;
    ctx.dragSocket = nullptr;
    ctx.selectedConnection = nullptr;
    ctx.pressedNode = nullptr;
    view.regionRect = {scan.x, scan.y, scan.x, scan.y};

    raise(port, UiEvent::LButtonDown);

    // With draw layers, the top layer is searched first. A socket hit ends the
    // search: the press belongs to that socket, and searching lower layers would
    // test other sockets against a gesture already started.
    const int32_t firstLayer = view.useDrawLayers ? kTopDrawLayer : -1;
    const int32_t lastLayer = view.useDrawLayers ? 0 : -1;
    for (int32_t layer = firstLayer; layer >= lastLayer; --layer) {
        scanPass(ctx, port, view, scan, layer);
        if (scan.clicked) {
            const int32_t clicked = nodeIndexOf(ctx, ctx.pressedNode);
            ctx.pressedNode = nullptr;
            if (clicked >= 0) raise(port, UiEvent::nodeClicked, {clicked + 1});
            break;
        }
        if (scan.socketHit) break;
    }

    bool linkSelected = false;
    if (!scan.socketHit && !scan.keys.ctrl && !scan.keys.alt) linkSelected = selectLinkAt(ctx, port, scan);

    if (scan.bodyHits == 0 && !scan.socketHit) {
        if (!scan.keys.ctrl && !scan.keys.alt)
            for (int32_t i = 0; i < nodeCount(ctx); ++i) setSelected(ctx, *nodeAt(ctx, i), 0);
        if (!linkSelected && view.allowRegionSelect) view.gestureFlags[kRegionArmed] = 1;
    }

    port.capturePointer();
    return 1;
}
