// left_press.cpp - the left press: selection, socket gestures, link selection, region arming.
#include <algorithm>

#include "graph/geometry.h"
#include "graph/hierarchy.h"
#include "graph/node_ops.h"
#include "graph/socket_ops.h"
#include "interaction/gesture_support.h"
#include "interaction/handlers.h"
#include "interaction/hit_test.h"
#include "graph/spatial_index.h"

namespace {

constexpr int32_t kTopDrawLayer = 2;

// Working state of one press.
struct PressScan {
    float x = 0.0f, y = 0.0f;
    KeyState keys;
    int32_t bodyHits = 0;
    // The last body hit, held by pointer and looked up again before it is named in
    // an event: a handler may have deleted or moved it meanwhile.
    SchematicNode* clickedNode = nullptr;
    bool socketHit = false;  // a socket was hit: the press belongs to it
    // With a spatial index: the nodes and links near the point, in table order.
    bool indexed = false;
    std::vector<int32_t> nodes, links;
};



// Repaints even when the flag stays as it was: script writes change nodes
// without a repaint, and the press brings every node it passes over up to date.
void setSelected(GraphContext& ctx, SchematicNode& node, uint8_t selected) {
    node.selected = selected;
    invalidateRect(ctx, nodeScreenRect(node));
}

// Deselects every node but keep, repainting each as the scan passes over it; with
// the index the many rectangles become one repaint of the view.
void deselectAllBut(GraphContext& ctx, const SchematicNode* keep, const PressScan& scan) {
    if (!scan.indexed) {
        for (int32_t i = 0; i < nodeCount(ctx); ++i) {
            SchematicNode* other = nodeAt(ctx, i);
            if (other != keep) setSelected(ctx, *other, 0);
        }
        return;
    }
    for (int32_t i = 0; i < nodeCount(ctx); ++i) {
        SchematicNode* other = nodeAt(ctx, i);
        if (other != keep) other->selected = 0;
    }
    invalidateAll(ctx);
}

void flipSocket(GraphContext& ctx, SchematicSocket& socket) {
    setSocketFlipped(socket, socket.flipped ? 0 : 1);
    graphChanged(ctx);
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
                graphChanged(ctx);
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
    scan.clickedNode = &node;
    if (node.selected || scan.keys.alt) {
        if (scan.keys.alt) setSelected(ctx, node, 0);
        return true;
    }
    setSelected(ctx, node, 1);
    if (scan.keys.ctrl) return true;
    deselectAllBut(ctx, &node, scan);
    return false;
}

// One pass from the topmost node down; layer -1 visits every node.
void scanPass(GraphContext& ctx, WindowPort& port, SchematicViewState& view, PressScan& scan,
              int32_t layer) {
    // Indexed: only the candidates, topmost first; nothing in a pass changes places.
    const size_t candidates = scan.indexed ? scan.nodes.size() : size_t(nodeCount(ctx));
    for (size_t k = candidates; k-- > 0;) {
        const int32_t i = scan.indexed ? scan.nodes[k] : int32_t(k);
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

// What selectLinkAt does, with the candidates of the index deciding the hit: the
// walk up to it only clears link selections, so it runs without any hit test.
bool selectLinkIndexed(GraphContext& ctx, WindowPort& port, const PressScan& scan) {
    const SchematicGraph& table = *ctx.nodeTable;
    LinkItem hit{-1, -1, -1};
    if (scan.bodyHits == 0)
        for (int32_t id : scan.links) {
            const LinkItem& k = ctx.spatialIndex->link(id);
            SchematicNode& node = *table[size_t(k.node)];
            if (node.hidden) continue;
            SchematicSocket& output = *node.outputs[size_t(k.output)];
            SchematicSocket& input = *output.links[size_t(k.link)];
            const bool candidate = k.link != output.selectedLink && input.ownerNode && !input.ownerNode->hidden;
            if (candidate && linkHitTestQuick(output, input, scan.x, scan.y)) {
                hit = k;
                break;
            }
        }
    for (int32_t n = 0; n < nodeCount(ctx); ++n) {
        SchematicNode& node = *nodeAt(ctx, n);
        if (node.hidden) continue;
        for (int32_t o = 0; o < int32_t(node.outputs.size()); ++o) {
            SchematicSocket* output = node.outputs[size_t(o)];
            if (n == hit.node && o == hit.output) {
                SchematicSocket& input = *output->links[size_t(hit.link)];
                output->selectedLink = hit.link;
                ctx.selectedConnection = output;
                invalidateAll(ctx);
                raise(port, UiEvent::connectionSelectionChanged,
                      {n + 1, nodeIndexOf(ctx, input.ownerNode) + 1, input.index + 1, output->index + 1});
                clearLinkSelections(ctx, liveSelectedConnection(ctx));
                return true;
            }
            if (!output->links.empty() && output->selectedLink != -1) {
                output->selectedLink = -1;
                invalidateAll(ctx);
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
    view.regionRect = {scan.x, scan.y, scan.x, scan.y};

    raise(port, UiEvent::LButtonDown);

    // With draw layers, the top layer is searched first. A socket hit ends the
    // search: the press belongs to that socket, and searching lower layers would
    // test other sockets against a gesture already started.
    // The index is asked after LButtonDown: its handler may have changed the graph.
    if (ctx.spatialIndex) {
        const BoundsF at{scan.x, scan.y, scan.x, scan.y};
        scan.indexed = ctx.spatialIndex->query(ctx, at, &scan.nodes, &scan.links);
    }
    const int32_t firstLayer = view.useDrawLayers ? kTopDrawLayer : -1;
    const int32_t lastLayer = view.useDrawLayers ? 0 : -1;
    for (int32_t layer = firstLayer; layer >= lastLayer; --layer) {
        scanPass(ctx, port, view, scan, layer);
        if (scan.clickedNode) {
            const int32_t clicked = nodeIndexOf(ctx, scan.clickedNode);
            if (clicked >= 0) raise(port, UiEvent::nodeClicked, {clicked + 1});
            break;
        }
        if (scan.socketHit) break;
    }

    bool linkSelected = false;
    if (!scan.socketHit && !scan.keys.ctrl && !scan.keys.alt) 
        linkSelected = scan.indexed ? selectLinkIndexed(ctx, port, scan) : selectLinkAt(ctx, port, scan);

    if (scan.bodyHits == 0 && !scan.socketHit) {
        if (!scan.keys.ctrl && !scan.keys.alt)
            deselectAllBut(ctx, nullptr, scan);
        if (!linkSelected && view.allowRegionSelect) view.gestureFlags[kRegionArmed] = 1;
    }

    port.capturePointer();
    return 1;
}
