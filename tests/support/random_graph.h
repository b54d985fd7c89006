// random_graph.h - random graphs and views for comparing the indexed paths with the plain scans.
#pragma once
#include <cstdint>
#include <random>
#include <string>

#include "graph/graph.h"

// Everything that moves a node, a socket, a caption or a link about, at random,
// within and beyond the view. bitmap() supplies a handle for nodes that get one.
template <class Bitmap>
void buildRandomGraph(GraphContext& ctx, std::mt19937& rng, int maxNodes, Bitmap bitmap, int minNodes = 0) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto real = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    auto chance = [&](int percent) { return pick(0, 99) < percent; };
    const uint32_t palette[] = {rgb(224, 198, 87), rgb(40, 60, 120), 0, rgb(255, 255, 255), rgb(90, 200, 90)};

    const int count = pick(minNodes, maxNodes);
    for (int i = 0; i < count; ++i) {
        addNode(ctx);
        SchematicNode& n = *ctx.nodeTable->back();
        n.position = {real(-200, 500), real(-150, 350)};
        n.width = pick(20, 160);
        n.height = pick(12, 60);
        n.nodeColor = palette[pick(0, 4)];
        n.borderColor = palette[pick(0, 4)];
        n.borderWidth = chance(80) ? 1 : pick(0, 6);
        n.edgeSize = real(0, 20);
        // Now and then a title that only DrawText lays out: a mnemonic, a line break, a tab.
        const char* const unusual[] = {"a&b", "two\nlines", "tab\tstop", "caf\xe9", "   ",
                                       "a title far longer than the node is wide"};
        n.nodeName = chance(70) ? "node " + std::to_string(i) : chance(40) ? unusual[pick(0, 5)] : "";
        n.nameOffset = chance(80) ? Vec2{} : Vec2{real(-40, 40), real(-30, 30)};
        n.textAlign = pick(0, 2);
        n.collapsed = chance(15);
        n.hidden = chance(8);
        n.selected = chance(15);
        n.selectable = !chance(10);
        n.drawLayer = pick(0, 3);
        n.showMiniBitmap = !chance(30);
        n.collapsedSize = {pick(30, 120), pick(12, 40)};
        if (chance(15)) {
            n.bitmapHandle = bitmap();
            n.bitmapSize = {real(20, 90), real(20, 90)};
            n.showBitmapOnly = chance(25);
        }
        if (chance(5)) {
            n.viewAlign = chance(50) ? -1 : 1;
            n.viewAlignOffset = {real(-50, 50), real(0, 80)};
        }
        n.drawConnectionsFromParent = chance(20);
        const int sockets = pick(0, 4);
        for (int s = 0; s < sockets; ++s) {
            SchematicSocket& k = *addSocket(ctx, n, pick(0, 1), chance(70) ? "sock" : "", false);
            k.radius = real(4, 16);
            if (chance(20)) k.labelOffset = {real(-30, 30), real(-20, 20)};
            if (chance(20)) setSocketFlipped(k, 1);
            k.drawSeperator = chance(15);
            k.showValue = chance(50);
            k.value = real(-5, 5);
            k.socketIsHidden = chance(10);
            k.socketColor = palette[pick(0, 4)];
        }
    }
    SchematicGraph& table = *ctx.nodeTable;
    if (table.empty()) return;
    for (SchematicNode* n : table)
        if (chance(12)) setParent(*n, table[size_t(pick(0, int(table.size()) - 1))], chance(50));
    // Links between random outputs and inputs, some selected, some weighted.
    const int links = pick(0, int(table.size()) * 2);
    for (int l = 0; l < links; ++l) {
        SchematicNode& a = *table[size_t(pick(0, int(table.size()) - 1))];
        SchematicNode& b = *table[size_t(pick(0, int(table.size()) - 1))];
        if (a.outputs.empty() || b.inputs.empty()) continue;
        SchematicSocket& out = *a.outputs[size_t(pick(0, int(a.outputs.size()) - 1))];
        connectSockets(out, *b.inputs[size_t(pick(0, int(b.inputs.size()) - 1))], pick(-5, 99));
        if (chance(20)) out.selectedLink = int32_t(out.links.size()) - 1;
    }
}

// A random view of it: zoom about every threshold, pan, and the drawing switches.
inline void randomView(SchematicViewState& view, std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const float zooms[] = {0.03f, 0.2f, 0.3f, 0.35f, 0.4f, 0.5f, 0.89f, 1.0f, 1.7f, 3.0f};
    view.zoom = zooms[pick(0, 9)];
    view.pan = {float(pick(-300, 300)) + float(pick(0, 3)) * 0.25f, float(pick(-200, 200)) + float(pick(0, 3)) * 0.5f};
    view.drawShadows = pick(0, 1);
    view.drawMenuBars = pick(0, 1);
    view.drawWeights = pick(0, 1);
    view.showInfo = pick(0, 1);
    view.useDrawLayers = pick(0, 3) == 0;
    view.drawLastIndex = pick(-1, 5);
    view.nodeTransparency = pick(0, 4) == 0 ? float(pick(0, 3)) * 0.25f : -1.0f;
}
