// spatial_index_test.cpp - the index's answers hold every exact extent after a zoom change.
#include <algorithm>
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

// Each node and link is among the candidates at both far corners of its exact extent.
void expectCornersAnswered(Indexed& g, const char* when) {
    SpatialIndex& index = *g.ctx.spatialIndex;
    std::vector<int32_t> nodes, links;
    for (size_t i = 0; i < g.table.size(); ++i) {
        BoundsF b;
        if (!nodeExtent(*g.table[i], b) || !usable(b)) continue;
        for (const BoundsF& at : {BoundsF{b.left, b.top, b.left, b.top}, BoundsF{b.right, b.bottom, b.right, b.bottom}}) {
            ASSERT_TRUE(index.query(g.ctx, at, &nodes, nullptr));
            ASSERT_TRUE(std::count(nodes.begin(), nodes.end(), int32_t(i))) << when << ": node " << i;
        }
    }
    for (size_t i = 0; i < g.table.size(); ++i)
        for (size_t o = 0; o < g.table[i]->outputs.size(); ++o)
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

}  // namespace
