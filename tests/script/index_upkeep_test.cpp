// index_upkeep_test.cpp - the spatial index kept up through script writes, against one built afresh
// and against the plain paint.
#include <functional>
#include <string>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "graph/spatial_index.h"
#include "tests/script/script_session.h"

namespace {

using Rng = std::mt19937;
int pick(Rng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

// One property a script may write (or read, for the commands), with values of its kind.
struct Access {
    const char* name;
    std::function<Value*(Rng&, int nodes)> value;  // null: a read
    int weight = 4;                                // how often, against the others
};

Value* point(Rng& r, int lo, int hi) { return P2(float(pick(r, lo, hi)), float(pick(r, lo, hi))); }
Value* flag(Rng& r) { return pick(r, 0, 1) ? &true_value : &false_value; }

const std::vector<Access>& accesses() {
    static const std::vector<Access> all = {
        {"activeNode", [](Rng& r, int n) { return I(pick(r, 1, n)); }, 12},
        {"activeSocket", [](Rng& r, int) { return I(pick(r, 1, 4)); }, 8},
        {"nodeColor", [](Rng& r, int) { return new ColorValue(RGB(pick(r, 0, 255), 90, 40)); }},
        {"activeNodePos", [](Rng& r, int) { return point(r, -150, 500); }, 8},
        {"nodeSize", [](Rng& r, int) { return point(r, 3, 180); }},
        {"nodeCollapsedSize", [](Rng& r, int) { return point(r, 3, 120); }},
        {"activeNodeCollapsed", [](Rng& r, int) { return flag(r); }},
        {"bitmapSize", [](Rng& r, int) { return point(r, 0, 90); }},
        {"nodeNameOffset", [](Rng& r, int) { return point(r, -30, 30); }},
        {"edgeSize", [](Rng& r, int) { return F(float(pick(r, 0, 20))); }},
        {"isHidden", [](Rng& r, int) { return flag(r); }, 2},
        {"isselected", [](Rng& r, int) { return flag(r); }},
        {"showMiniBitmap", [](Rng& r, int) { return flag(r); }, 2},
        {"viewAlign", [](Rng& r, int) { return I(pick(r, -1, 1)); }, 2},
        {"viewAlignOffset", [](Rng& r, int) { return point(r, 0, 60); }, 2},
        {"selectedNodeIndex", [](Rng& r, int n) { return I(pick(r, 0, n)); }, 2},
        {"socketPosition", [](Rng& r, int) { return point(r, -20, 120); }},
        {"socketLabelOffset", [](Rng& r, int) { return point(r, -20, 20); }},
        {"activeSocketFlipped", [](Rng& r, int) { return flag(r); }},
        {"toggleConnection", [](Rng& r, int n) { return P2(float(pick(r, 1, n)), float(pick(r, 1, 4))); }, 10},
        {"pan", [](Rng& r, int) { return point(r, -200, 200); }, 1},
        {"addNode", nullptr, 3},
        {"addInSocket", nullptr, 2},
        {"addOutSocket", nullptr, 2},
        // Those the index rebuilds for.
        {"deleteActiveSocket", nullptr, 1},
        {"deleteActiveNode", nullptr, 1},
        {"parentNode", [](Rng& r, int n) { return I(pick(r, 0, n)); }, 1},
        {"zoom", [](Rng& r, int) { return F(0.25f * float(pick(r, 1, 8))); }, 3},
        {"drawWeights", [](Rng& r, int) { return flag(r); }, 1},
    };
    return all;
}

// Without parents the index follows a zoom change by rescaling, not rebuilding.
void writeAtRandom(ScriptSession& s, Rng& rng, bool parents) {
    const auto& all = accesses();
    auto weight = [&](const Access& a) { return parents || std::string(a.name) != "parentNode" ? a.weight : 0; };
    int total = 0;
    for (const Access& a : all) total += weight(a);
    int at = pick(rng, 0, total - 1);
    size_t k = 0;
    while (at >= weight(all[k])) at -= weight(all[k++]);
    const int nodes = std::max(1, int(s.nodeCount()));
    // A refusal (false) is an answer too; nothing here is of the wrong kind.
    if (all[k].value) s.set(all[k].name, all[k].value(rng, nodes));
    else s.get(all[k].name);
}

bool meets(const BoundsF& b, const BoundsF& r) {
    return b.left <= r.right && b.right >= r.left && b.top <= r.bottom && b.bottom >= r.top;
}

// The answer kept to what truly meets rect, in the order given.
struct Answer {
    std::vector<int32_t> nodes;
    std::vector<LinkItem> links;
};

Answer meetingOnly(SpatialIndex& index, const GraphContext& g, const BoundsF& rect) {
    std::vector<int32_t> nodes, links;
    EXPECT_TRUE(index.query(g, rect, &nodes, &links));
    Answer out;
    const SchematicGraph& table = *g.nodeTable;
    for (int32_t i : nodes) {
        BoundsF b;
        if (nodeExtent(*table[size_t(i)], b) && meets(b, rect)) out.nodes.push_back(i);
    }
    for (int32_t id : links) {
        const LinkItem k = index.link(id);
        // Every link answered is one the graph has.
        EXPECT_LT(size_t(k.node), table.size());
        EXPECT_LT(size_t(k.output), table[size_t(k.node)]->outputs.size());
        const SchematicSocket& output = *table[size_t(k.node)]->outputs[size_t(k.output)];
        EXPECT_LT(size_t(k.link), output.links.size());
        if (::testing::Test::HasFailure()) return out;
        BoundsF b;
        if (linkExtent(g, output, size_t(k.link), b) && meets(b, rect)) out.links.push_back(k);
    }
    return out;
}

void expectSameAnswers(SpatialIndex& kept, const GraphContext& g, const BoundsF& rect, int step) {
    SpatialIndex fresh;
    const Answer a = meetingOnly(kept, g, rect), b = meetingOnly(fresh, g, rect);
    ASSERT_EQ(a.nodes, b.nodes) << "step " << step;
    ASSERT_EQ(a.links.size(), b.links.size()) << "step " << step;
    for (size_t i = 0; i < a.links.size(); ++i) {
        ASSERT_EQ(a.links[i].node, b.links[i].node) << "step " << step << " link " << i;
        ASSERT_EQ(a.links[i].output, b.links[i].output) << "step " << step << " link " << i;
        ASSERT_EQ(a.links[i].link, b.links[i].link) << "step " << step << " link " << i;
    }
}

std::vector<uint32_t> bufferPixels(SchematicControl& sc) {
    const int w = sc.viewState->viewRect.right, h = sc.viewState->viewRect.bottom;
    std::vector<uint32_t> out;
    out.reserve(size_t(w) * size_t(h));
    HDC dc = sc.backBuffer.dc.get();
    for (int y = 0; y < h; y += 2)
        for (int x = 0; x < w; x += 2) out.push_back(GetPixel(dc, x, y));
    return out;
}

TEST(IndexUpkeep, AfterRandomScriptWritesTheKeptIndexAnswersAsAFreshOneAndPaintsTheSame) {
    using PaintFn = void (*)(SchematicControl*);
    using RegionFn = void (*)(SchematicControl*, const RECT*);
    auto plain = reinterpret_cast<PaintFn>(
        reinterpret_cast<void*>(GetProcAddress(PluginSession::get().module, "vantrelPaintStraightforward")));
    auto region = reinterpret_cast<RegionFn>(
        reinterpret_cast<void*>(GetProcAddress(PluginSession::get().module, "vantrelPaintRegion")));
    ASSERT_TRUE(plain && region);
    Rng rng(20);
    int kept = 0;
    for (int round = 0; round < 12; ++round) {
        ScriptSession s;
        SchematicControl& sc = s.sc;
        sc.viewState->showInfo = 0;
        s.addNodes(40, 1);
        for (int i = 1; i <= 40; ++i) {
            s.set("activeNode", I(i));
            s.set("activeNodePos", point(rng, 0, 400));
            s.get("addInSocket");
            s.get("addOutSocket");
            s.get("addInSocket");
        }
        SpatialIndex& index = *sc.graph.spatialIndex;
        const BoundsF view{0, 0, 320, 200};
        for (int step = 0; step < 400; ++step) {
            const uint64_t before = sc.graph.generation;
            writeAtRandom(s, rng, round % 2 == 0);
            if (sc.graph.generation == before) ++kept;
            if (step % 3) continue;
            const float x = float(pick(rng, -40, 300)), y = float(pick(rng, -40, 180));
            expectSameAnswers(index, sc.graph, {x, y, x + float(pick(rng, 1, 120)), y + float(pick(rng, 1, 90))}, step);
            expectSameAnswers(index, sc.graph, view, step);
            if (::testing::Test::HasFatalFailure()) return;
            if (step % 30) continue;
            // The culled paint of the whole view draws what the plain paint draws.
            plain(&sc);
            const std::vector<uint32_t> expected = bufferPixels(sc);
            RECT all{0, 0, 320, 200};
            region(&sc, &all);
            ASSERT_EQ(bufferPixels(sc), expected) << "round " << round << " step " << step;
        }
    }
    // Most writes were kept in place, not by a rebuild.
    EXPECT_GT(kept, 12 * 400 * 3 / 4);
}

}  // namespace
