// random_session_test.cpp - long random sessions of input with script handlers that
// rewrite the graph inside events; every step must leave the records consistent.
#include <algorithm>
#include <random>

#include "tests/interaction/gesture_fixture.h"

namespace {

bool inTable(const SchematicGraph& table, const SchematicNode* node) {
    return std::find(table.begin(), table.end(), node) != table.end();
}

bool ownedByTable(const SchematicGraph& table, const SchematicSocket* socket) {
    return socket && inTable(table, socket->ownerNode);
}

// The invariants every operation and gesture promises, checked over the whole graph.
void expectConsistent(const GraphContext& ctx) {
    const SchematicGraph& table = *ctx.nodeTable;
    for (const SchematicNode* node : table) {
        ASSERT_NE(node, nullptr);
        if (node->parent) {
            ASSERT_TRUE(inTable(table, node->parent)) << "parent outside the table";
            const auto& siblings = node->parent->children;
            ASSERT_EQ(std::count(siblings.begin(), siblings.end(), node), 1) << "parent does not list child";
        }
        for (const SchematicNode* child : node->children) ASSERT_EQ(child->parent, node);

        std::vector<int32_t> indices;
        for (const auto* list : {&node->inputs, &node->outputs})
            for (const SchematicSocket* socket : *list) {
                ASSERT_EQ(socket->ownerNode, node);
                indices.push_back(socket->index);
                if (socket->direction == 1) {
                    ASSERT_EQ(socket->links.size(), socket->linkWeights.size());
                }
                ASSERT_GE(socket->selectedLink, -1);
                ASSERT_LT(socket->selectedLink, int32_t(socket->links.size()));
                for (const SchematicSocket* peer : socket->links) {
                    ASSERT_TRUE(ownedByTable(table, peer)) << "link to a socket outside the table";
                    ASSERT_NE(peer->direction, socket->direction);
                    ASSERT_EQ(std::count(peer->links.begin(), peer->links.end(), socket),
                              std::count(socket->links.begin(), socket->links.end(), peer))
                        << "link without its mirror";
                }
            }
        std::sort(indices.begin(), indices.end());
        for (size_t i = 0; i < indices.size(); ++i) ASSERT_EQ(indices[i], int32_t(i)) << "socket numbering gap";
    }
    if (ctx.dragSocket) {
        ASSERT_TRUE(ownedByTable(table, ctx.dragSocket)) << "dragSocket names a dead socket";
    }
    if (ctx.selectedConnection) {
        ASSERT_TRUE(ownedByTable(table, ctx.selectedConnection)) << "selected connection is dead";
        ASSERT_EQ(ctx.selectedConnection->direction, 1);
    }
    ASSERT_GE(ctx.viewState->zoom, 0.1f);
}

class RandomSession : public GestureTest, public ::testing::WithParamInterface<unsigned> {
protected:
    std::mt19937 rng{GetParam()};

    int pick(int n) { return n > 0 ? std::uniform_int_distribution<int>(0, n - 1)(rng) : 0; }
    bool chance(int percent) { return pick(100) < percent; }

    SchematicNode* randomNode() { return table.empty() ? nullptr : table[pick(int(table.size()))]; }

    void addRandomNode() {
        SchematicNode& n = nodeAtPos(float(pick(360)), float(pick(260)));
        for (int i = pick(3); i >= 0; --i) input(n);
        for (int i = pick(3); i >= 0; --i) output(n);
        n.collapsed = chance(15);
        n.drawLayer = pick(3);
    }

    void linkRandomly() {
        SchematicNode* a = randomNode();
        SchematicNode* b = randomNode();
        if (a && b && !a->outputs.empty() && !b->inputs.empty())
            toggleLink(ctx, *a->outputs[pick(int(a->outputs.size()))], *b->inputs[pick(int(b->inputs.size()))]);
    }

    // What a hostile script handler may do in the middle of any event.
    void meddle() {
        switch (pick(9)) {
            case 0: if (!table.empty()) deleteNode(ctx, pick(int(table.size()))); break;
            case 1: if (SchematicNode* n = randomNode()) removeSocket(ctx, *n, pick(socketCount(*n) + 1), true); break;
            case 2: if (chance(20)) clearGraph(ctx); break;
            case 3: addRandomNode(); break;
            case 4: linkRandomly(); break;
            case 5: if (SchematicNode* n = randomNode()) setParent(*n, chance(30) ? nullptr : randomNode(), true); break;
            case 6: if (SchematicNode* n = randomNode()) n->hidden = !n->hidden; break;
            case 7: selectOnly(ctx, pick(int(table.size()) + 1) - 1); break;
            case 8: if (SchematicNode* n = randomNode()) n->selected = 1; break;
        }
    }

    PointerInput randomPointer() {
        PointerInput in;
        in.x = pick(440) - 20;
        in.y = pick(340) - 20;
        in.keys = {chance(15), chance(15), chance(10)};
        return in;
    }

    // Pointer positions near sockets make connection drags and flips frequent.
    PointerInput nearSocket() {
        PointerInput in = randomPointer();
        SchematicNode* n = randomNode();
        if (n && socketCount(*n) > 0) {
            const SchematicSocket* s = findSocket(*n, pick(socketCount(*n)));
            // Hidden nodes sit far off screen; such points only need to stay representable.
            if (s) {
                const Vec2 c = centre(*s);
                in.x = int32_t(std::clamp(c.x, -1e6f, 1e6f)) + pick(5) - 2;
                in.y = int32_t(std::clamp(c.y, -1e6f, 1e6f)) + pick(5) - 2;
            }
        }
        return in;
    }

    void step() {
        PointerInput in = chance(50) ? nearSocket() : randomPointer();
        switch (pick(12)) {
            case 0: case 1: onLeftPress(ctx, port, in); break;
            case 2: case 3: case 4: onPointerMove(ctx, port, in); break;
            case 5: case 6: onLeftRelease(ctx, port, in); break;
            case 7: onDoubleClick(ctx, port, in); break;
            case 8: chance(50) ? onMiddlePress(ctx, port, in) : onMiddleRelease(ctx, port, in); break;
            case 9: chance(50) ? onRightPress(ctx, port, in) : onRightRelease(ctx, port, in); break;
            case 10: in.wheelDelta = chance(50) ? 120 : -120; onWheel(ctx, port, in); break;
            case 11: {
                const uint32_t key = chance(70) ? kKeyDelete : uint32_t(0x41 + pick(26));
                chance(50) ? onKeyDown(ctx, port, key) : onKeyUp(ctx, port, key);
                break;
            }
        }
    }
};

TEST_P(RandomSession, HostileHandlersNeverLeaveTheGraphInconsistent) {
    for (int i = 0; i < 10; ++i) addRandomNode();
    for (int i = 0; i < 15; ++i) linkRandomly();
    port.handler = [this](const std::string&) {
        if (chance(25)) meddle();
    };
    for (int i = 0; i < 3000; ++i) {
        step();
        ASSERT_NO_FATAL_FAILURE(expectConsistent(ctx)) << "after step " << i;
        if (table.size() < 3) addRandomNode();
    }
    EXPECT_GT(port.events.size(), 3000u) << "the session should have raised plenty of events";
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomSession, ::testing::Range(1u, 9u));

}  // namespace
