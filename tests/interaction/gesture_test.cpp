// gesture_test.cpp - hit tests, and script handlers that pull the graph from under a gesture.
// Built natively under AddressSanitizer: a record read after a handler freed it fails here.
#include <algorithm>
#include <set>
#include <tuple>

#include "interaction/gesture_support.h"
#include "interaction/hit_test.h"
#include "tests/interaction/gesture_fixture.h"

namespace {

using HitTest = GestureTest;

TEST_F(HitTest, NodesAreHitStrictlyInsideAndOnlyWhenSelectableAndShown) {
    SchematicNode& n = nodeAtPos(10, 20);  // 100 x 24 on screen at zoom 1
    EXPECT_TRUE(nodeHitTest(n, 11, 21));
    EXPECT_TRUE(nodeHitTest(n, 109.5f, 43.5f));
    for (Vec2 edge : {Vec2{10, 30}, Vec2{50, 20}, Vec2{110, 30}, Vec2{50, 44}})
        EXPECT_FALSE(nodeHitTest(n, edge.x, edge.y)) << edge.x << "," << edge.y;
    n.selectable = 0;
    EXPECT_FALSE(nodeHitTest(n, 50, 30));
    n.selectable = 1;
    n.hidden = 1;
    EXPECT_FALSE(nodeHitTest(n, 50, 30));
    // Far away, where a hidden node is measured: inside where its full size would reach.
    EXPECT_FALSE(nodeHitTest(n, -100000000.0f + 16.0f, -100000000.0f + 16.0f));
}

TEST_F(HitTest, SocketBoxGrowsByFourAndScalesWithZoom) {
    SchematicNode& n = nodeAtPos(0, 0);
    SchematicSocket& in = input(n);
    view.zoom = 2.0f;
    const Vec2 a = socketScreenPosition(in);  // box side 18 at zoom 2
    EXPECT_FALSE(socketHitTest(in, a.x - 4, a.y + 5));
    EXPECT_TRUE(socketHitTest(in, a.x - 3.9f, a.y + 5));
    EXPECT_TRUE(socketHitTest(in, a.x + 21.9f, a.y + 21.9f));
    EXPECT_FALSE(socketHitTest(in, a.x + 22, a.y + 5));
    in.socketIsHidden = 1;
    EXPECT_TRUE(socketHitTest(in, a.x, a.y));
}

TEST(PointOnLine, ClassifiesRaysSegmentAndOffLinePoints) {
    const Vec2I p{0, 0}, q{10, 0};
    EXPECT_EQ(pointOnLine(p, q, {5, 0}), 2);
    EXPECT_EQ(pointOnLine(p, q, {0, 0}), 2);
    EXPECT_EQ(pointOnLine(p, q, {10, 0}), 2);
    EXPECT_EQ(pointOnLine(p, q, {-3, 0}), 1);
    EXPECT_EQ(pointOnLine(p, q, {13, 0}), 3);
    EXPECT_EQ(pointOnLine(p, q, {5, 1}), 0);
    EXPECT_EQ(pointOnLine(p, p, {0, 0}), 0);  // a zero-length segment holds no point
    EXPECT_EQ(pointOnLine({0, 0}, {10, 10}, {4, 4}), 2);
    // Far-off coordinates neither overflow nor hit.
    EXPECT_EQ(pointOnLine({INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}), 0);
}

TEST_F(HitTest, FindNodeByPosAnswersTheLowerIndexWhereThePressActsOnTheHigherFirst) {
    nodeAtPos(0, 0);
    nodeAtPos(50, 0);
    EXPECT_EQ(findNodeByPos(ctx, 60, 10), 0);
    EXPECT_EQ(findNodeByPos(ctx, 120, 10), 1);
    EXPECT_EQ(findNodeByPos(ctx, 300, 10), -1);
    press({60, 10});
    EXPECT_EQ(port.events.back(), (LoggedEvent{"nodeClicked", {2}}));
    table[1]->selectable = 0;
    EXPECT_EQ(findNodeByPos(ctx, 120, 10), -1);
}

// Hostile handlers: every gesture below is run once per (event it raises, action),
// with a handler that performs the action the first time that event arrives.
class HostileHandlers : public GestureTest {
protected:
    SchematicNode* a = nullptr;  // node 0: one output
    SchematicNode* b = nullptr;  // node 1: two inputs
    SchematicSocket* out = nullptr;
    SchematicSocket* in1 = nullptr;
    // Gestures aim at these points, taken before any handler runs: the records
    // above may be gone by the time the gesture goes on.
    Vec2 outAt, in1At;

