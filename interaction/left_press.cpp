// left_press.cpp - the left press: selection, socket gestures, link selection, region arming.
#include <algorithm>

#include "graph/geometry.h"
#include "graph/hierarchy.h"
#include "graph/node_ops.h"
#include "graph/socket_ops.h"
#include "graph/spatial_index.h"
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
    int32_t clickedIndex = -1;  // its place in the table when hit
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

// True while the index's selection hints still describe the graph: nothing
// changed it since the press asked the index but the press itself.
bool hintsHold(const GraphContext& ctx, const PressScan& scan) {
    return scan.indexed && ctx.spatialIndex->current(ctx);
}

// Deselects every node but keep, repainting each as the scan passes over it; with
// the index the many rectangles become one repaint of the view, and only the
// nodes that may be selected are visited.
void deselectAllBut(GraphContext& ctx, const SchematicNode* keep, int32_t keepIndex, const PressScan& scan) {
    if (!scan.indexed) {
        for (int32_t i = 0; i < nodeCount(ctx); ++i) {
            SchematicNode* other = nodeAt(ctx, i);
            if (other != keep) setSelected(ctx, *other, 0);
        }
        return;
    }
    if (hintsHold(ctx, scan)) {
        std::vector<int32_t>& selected = ctx.spatialIndex->selectedNodes();
        for (int32_t i : selected)
            if (SchematicNode* other = nodeAt(ctx, i); other && other != keep) other->selected = 0;
        selected.clear();
        if (keep && keep->selected) selected.push_back(keepIndex);
    } else {
        for (int32_t i = 0; i < nodeCount(ctx); ++i) {
            SchematicNode* other = nodeAt(ctx, i);
            if (other != keep) other->selected = 0;
        }
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
bool pressBody(GraphContext& ctx, SchematicNode& node, int32_t index, PressScan& scan) {
    scan.bodyHits += 1;
    scan.clicked = true;
    scan.clickedIndex = index;
    ctx.pressedNode = &node;
    if (node.selected || scan.keys.alt) {
        if (scan.keys.alt) setSelected(ctx, node, 0);
        return true;
    }
    setSelected(ctx, node, 1);
    if (hintsHold(ctx, scan)) ctx.spatialIndex->selectedNodes().push_back(index);
    if (scan.keys.ctrl) return true;
    deselectAllBut(ctx, &node, index, scan);
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
            ctx.dragSocketOwner = i;
            if (view.connecting) {
                const SchematicSocket& socket = *ctx.dragSocket;
                raise(port, UiEvent::connectionStarted, {i + 1, socket.index + 1, socket.direction});
            }
            view.dragPoint = view.dragScratch = {scan.x, scan.y};
            return;
        }
        if (!pressBody(ctx, node, i, scan)) return;
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
    int32_t hitId = -1;
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
                hitId = id;
                break;
            }
        }
    // Outputs passed before the hit lose their link selection; with the hints only
    // those that may have one are visited, in the same order.
    auto clearOutput = [&](SchematicSocket* output) {
        if (output && !output->links.empty() && output->selectedLink != -1) {
            output->selectedLink = -1;
            invalidateAll(ctx);
        }
    };
    const std::pair<int32_t, int32_t> hitAt{hit.node, hit.output};
    if (hintsHold(ctx, scan)) {
        auto& outputs = ctx.spatialIndex->selectedOutputs();
        std::sort(outputs.begin(), outputs.end());
        outputs.erase(std::unique(outputs.begin(), outputs.end()), outputs.end());
        for (const auto& at : outputs) {
            if (hit.node >= 0 && !(at < hitAt)) break;
            SchematicNode* node = nodeAt(ctx, at.first);
            if (node && !node->hidden && size_t(at.second) < node->outputs.size())
                clearOutput(node->outputs[size_t(at.second)]);
        }
    } else {
        for (int32_t n = 0; n < nodeCount(ctx); ++n) {
            SchematicNode& node = *nodeAt(ctx, n);
            if (node.hidden) continue;
            for (int32_t o = 0; o < int32_t(node.outputs.size()); ++o) {
                if (n == hit.node && o == hit.output) break;
                clearOutput(node.outputs[size_t(o)]);
            }
            if (n == hit.node) break;
        }
    }
    if (hit.node < 0) return false;

    SchematicSocket* output = table[size_t(hit.node)]->outputs[size_t(hit.output)];
    SchematicSocket& input = *output->links[size_t(hit.link)];
    const int32_t inputNode = nodeIndexOf(ctx, input.ownerNode, ctx.spatialIndex->peer(hitId));
    output->selectedLink = hit.link;
    ctx.selectedConnection = output;
    invalidateAll(ctx);
    const bool hinted = hintsHold(ctx, scan);
    if (hinted) ctx.spatialIndex->selectedOutputs().push_back(hitAt);
    raise(port, UiEvent::connectionSelectionChanged,
          {hit.node + 1, inputNode + 1, input.index + 1, output->index + 1});
    // No handler ran: the hints still hold, and only they can have a selection to clear.
    if (hinted && hintsHold(ctx, scan)) {
        for (const auto& at : ctx.spatialIndex->selectedOutputs()) {
            SchematicNode* node = nodeAt(ctx, at.first);
            if (!node || node->hidden || size_t(at.second) >= node->outputs.size()) continue;
            SchematicSocket* other = node->outputs[size_t(at.second)];
            if (other != output) clearOutput(other);
        }
        return true;
    }
    clearLinkSelections(ctx, liveSelectedConnection(ctx));
    return true;
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
    // The index is asked after LButtonDown: its handler may have changed the graph.
    if (ctx.spatialIndex) {
        const BoundsF at{scan.x, scan.y, scan.x, scan.y};
        scan.indexed = ctx.spatialIndex->query(ctx, at, &scan.nodes, &scan.links);
    }
    const int32_t firstLayer = view.useDrawLayers ? kTopDrawLayer : -1;
    const int32_t lastLayer = view.useDrawLayers ? 0 : -1;
    for (int32_t layer = firstLayer; layer >= lastLayer; --layer) {
        scanPass(ctx, port, view, scan, layer);
        if (scan.clicked) {
            const int32_t clicked = nodeIndexOf(ctx, ctx.pressedNode, scan.clickedIndex);
            ctx.pressedNode = nullptr;
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
            deselectAllBut(ctx, nullptr, -1, scan);
        if (!linkSelected && view.allowRegionSelect) view.gestureFlags[kRegionArmed] = 1;
    }

    port.capturePointer();
    return 1;
}
