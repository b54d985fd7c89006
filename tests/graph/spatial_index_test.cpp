// spatial_index_test.cpp - the index's answers hold every exact extent: after a zoom change, and
//   for a table big enough to be measured in parts.
#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "graph/graph.h"
#include "tests/support/random_graph.h"
#include "tests/support/schematic_parts.h"

namespace {

struct Indexed : SchematicParts {
    Indexed() : SchematicParts(true) {}
    ~Indexed() { clearGraph(ctx); }
};

bool usable(const BoundsF& b) { return std::fabs(b.left) < 1e6f && std::fabs(b.top) < 1e6f; }

// Each node and link is among the candidates at both far corners of its exact extent:
// for a big table every stride-th node and its links, and all of them near the middle
// and the ends, where parts of the table meet.
void expectCornersAnswered(Indexed& g, const char* when, size_t stride = 1) {
    SpatialIndex& index = *g.ctx.spatialIndex;
    std::vector<int32_t> nodes, links;
    const size_t n = g.table.size();
    auto checked = [&](size_t i) { return i % stride == 0 || i < 64 || i + 64 > n || (std::max)(i, n / 2) - (std::min)(i, n / 2) < 64; };
    for (size_t i = 0; i < g.table.size(); ++i) {
        if (!checked(i)) continue;
        BoundsF b;
        if (!nodeExtent(*g.table[i], b) || !usable(b)) continue;
        for (const BoundsF& at : {BoundsF{b.left, b.top, b.left, b.top}, BoundsF{b.right, b.bottom, b.right, b.bottom}}) {
            ASSERT_TRUE(index.query(g.ctx, at, &nodes, nullptr));
            ASSERT_TRUE(std::count(nodes.begin(), nodes.end(), int32_t(i))) << when << ": node " << i;
        }
    }
    for (size_t i = 0; i < g.table.size(); ++i)
        for (size_t o = 0; checked(i) && o < g.table[i]->outputs.size(); ++o)
            for (size_t u = 0; u < g.table[i]->outputs[o]->links.size(); ++u) {
                BoundsF b;
                if (!linkExtent(g.ctx, *g.table[i]->outputs[o], u, b) || !usable(b)) continue;
                for (const BoundsF& at : {BoundsF{b.left, b.top, b.left, b.top}, BoundsF{b.right, b.bottom, b.right, b.bottom}}) {
                    ASSERT_TRUE(index.query(g.ctx, at, nullptr, &links));
                    const bool found = std::any_of(links.begin(), links.end(), [&](int32_t id) {
                        const LinkItem& k = index.link(id);
                        return k.node == int32_t(i) && k.output == int32_t(o) && k.link == int32_t(u);
                    });
                    ASSERT_TRUE(found) << when << ": link " << i << "," << o << "," << u;
                }
            }
    // Across everything, each link of the graph is answered once.
    ASSERT_TRUE(index.query(g.ctx, {-1e6f, -1e6f, 1e6f, 1e6f}, nullptr, &links));
    std::vector<std::array<int32_t, 3>> answered, expected;
    for (int32_t id : links) answered.push_back({index.link(id).node, index.link(id).output, index.link(id).link});
    for (size_t i = 0; i < n; ++i)
        for (size_t o = 0; o < g.table[i]->outputs.size(); ++o)
            for (size_t u = 0; u < g.table[i]->outputs[o]->links.size(); ++u)
                expected.push_back({int32_t(i), int32_t(o), int32_t(u)});
    std::sort(answered.begin(), answered.end());
    EXPECT_EQ(answered, expected) << when;
}

// Without parents a zoom change rescales the index instead of measuring every link
// again; sockets anywhere around their nodes, of any size, test its margins.
TEST(SpatialIndex, AfterAZoomChangeEveryExtentIsStillAnswered) {
    std::mt19937 rng(21);
    auto real = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    for (int round = 0; round < 200; ++round) {
        Indexed g;
        buildRandomGraph(g.ctx, rng, 25, [] { return reinterpret_cast<void*>(1); });
        for (SchematicNode* n : g.table) {
            if (n->parent) setParent(*n, nullptr, false);
            for (SchematicSocket* s : n->outputs) s->socketPosition = {real(-40, 140), real(-40, 90)};
            for (SchematicSocket* s : n->inputs) {
                s->socketPosition = {real(-40, 140), real(-40, 90)};
                s->radius = real(0, 16);
            }
        }
        g.view.viewRect = {0, 0, 320, 200};
        g.view.drawWeights = round % 3 == 0;
        g.view.zoom = real(0.1f, 3.0f);
        expectCornersAnswered(g, "built");
        for (const float zoom : {real(0.1f, 3.0f), real(0.1f, 0.5f), real(1.0f, 4.0f)}) {
            g.view.zoom = zoom;
            expectCornersAnswered(g, "zoomed");
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}

// A table this big is measured in parts; joined, they answer as one scan would, and
// so do the rescale, the changes folded in and the selection hints built on them.
TEST(SpatialIndex, ABigTableAnswersEveryExtentAndEverySelection) {
    std::mt19937 rng(5);
    Indexed g;
    // Random tiles side by side, each linked and parented within itself, so that a
    // point meets a few items rather than thousands.
    for (int tile = 0; g.table.size() < 20000; ++tile) {
        SchematicParts part;
        buildRandomGraph(part.ctx, rng, 40, [] { return reinterpret_cast<void*>(1); }, 20);
        for (SchematicNode* n : part.table) {
            n->viewStateRef = &g.view;
            n->position.x += float(tile % 30) * 1500.0f;
            n->position.y += float(tile / 30) * 1000.0f;
            g.table.push_back(n);
        }
        part.table.clear();
    }
    g.view.viewRect = {0, 0, 320, 200};
    expectCornersAnswered(g, "built", 97);
    SpatialIndex& index = *g.ctx.spatialIndex;
    std::vector<int32_t> nodes, links;
    ASSERT_TRUE(index.query(g.ctx, {0, 0, 1, 1}, &nodes, &links));
    for (size_t i = 0; i < g.table.size(); ++i) {
        const SchematicNode& n = *g.table[i];
        if (n.selected) {
            EXPECT_TRUE(std::count(index.selectedNodes().begin(), index.selectedNodes().end(), int32_t(i))) << i;
        }
        for (size_t o = 0; o < n.outputs.size(); ++o) {
            const std::pair<int32_t, int32_t> output{int32_t(i), int32_t(o)};
            if (n.outputs[o]->selectedLink != -1) {
                EXPECT_TRUE(std::count(index.selectedOutputs().begin(), index.selectedOutputs().end(), output))
                    << i << "," << o;
            }
        }
    }
    // Without parents a change is folded in and a zoom rescales, both from the joined
    // lists; nodes on both sides of the middle changed, their links with them.
    for (SchematicNode* n : g.table) setParent(*n, nullptr, false);
    graphChanged(g.ctx);
    ASSERT_TRUE(index.query(g.ctx, {0, 0, 1, 1}, &nodes, &links));
    for (size_t i : {size_t(7), g.table.size() / 2 + 3, g.table.size() - 2}) {
        SchematicNode& n = *g.table[i];
        n.position.x += 37.0f;
        if (!n.outputs.empty() && !g.table.back()->inputs.empty())
            connectSockets(*n.outputs[0], *g.table.back()->inputs[0], 1);
        nodeChanged(g.ctx, int32_t(i));
    }
    expectCornersAnswered(g, "changed", 97);
    g.view.zoom = 0.5f;
    expectCornersAnswered(g, "zoomed", 97);
}

}  // namespace
