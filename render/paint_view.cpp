// paint_view.cpp - the paint pipeline: every layer into the back buffer, then one copy out.
#include "render/paint_view.h"

#include <xmmintrin.h>

#include <algorithm>
#include <vector>

#include "graph/geometry.h"
#include "graph/spatial_index.h"
#include "render/background.h"
#include "render/connection_curves.h"
#include "render/draw_node.h"
#include "render/gdi.h"
#include "render/line_batch.h"
#include "render/node_text.h"
#include "render/rubber_band.h"

namespace {
constexpr int kDrawLayers = 3;

// What one paint draws: every node and link, or the candidates the spatial index
// gives for the update region, in the same table order.
struct PaintSet {
    bool culled = false;
    std::vector<int32_t> nodes, links;
};

template <class Visit>
void forEachNode(const GraphContext& graph, const PaintSet& set, Visit visit) {
    const SchematicGraph& table = *graph.nodeTable;
    if (!set.culled) {
        for (SchematicNode* node : table)
            if (node) visit(*node);
        return;
    }
    for (int32_t i : set.nodes)
        if (SchematicNode* node = table[size_t(i)]) visit(*node);
}

// The far end of a candidate link, or null.
const SchematicSocket* farEnd(const SchematicGraph& table, const LinkItem& item) {
    const SchematicNode* node = table[size_t(item.node)];
    if (!node || size_t(item.output) >= node->outputs.size()) return nullptr;
    const SchematicSocket* socket = node->outputs[size_t(item.output)];
    if (!socket || size_t(item.link) >= socket->links.size()) return nullptr;
    return socket->links[size_t(item.link)];
}

void prefetch(const void* p) { _mm_prefetch(static_cast<const char*>(p), _MM_HINT_T0); }

// Far ends lie anywhere in memory and each link waits for its own: asking for them
// some links ahead overlaps the waits. First the socket, then, once it has come, the
// fields of its node that placing the link's end reads.
constexpr size_t kSocketAhead = 16, kNodeAhead = 8;
void prefetchFarEnds(const SchematicGraph& table, const SpatialIndex& index, const std::vector<int32_t>& links,
                     size_t k) {
    if (k + kSocketAhead < links.size())
        if (const SchematicSocket* socket = farEnd(table, index.link(links[k + kSocketAhead]))) prefetch(socket);
    if (k + kNodeAhead < links.size())
        if (const SchematicSocket* socket = farEnd(table, index.link(links[k + kNodeAhead])))
            if (const SchematicNode* node = socket->ownerNode) {
                prefetch(&node->viewStateRef);
                prefetch(&node->collapsed);
                prefetch(&node->hidden);
                prefetch(&node->parent);
                prefetch(&node->viewAlign);
            }
}

void drawAllLinks(const GraphContext& graph, const PaintSet& set, HDC buffer) {
    const SchematicGraph& table = *graph.nodeTable;
    LineBatch lines(buffer);
    LineBatch* batch = lines.active() ? &lines : nullptr;
    if (!set.culled) {
        for (SchematicNode* node : table)
            if (node)
                for (SchematicSocket* socket : node->outputs)
                    if (socket) drawOutputLinks(graph, *socket, buffer, nullptr, 0, batch);
        lines.flush();
        return;
    }
    // Candidates come in scan order; each run of one output draws as one call.
    std::vector<int32_t> positions;
    const SpatialIndex& index = *graph.spatialIndex;
    for (size_t k = 0; k < set.links.size();) {
        const LinkItem& first = index.link(set.links[k]);
        positions.clear();
        size_t end = k;
        for (; end < set.links.size(); ++end) {
            const LinkItem& item = index.link(set.links[end]);
            if (item.node != first.node || item.output != first.output) break;
            positions.push_back(item.link);
            prefetchFarEnds(table, index, set.links, end);
        }
        SchematicSocket* socket = table[size_t(first.node)]->outputs[size_t(first.output)];
        if (socket) drawOutputLinks(graph, *socket, buffer, positions.data(), positions.size(), batch);
        k = end;
    }
    lines.flush();
}

void drawAllNodes(const GraphContext& graph, const PaintSet& set, const SchematicViewState& view,
                  HDC buffer) {
    const SchematicGraph& table = *graph.nodeTable;
    LineBatch outlines(buffer);
    LineBatch* batch = outlines.active() ? &outlines : nullptr;
    if (view.useDrawLayers) {
        // Layer by layer; a node on a layer outside 0..2 is not drawn at all.
        for (int layer = 0; layer < kDrawLayers; ++layer)
            forEachNode(graph, set, [&](SchematicNode& node) {
                if (node.drawLayer == layer) drawNode(graph, node, buffer, false, batch);
            });
    } else {
        forEachNode(graph, set, [&](SchematicNode& node) { drawNode(graph, node, buffer, false, batch); });
    }
    const int32_t last = view.drawLastIndex;
    if (last >= 0 && size_t(last) < table.size() && table[size_t(last)])
        drawNode(graph, *table[size_t(last)], buffer, false, batch);
    outlines.flush();
}

// A culled paint leaves nodes outside the region undrawn; give them the caption
// colour the whole paint would have given them, as it is kept with the node.
void chooseTextColors(const GraphContext& graph, const SchematicViewState& view) {
    if (double(view.zoom) <= kHideCaptionsAtZoom) return;  // no caption is drawn at all
    const RectI& v = view.viewRect;
    PaintSet inView;
    const BoundsF all{float(v.left), float(v.top), float(v.right), float(v.bottom)};
    inView.culled = graph.spatialIndex->query(graph, all, &inView.nodes, nullptr);
    auto captioned = [&](SchematicNode& node) {
        if (node.hidden || node.showBitmapOnly) return;
        const Vec2 size = nodeSizeClient(node), pos = nodePositionClient(node);
        if (float(v.right) < pos.x || pos.x + size.x < float(v.left) || float(v.bottom) < pos.y ||
            pos.y + size.y < float(v.top))
            return;
        node.textColor = nodeTextColor(node, view);
    };
    forEachNode(graph, inView, [&](SchematicNode& node) {
        // With draw layers a node outside 0..2 is drawn only as the node on top.
        if (!view.useDrawLayers || (node.drawLayer >= 0 && node.drawLayer < kDrawLayers)) captioned(node);
    });
    const SchematicGraph& table = *graph.nodeTable;
    const int32_t last = view.drawLastIndex;
    if (last >= 0 && size_t(last) < table.size() && table[size_t(last)]) captioned(*table[size_t(last)]);
    if (view.drawWeights)
        for (SchematicNode* node : *graph.nodeTable)
            if (node)
                for (SchematicSocket* socket : node->outputs)
                    if (socket)
                        if (SchematicNode* owner = weightedLinkOwner(graph, *socket))
                            owner->textColor = nodeTextColor(*owner, view);
}

void paintLayers(PaintTarget& target, HDC buffer, const RECT* region) {
    GraphContext& graph = target.graph;
    SchematicViewState& view = target.view;
    const SchematicGraph& table = *graph.nodeTable;
    const RectI& r = view.viewRect;

    PaintSet set;
    if (region && graph.spatialIndex) {
        const BoundsF area{float(region->left), float(region->top), float(region->right),
                           float(region->bottom)};
        set.culled = graph.spatialIndex->query(graph, area, &set.nodes, &set.links);
    }

    drawBackground(target.background, view, buffer);

    // The info text takes its colour from the first node, so it needs one.
    if (view.showInfo && !table.empty() && table[0]) {
        const RectF strip{0.0f, float(r.bottom - r.top - kInfoStripHeight), float(r.right - r.left),
                          float(r.bottom - r.top)};
        drawNodeText(*table[0], view, buffer, strip, view.infoText, DT_RIGHT, false);
    }

    if (view.drawShadows) {
        LineBatch outlines(buffer);
        LineBatch* batch = outlines.active() ? &outlines : nullptr;
        forEachNode(graph, set, [&](SchematicNode& node) { drawNode(graph, node, buffer, true, batch); });
        outlines.flush();
    }

    // Translucent nodes show the links beneath them; opaque ones are covered by them.
    const bool linksBeneath = view.nodeTransparency >= 0.0f;
    if (linksBeneath) drawAllLinks(graph, set, buffer);
    drawAllNodes(graph, set, view, buffer);
    if (!linksBeneath) drawAllLinks(graph, set, buffer);

    if (view.gestureFlags[kRegionActive]) {
        drawRegionRect(view, buffer);
    } else if (view.connecting) {
        if (graph.dragSocket)
            drawRubberBand(graph, *graph.dragSocket, buffer, view.dragPoint.x, view.dragPoint.y);
        view.dragScratch = view.dragPoint;
    }
    if (set.culled) chooseTextColors(graph, view);
}

// The update region clipped to the buffer, or the whole buffer.
RECT areaOf(const RectI& view, const RECT* update) {
    RECT all{0, 0, view.right - view.left, view.bottom - view.top};
    if (!update) return all;
    RECT area{};
    if (!IntersectRect(&area, &all, update)) return RECT{0, 0, 0, 0};
    return area;
}

void paintInto(PaintTarget& target, HDC dc, const RECT* update, bool straightforward) {
    HDC buffer = target.buffer.dc.get();
    if (!target.graph.nodeTable || !buffer) return;
    const RectI& r = target.view.viewRect;
    const RECT area = areaOf(r, update);
    if (area.right <= area.left || area.bottom <= area.top) return;
    const RECT all = areaOf(r, nullptr);
    const bool whole = EqualRect(&area, &all);
    gdi::ScopedSelect selectBuffer(buffer, target.buffer.bitmap);
    {
        // Goes before the buffer is deselected. The plain paint selects every object
        // as it is asked for, so the tests can compare the deferred selections with it.
        gdi::PaintCache cache(straightforward ? nullptr : buffer);
        // The clip keeps every pixel outside the update region as it was.
        if (!whole) IntersectClipRect(buffer, area.left, area.top, area.right, area.bottom);
        try {
            paintLayers(target, buffer, straightforward ? nullptr : &area);
        } catch (...) {
            // Out of memory mid-paint: the helpers have released what they made; show what we have.
        }
        if (!whole) SelectClipRgn(buffer, nullptr);
    }
    if (dc)
        gdi::blit(dc, r.left + area.left, r.top + area.top, area.right - area.left,
                  area.bottom - area.top, buffer, area.left, area.top, SRCCOPY);
}
}  // namespace

void paintView(PaintTarget& target, HDC dc, const RECT* update) { paintInto(target, dc, update, false); }

void paintStraightforward(PaintTarget& target) { paintInto(target, nullptr, nullptr, true); }