    void build() {
        clearGraph(ctx);
        ctx.dragSocket = ctx.selectedConnection = nullptr;
        view = SchematicViewState{};
        a = &nodeAtPos(20, 20);
        b = &nodeAtPos(200, 20);
        out = &output(*a);
        input(*b);
        in1 = &input(*b);
        outAt = centre(*out);
        in1At = centre(*in1);
    }

    void runGesture(int which) {
        const Vec2 bodyA{40, 30}, empty{150, 150};
        switch (which) {
            case 0:  // click and drag a node
                press(bodyA), move({45, 35}), release({45, 35});
                break;
            case 1:  // connection drag made, then removed
                press(outAt), move({150, 60}), release(in1At);
                press(outAt), move({150, 60}), release(in1At);
                break;
            case 2:  // connection dropped on empty space, then dropped from an input
                press(outAt), move(empty), release(empty);
                press(in1At), move(empty), release(outAt);
                break;
            case 3:  // select a link, then delete it with the Delete key
                connectSockets(*out, *in1);
                press({160, 54});
                onKeyDown(ctx, port, kKeyDelete);
                onKeyUp(ctx, port, kKeyDelete);
                break;
            case 4:  // region select around both nodes
                press({5, 5}), move({330, 100}), release({330, 100});
                break;
            case 5:  // middle drag of a socket value, then a pan
                onMiddlePress(ctx, port, at(outAt));
                onPointerMove(ctx, port, at({outAt.x + 5, outAt.y}));
                onMiddleRelease(ctx, port, at(empty));
                onMiddlePress(ctx, port, at(empty));
                onPointerMove(ctx, port, at({160, 170}));
                onMiddleRelease(ctx, port, at({160, 170}));
                break;
            case 6:  // double-click, right click, wheel
                press(bodyA), release(bodyA);
                onDoubleClick(ctx, port, at(bodyA));
                release(bodyA);
                onRightPress(ctx, port, at(bodyA));
                onRightRelease(ctx, port, at(bodyA));
                onWheel(ctx, port, at(bodyA));
                break;
            case 7:  // Delete with both nodes selected
                press({5, 5}), move({330, 100}), release({330, 100});
                onKeyDown(ctx, port, kKeyDelete);
                onKeyUp(ctx, port, kKeyDelete);
                break;
            case 8:  // Ctrl-click a node over another's output: body first, then the socket
                b->position = {40, 10};
                press(outAt, KeyState{true, false, false}), move({60, 60}), release({60, 60});
                break;
        }
    }

    // No reference the control keeps may name a record that is gone.
    void expectConsistent() {
        std::set<const SchematicSocket*> live;
        for (SchematicNode* n : table)
            for (auto* list : {&n->inputs, &n->outputs})
                for (SchematicSocket* s : *list) live.insert(s);
        for (SchematicNode* n : table)
            for (auto* list : {&n->inputs, &n->outputs})
                for (SchematicSocket* s : *list)
                    for (SchematicSocket* peer : s->links) EXPECT_TRUE(live.count(peer));
        EXPECT_TRUE(!ctx.dragSocket || live.count(ctx.dragSocket));
        EXPECT_TRUE(!ctx.selectedConnection || live.count(ctx.selectedConnection));
    }

