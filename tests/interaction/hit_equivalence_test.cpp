// hit_equivalence_test.cpp - presses through the spatial index against the plain scans.
#include <cmath>
#include <memory>
#include <random>

#include "graph/spatial_index.h"
#include "tests/support/random_graph.h"
#include "tests/interaction/gesture_fixture.h"
#include "tests/support/schematic_parts.h"

namespace {

// One graph with its view and port; twins are built from the same seed.
struct Twin : SchematicParts {
    LoggingPort port;

    Twin(uint32_t seed, bool indexed) : SchematicParts(indexed) {
        ctx.seam = &port;
        std::mt19937 rng(seed);
        buildRandomGraph(ctx, rng, 10, [] { return reinterpret_cast<void*>(1); });
        randomView(view, rng);
        view.viewRect = {0, 0, 320, 200};
    }
    ~Twin() { clearGraph(ctx); }
};

// Everything a press may change or name.
void expectSame(const Twin& plain, const Twin& indexed, int press) {
    ASSERT_EQ(plain.port.events, indexed.port.events) << "press " << press;
    ASSERT_EQ(plain.table.size(), indexed.table.size());
    for (size_t n = 0; n < plain.table.size(); ++n) {
        const SchematicNode& a = *plain.table[n];
        const SchematicNode& b = *indexed.table[n];
        ASSERT_EQ(a.selected, b.selected) << "press " << press << " node " << n;
        ASSERT_EQ(a.hidden, b.hidden) << "press " << press << " node " << n;
        ASSERT_EQ(a.collapsed, b.collapsed) << "press " << press << " node " << n;
        for (size_t o = 0; o < a.outputs.size(); ++o) {
            ASSERT_EQ(a.outputs[o]->selectedLink, b.outputs[o]->selectedLink) << "press " << press;
            ASSERT_EQ(a.outputs[o]->flipped, b.outputs[o]->flipped) << "press " << press;
        }
        for (size_t i = 0; i < a.inputs.size(); ++i) ASSERT_EQ(a.inputs[i]->flipped, b.inputs[i]->flipped);
    }
    auto where = [](const GraphContext& ctx, const SchematicSocket* s) {
        return s ? std::make_pair(ownerIndexOfSocket(ctx, s), s->index) : std::make_pair(-2, -2);
    };
    ASSERT_EQ(where(plain.ctx, plain.ctx.dragSocket), where(indexed.ctx, indexed.ctx.dragSocket)) << "press " << press;
    ASSERT_EQ(where(plain.ctx, plain.ctx.selectedConnection),
              where(indexed.ctx, indexed.ctx.selectedConnection)) << "press " << press;
    ASSERT_EQ(plain.view.connecting, indexed.view.connecting);
    ASSERT_EQ(plain.view.gestureFlags, indexed.view.gestureFlags);
}

TEST(HitEquivalence, AMillionPressesFindWhatThePlainScanFinds) {
    std::mt19937 rng(12);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int presses = 0, hits = 0;
    for (uint32_t graph = 0; presses < 1'000'000; ++graph) {
        Twin plain(graph, false), indexed(graph, true);
        // Now and then a handler changes a node, as a script would: its writes tell
        // the index which node changed, or, for some, that it must rebuild.
        auto meddle = [](Twin& t) {
            return [&t](const std::string& name) {
                const size_t events = t.port.events.size();
                if (name != "LButtonDown" || t.table.empty() || (events % 7 && events % 5)) return;
                const size_t n = events % t.table.size();
                t.table[n]->position.x += 13.0f;
                t.table[n]->height += 3;
                if (events % 7 == 0) ++t.ctx.generation;
                else nodeChanged(t.ctx, int32_t(n));
            };
        };
        plain.port.handler = meddle(plain);
        indexed.port.handler = meddle(indexed);
        for (int i = 0; i < 4000; ++i, ++presses) {
            PointerInput in;
            in.x = pick(-40, 360);
            in.y = pick(-40, 240);
            // Half the presses land near a node's corner, where edges, sockets and links are.
            if (!plain.table.empty() && pick(0, 1)) {
                const Vec2 p = nodePositionClient(*plain.table[size_t(pick(0, int(plain.table.size()) - 1))]);
                if (std::fabs(p.x) < 1e6f && std::fabs(p.y) < 1e6f) {
                    in.x = int32_t(p.x) + pick(-25, 25);
                    in.y = int32_t(p.y) + pick(-25, 40);
                }
            }
            const int keys = pick(0, 19);
            in.keys.ctrl = keys == 1;
            in.keys.alt = keys == 2;
            in.keys.shift = keys == 3;
            plain.port.events.clear();
            indexed.port.events.clear();
            onLeftPress(plain.ctx, plain.port, in);
            onLeftPress(indexed.ctx, indexed.port, in);
            expectSame(plain, indexed, presses);
            if (plain.port.events.size() > 1) ++hits;
            // Now and then the press drags what it took and lets go: nodes move,
            // links are made, regions selected, and the next presses must see it.
            if (pick(0, 3) == 0) {
                PointerInput to = in;
                to.x += pick(-30, 30);
                to.y += pick(-30, 30);
                for (Twin* t : {&plain, &indexed}) {
                    onPointerMove(t->ctx, t->port, to);
                    onLeftRelease(t->ctx, t->port, to);
                }
                expectSame(plain, indexed, presses);
            }
            // Now and then a double-click (it collapses the node on top) or a middle
            // press (the lowest node's output under it takes the value drag). As the
            // window does, the graph counts as changed after either.
            if (const int other = pick(0, 9); other < 2) {
                for (Twin* t : {&plain, &indexed}) {
                    if (other == 0) onDoubleClick(t->ctx, t->port, in);
                    else onMiddlePress(t->ctx, t->port, in);
                    graphChanged(t->ctx);
                }
                expectSame(plain, indexed, presses);
                for (Twin* t : {&plain, &indexed}) {
                    if (other == 0) onLeftRelease(t->ctx, t->port, in);
                    else onMiddleRelease(t->ctx, t->port, in), graphChanged(t->ctx);
                }
            }
        }
    }
    // Not a vacuous comparison: a fair share of presses found a node, socket or link.
    EXPECT_GT(hits, 100'000);
}

}  // namespace
