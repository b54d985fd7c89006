// paint_view.cpp - the paint pipeline: every layer into the back buffer, then one copy out.
#include "render/paint_view.h"

#include "control/schematic_control.h"
#include "render/background.h"
#include "render/connection_curves.h"
#include "render/draw_node.h"
#include "render/gdi.h"
#include "render/node_text.h"
#include "render/rubber_band.h"

namespace {
constexpr int kInfoStripHeight = 20;
constexpr int kDrawLayers = 3;

void drawAllLinks(const GraphContext& graph, HDC buffer) {
    for (SchematicNode* node : *graph.nodeTable)
        if (node)
            for (SchematicSocket* socket : node->outputs)
                if (socket) drawOutputLinks(graph, *socket, buffer);
}

void drawAllNodes(const GraphContext& graph, const SchematicViewState& view, HDC buffer) {
    const SchematicGraph& table = *graph.nodeTable;
    if (view.useDrawLayers) {
        // Layer by layer; a node on a layer outside 0..2 is not drawn at all.
        for (int layer = 0; layer < kDrawLayers; ++layer)
            for (SchematicNode* node : table)
                if (node && node->drawLayer == layer) drawNode(graph, *node, buffer, false);
    } else {
        for (SchematicNode* node : table)
            if (node) drawNode(graph, *node, buffer, false);
    }
    const int32_t last = view.drawLastIndex;
    if (last >= 0 && size_t(last) < table.size() && table[size_t(last)])
        drawNode(graph, *table[size_t(last)], buffer, false);
}

void paintLayers(SchematicControl& control, HDC buffer) {
    GraphContext& graph = control.graph;
    SchematicViewState& view = *control.viewState;
    const SchematicGraph& table = *graph.nodeTable;
    const RectI& r = view.viewRect;

    drawBackground(control, buffer);

    // The info text takes its colour from the first node, so it needs one.
    if (view.showInfo && !table.empty() && table[0]) {
        const RectF strip{0.0f, float(r.bottom - r.top - kInfoStripHeight), float(r.right - r.left),
                          float(r.bottom - r.top)};
        drawNodeText(*table[0], view, buffer, strip, view.infoText, DT_RIGHT, false);
    }

    if (view.drawShadows)
        for (SchematicNode* node : table)
            if (node) drawNode(graph, *node, buffer, true);

    // Translucent nodes show the links beneath them; opaque ones are covered by them.
    const bool linksBeneath = view.nodeTransparency >= 0.0f;
    if (linksBeneath) drawAllLinks(graph, buffer);
    drawAllNodes(graph, view, buffer);
    if (!linksBeneath) drawAllLinks(graph, buffer);

    if (view.gestureFlags[kRegionActive]) {
        drawRegionRect(view, buffer);
    } else if (view.connecting) {
        if (graph.dragSocket)
            drawRubberBand(graph, *graph.dragSocket, buffer, view.dragPoint.x, view.dragPoint.y);
        view.dragScratch = view.dragPoint;
    }
}
}  // namespace

void paintView(SchematicControl& control, HDC dc) {
    if (!control.graph.nodeTable || !control.viewState || !control.backBufferDC) return;
    const RectI& r = control.viewState->viewRect;
    gdi::ScopedSelect selectBuffer(control.backBufferDC, control.backBufferBitmap);
    try {
        paintLayers(control, control.backBufferDC);
    } catch (...) {
        // Out of memory mid-paint: the helpers have released what they made; show what we have.
    }
    gdi::blit(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, control.backBufferDC, 0, 0,
              SRCCOPY);
}