    // The control still works: a fresh graph answers a click and a connection drag.
    void expectWorking() {
        port.handler = nullptr;
        port.events.clear();
        onRightPress(ctx, port, at({0, 0}));  // whatever gesture was cut short ends here
        onRightRelease(ctx, port, at({0, 0}));
        build();
        port.events.clear();
        press(outAt), move({150, 60}), release(in1At);
        press({40, 30});
        const std::vector<LoggedEvent> expected{
            {"LButtonDown", {}}, {"connectionStarted", {1, 1, 1}}, {"mouseMoved", {}},
            {"connectionChanged", {1, 2, 2, 1, 1, 1}}, {"LButtonUp", {}},
            {"LButtonDown", {}}, {"nodeClicked", {1}}};
        EXPECT_EQ(port.events, expected);
    }
};

TEST_F(HostileHandlers, DeletingNodesInsideAnyEventLeavesNoDanglingReferenceAndTheControlWorking) {
    const std::vector<std::pair<const char*, std::function<void(GraphContext&)>>> actions{
        {"delete node 1", [](GraphContext& c) { deleteNode(c, 0); }},
        {"delete node 2", [](GraphContext& c) { deleteNode(c, 1); }},
        {"delete everything", [](GraphContext& c) { clearGraph(c); }},
        {"remove the output socket",
         [](GraphContext& c) {
             if (SchematicNode* n = nodeAt(c, 0)) removeSocket(c, *n, 0, false);
         }},
    };
    for (int gesture = 0; gesture <= 8; ++gesture) {
        // Which events does this gesture raise when nobody interferes?
        build();
        port.handler = nullptr;
        port.events.clear();
        runGesture(gesture);
        std::set<std::string> raised;
        for (const auto& e : port.events) raised.insert(e.name);
        ASSERT_FALSE(raised.empty());

        for (const std::string& event : raised)
            for (const auto& [what, action] : actions) {
                SCOPED_TRACE(std::string("gesture ") + std::to_string(gesture) + ", " + what +
                             " in " + event);
                build();
                port.events.clear();
                bool done = false;
                port.handler = [&, event, action = action](const std::string& name) {
                    if (done || name != event) return;
                    done = true;
                    action(ctx);
                };
                runGesture(gesture);
                EXPECT_TRUE(done);
                expectConsistent();
                expectWorking();
            }
    }
}

TEST_F(HostileHandlers, ANodeDeletedBeforeItsClickIsReportedIsNotNamed) {
    build();
    b->position = {40, 10};  // node 1 lies over node 0's output
    // Ctrl-press: node 1's body is hit first, then node 0's output starts a drag;
    // the drag's handler deletes node 1, which nodeClicked would have named.
    port.handler = [&](const std::string& name) {
        if (name == "connectionStarted") deleteNode(ctx, 1);
    };
    press(centre(*out), KeyState{true, false, false});
    EXPECT_EQ(names(), (std::vector<std::string>{"LButtonDown", "connectionStarted"}));

    // Deleted and replaced: the click names the node where it now stands.
    build();
    b->position = {40, 10};
    port.events.clear();
    port.handler = [&](const std::string& name) {
        if (name == "connectionStarted") {
            addNode(ctx);
            std::swap(table[1], table[2]);
        }
    };
    press(centre(*out), KeyState{true, false, false});
    EXPECT_EQ(port.events.back(), (LoggedEvent{"nodeClicked", {3}}));
}

TEST_F(HostileHandlers, ASourceDeletedDuringTheDragEndsItSilently) {
    build();
    press(centre(*out));
    deleteNode(ctx, 0);  // as a handler of mouseMoved or a script timer would
    EXPECT_EQ(ctx.dragSocket, nullptr);
    port.events.clear();
    move({150, 60});
    release(centre(*in1));
    EXPECT_EQ(names(), (std::vector<std::string>{"mouseMoved", "LButtonUp"}));
    EXPECT_TRUE(in1->links.empty());
    EXPECT_EQ(view.connecting, 0);
}

// A gesture remembers where its socket stood; a node put in front of it moves it on.
TEST_F(HostileHandlers, ADraggedSocketIsNamedWhereItNowStands) {
    const Vec2 empty{150, 150};
    const std::vector<std::tuple<const char*, std::function<void()>, std::function<void()>, LoggedEvent>> cases{
        {"dropped on empty space", [&] { press(outAt); }, [&] { move(empty), release(empty); },
         {"connectToEmpty", {2, 1, 1}}},
        {"dropped on an input", [&] { press(outAt); }, [&] { move(empty), release(in1At); },
         {"connectionChanged", {2, 3, 2, 1, 1, 1}}},
        {"its value dragged", [&] { onMiddlePress(ctx, port, at(outAt)); },
         [&] { onPointerMove(ctx, port, at({outAt.x + 5, outAt.y})); }, {"socketValueChanged", {2, 1}}},
    };
    for (const auto& [what, start, finish, expected] : cases) {
        SCOPED_TRACE(what);
        build();
        start();
        addNode(ctx);
        std::rotate(table.begin(), table.end() - 1, table.end());
        port.events.clear();
        finish();
        const auto named = std::find_if(port.events.begin(), port.events.end(),
                                        [&](const LoggedEvent& e) { return e.name == expected.name; });
        ASSERT_NE(named, port.events.end());
        EXPECT_EQ(*named, expected);
    }
}

TEST_F(HostileHandlers, ADragSocketOutsideTheTableIsTreatedAsNone) {
    build();
    // A socket the table does not hold, as after the table was swapped for another.
    SchematicNode stray;
    SchematicSocket orphan;
    orphan.ownerNode = &stray;
    orphan.direction = 1;
    ctx.dragSocket = &orphan;
    view.panning = 1;
    view.panAnchor = {0, 0};
    port.events.clear();
    onPointerMove(ctx, port, at({30, 40}));
    EXPECT_EQ(ctx.dragSocket, nullptr);
    EXPECT_FLOAT_EQ(orphan.value, 0.0f);
    EXPECT_FLOAT_EQ(view.pan.x, 30.0f);  // it pans, as with no drag socket
    ctx.selectedConnection = &orphan;
    onKeyUp(ctx, port, kKeyDelete);
    EXPECT_EQ(ctx.selectedConnection, nullptr);
    EXPECT_EQ(names().back(), "keyboardUp");
}

}  // namespace
