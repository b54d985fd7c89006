// drag_test.cpp - node drags and their repaints, connection drops, regions and value drags.
#include "host/scene/controllers.h"
#include "tests/interaction/interaction_fixture.h"

namespace {

using Drag = InteractionTest;
using Events = std::vector<ReceivedEvent>;

bool covers(HRGN region, int x, int y) { return PtInRegion(region, x, y) != 0; }

TEST_F(Drag, UpToFiveSelectedNodesRepaintAroundThemselvesMoreRepaintTheWholeView) {
    std::vector<SchematicNode*> nodes;
    for (int i = 0; i < 6; ++i) nodes.push_back(&nodeAt(10.0f + 60.0f * float(i), 10, 50));
    for (int i = 0; i < 5; ++i) nodes[i]->selected = 1;
    press(20, 20);
    takeUpdateRegion();
    move(30, 25);
    HRGN region = takeUpdateRegion();
    EXPECT_FALSE(regionCoversClient(region));
    EXPECT_TRUE(covers(region, 12, 12));    // where node 1 was
    EXPECT_TRUE(covers(region, 68, 38));    // where it is now, with the margin
    EXPECT_TRUE(covers(region, 290, 30));   // node 5 moved too
    EXPECT_FALSE(covers(region, 350, 25));  // node 6 is not selected
    EXPECT_FALSE(covers(region, 200, 250));
    DeleteObject(region);
    for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(nodes[i]->position.y, 15.0f);
    release(30, 25);

    nodes[5]->selected = 1;
    press(30, 25);
    takeUpdateRegion();
    move(31, 25);
    region = takeUpdateRegion();
    EXPECT_TRUE(regionCoversClient(region));
    DeleteObject(region);
    release(31, 25);

    // A node with children anywhere in the table also repaints everything.
    for (int i = 1; i < 6; ++i) nodes[i]->selected = 0;
    setParent(*nodes[5], nodes[4], true);
    press(31, 25);
    takeUpdateRegion();
    move(35, 25);
    region = takeUpdateRegion();
    EXPECT_TRUE(regionCoversClient(region));
    DeleteObject(region);
    release(35, 25);
}

TEST_F(Drag, LinksRepaintTheirWeightsWhereTheyWereAndWhereTheyGo) {
    // A link running almost straight down: its weight box, a third of the way along,
    // reaches 50 pixels either side of it, well past the line between the sockets.
    SchematicNode& a = nodeAt(20, 20, 60);
    SchematicNode& b = nodeAt(80, 250);
    SchematicSocket& out = output(a);
    SchematicSocket& in = input(b);
    ASSERT_TRUE(connectSockets(out, in));
    view().drawWeights = 1;
    const Vec2 s = socketScreenPosition(out), q = socketScreenPosition(in);
    const int weightY = int(s.y + (q.y - s.y) / 3);
    ASSERT_GT(weightY, nodeScreenRect(a).bottom + 10);
    a.selected = 1;
    press(70, 25);
    takeUpdateRegion();
    move(110, 25);  // 40 pixels to the right
    ASSERT_FLOAT_EQ(a.position.x, 60.0f);
    HRGN region = takeUpdateRegion();
    EXPECT_TRUE(covers(region, int(s.x) - 40, weightY));   // the weight's left end before
    EXPECT_TRUE(covers(region, int(s.x) + 75, weightY));   // its right end after
    EXPECT_FALSE(covers(region, int(s.x) + 250, weightY));  // and not the whole view
    DeleteObject(region);
    release(110, 25);
}

TEST_F(Drag, RubberBandRegionAndValueDragsRepaintOnlyAroundTheirFigures) {
    SchematicNode& n = nodeAt(20, 20);
    SchematicSocket& out = output(n);
    const POINT c = centre(out);
    const Vec2 s = socketScreenPosition(out);

    // Rubber band: the box from the socket to the band's end, 20 pixels wider all round.
    press(c);
    takeUpdateRegion();
    move(300, 200);
    HRGN region = takeUpdateRegion();
    EXPECT_TRUE(covers(region, int(s.x) - 20, int(s.y) - 20));
    EXPECT_FALSE(covers(region, int(s.x) - 21, 150));
    EXPECT_TRUE(covers(region, 319, 219));
    EXPECT_FALSE(covers(region, 320, 150));
    EXPECT_FALSE(covers(region, 150, 220));
    DeleteObject(region);
    release(300, 200);

    // Region: strips 6 pixels either side of each edge, nothing inside them.
    press(200, 150);
    takeUpdateRegion();
    move(260, 190);
    region = takeUpdateRegion();
    EXPECT_TRUE(covers(region, 194, 144));
    EXPECT_FALSE(covers(region, 193, 170));
    EXPECT_TRUE(covers(region, 265, 195));
    EXPECT_FALSE(covers(region, 266, 170));
    EXPECT_FALSE(covers(region, 230, 196));
    EXPECT_TRUE(covers(region, 230, 184));
    EXPECT_FALSE(covers(region, 230, 170));  // inside the rectangle
    DeleteObject(region);
    release(260, 190);

    // Value drag: the node's rectangle grown by 3.
    const RectI r = nodeScreenRect(n);
    send(WM_MBUTTONDOWN, MK_MBUTTON, c.x, c.y);
    takeUpdateRegion();
    move(c.x + 3, c.y, MK_MBUTTON);
    region = takeUpdateRegion();
    EXPECT_TRUE(covers(region, r.left - 3, r.top - 3));
    EXPECT_TRUE(covers(region, r.right + 2, r.bottom + 2));
    EXPECT_FALSE(covers(region, r.left - 4, r.top));
    EXPECT_FALSE(covers(region, r.right + 3, r.top));
    EXPECT_FALSE(covers(region, r.left, r.bottom + 3));
    DeleteObject(region);
    send(WM_MBUTTONUP, 0, c.x + 3, c.y);
}

TEST_F(Drag, NodesMoveByThePointerInGraphUnitsExceptLockedOnesAndFollowingChildren) {
    SchematicNode& free = nodeAt(20, 20);
    SchematicNode& locked = nodeAt(20, 100);
    locked.posLocked = 1;
    SchematicNode& parent = nodeAt(200, 20);
    SchematicNode& child = nodeAt(200, 100);
    setParent(child, &parent, true);  // child.position is now (0, 80), relative
    connectSockets(output(locked), input(parent));
    for (SchematicNode* n : {&free, &locked, &parent, &child}) n->selected = 1;
    view().zoom = 2.0f;  // screen = graph * 2: press inside the free node at (40..240, 40..88)

    recordAllEvents();
    press(50, 50);
    move(60, 50);
    move(60, 56);
    EXPECT_FLOAT_EQ(free.position.x, 25.0f);  // 10 pixels at zoom 2 are 5 units
    EXPECT_FLOAT_EQ(free.position.y, 23.0f);
    EXPECT_FLOAT_EQ(locked.position.x, 20.0f);
    EXPECT_FLOAT_EQ(parent.position.x, 205.0f);
    EXPECT_FLOAT_EQ(child.position.x, 0.0f);  // moved once, through its parent
    EXPECT_FLOAT_EQ(child.position.y, 80.0f);
    EXPECT_TRUE(view().gestureFlags[kLinksMoved]);  // the locked node's link counts as moved

    takeUpdateRegion();
    release(60, 56);
    HRGN region = takeUpdateRegion();
    EXPECT_TRUE(regionCoversClient(region));
    DeleteObject(region);
    EXPECT_EQ(eventNames(), (std::vector<std::string>{"LButtonDown", "nodeClicked", "mouseMoved",
                                                      "mouseMoved", "LButtonUp"}));
}

class Drop : public InteractionTest {
protected:
    SchematicNode* a = nullptr;
    SchematicNode* b = nullptr;
    SchematicSocket* out = nullptr;
    SchematicSocket* in1 = nullptr;

    void SetUp() override {
        InteractionTest::SetUp();
        a = &nodeAt(20, 20);
        b = &nodeAt(200, 20);
        out = &output(*a);
        input(*b);
        in1 = &input(*b);
        recordAllEvents();
    }
    void drag(POINT from, POINT to) {
        clearEvents();
        press(from);
        move(150, 150);
        move(to);
        release(to);
    }
};

TEST_F(Drop, ADropOnAnInputMakesTheLinkAndASecondDropRemovesIt) {
    drag(centre(*out), centre(*in1));
    EXPECT_EQ(ro->events, (Events{{"LButtonDown", {}}, {"connectionStarted", {1, 1, 1}}, {"mouseMoved", {}},
                                  {"mouseMoved", {}}, {"connectionChanged", {1, 2, 2, 1, 1, 1}},
                                  {"LButtonUp", {}}}));
    ASSERT_EQ(out->links, std::vector<SchematicSocket*>{in1});
    EXPECT_EQ(out->linkWeights, std::vector<int32_t>{100});
    EXPECT_EQ(GetCapture(), nullptr);

    drag(centre(*out), centre(*in1));
    EXPECT_EQ(ro->events[4], (ReceivedEvent{"connectionChanged", {1, 2, 2, 1, 0, 0}}));
    EXPECT_TRUE(out->links.empty() && in1->links.empty());

    // From the input's end the arguments still name the output first.
    drag(centre(*in1), centre(*out));
    EXPECT_EQ(ro->events[1], (ReceivedEvent{"connectionStarted", {2, 2, 0}}));
    EXPECT_EQ(ro->events[4], (ReceivedEvent{"connectionChanged", {1, 2, 2, 1, 1, 1}}));
}

TEST_F(Drop, ANodeMayFeedItselfAndADropOnABodyDoesNothing) {
    SchematicSocket& own = input(*a);
    drag(centre(*out), centre(own));
    EXPECT_EQ(ro->events[4], (ReceivedEvent{"connectionChanged", {1, 1, 2, 1, 1, 1}}));
    EXPECT_EQ(own.links, std::vector<SchematicSocket*>{out});

    takeUpdateRegion();
    drag(centre(*out), POINT{250, 70});  // b's body, below its sockets' boxes
    EXPECT_EQ(eventNames(), (std::vector<std::string>{"LButtonDown", "connectionStarted", "mouseMoved",
                                                      "mouseMoved", "LButtonUp"}));
    HRGN region = takeUpdateRegion();
    EXPECT_TRUE(regionCoversClient(region));
    DeleteObject(region);
}

TEST_F(Drop, ADropFallsThroughCollapsedAndUnselectableNodes) {
    const POINT target = centre(*in1);
    SchematicNode& cover = nodeAt(190, 10);  // collapsed, over b's sockets
    cover.collapsed = 1;
    cover.collapsedSize = {60, 80};
    drag(centre(*out), target);
    EXPECT_EQ(ro->events[4], (ReceivedEvent{"connectionChanged", {1, 2, 2, 1, 1, 1}}));

    b->selectable = 0;  // nothing usable left under the pointer
    drag(centre(*out), target);
    EXPECT_EQ(ro->events[4], (ReceivedEvent{"connectToEmpty", {1, 1, 1}}));
    EXPECT_EQ(ro->events.back(), (ReceivedEvent{"LButtonUp", {}}));
    EXPECT_EQ(out->links.size(), 1u);

    drag(centre(*out), POINT{150, 250});
    EXPECT_EQ(ro->events[4], (ReceivedEvent{"connectToEmpty", {1, 1, 1}}));
}

TEST_F(Drag, ARegionSelectsTheNodesWhollyInsideItWhicheverWayItIsDrawn) {
    SchematicNode& inside = nodeAt(100, 100);  // 100..200 x 100..124 on screen
    SchematicNode& partly = nodeAt(150, 160);
    SchematicNode& fixed = nodeAt(110, 125, 50);  // inside, but not selectable
    fixed.selectable = 0;
    recordAllEvents();
    const RECT corners[] = {{90, 90, 210, 150}, {210, 150, 90, 90}, {90, 150, 210, 90}, {210, 90, 90, 150}};
    for (const RECT& r : corners) {
        SCOPED_TRACE(testing::Message() << r.left << "," << r.top << " to " << r.right << "," << r.bottom);
        inside.selected = partly.selected = fixed.selected = 0;
        clearEvents();
        press(r.left, r.top);
        move(r.right, r.bottom);
        release(r.right, r.bottom);
        EXPECT_TRUE(inside.selected);
        EXPECT_FALSE(partly.selected || fixed.selected);
        EXPECT_EQ(eventNames(), (std::vector<std::string>{"LButtonDown", "mouseMoved", "regionSelected",
                                                          "LButtonUp"}));
    }
    // Touching an edge is not inside.
    inside.selected = 0;
    press(100, 90), move(210, 150), release(210, 150);
    EXPECT_FALSE(inside.selected);

    // With Alt at the release the region deselects; the press keeps the selection.
    inside.selected = partly.selected = 1;
    {
        HeldKeys alt{VK_MENU};
        press(90, 90), move(210, 150), release(210, 150);
    }
    EXPECT_FALSE(inside.selected);
    EXPECT_TRUE(partly.selected);
}

TEST_F(Drag, AMiddleDragChangesAnOutputsValueInHundredthsOrUnitsWithCtrl) {
    SchematicNode& n = nodeAt(20, 20);
    SchematicSocket& out = output(n);
    recordAllEvents();
    const POINT p = centre(out);
    send(WM_MBUTTONDOWN, MK_MBUTTON, p.x, p.y);
    ASSERT_EQ(sc->graph.dragSocket, &out);
    move(p.x + 3, p.y - 2, MK_MBUTTON);  // right raises, up lowers: +0.01
    EXPECT_FLOAT_EQ(out.value, 0.01f);
    {
        HeldKeys ctrl{VK_CONTROL};
        move(p.x + 6, p.y - 4, MK_MBUTTON);  // +1.0
    }
    EXPECT_FLOAT_EQ(out.value, 1.01f);
    send(WM_MBUTTONUP, 0, p.x + 6, p.y - 4);
    EXPECT_EQ(sc->graph.dragSocket, nullptr);
    EXPECT_EQ(ro->events, (Events{{"MButtonDown", {}}, {"socketValueChanged", {1, 1}}, {"mouseMoved", {}},
                                  {"socketValueChanged", {1, 1}}, {"mouseMoved", {}}, {"MButtonUp", {}}}));

    // Values are kept to two decimals, halves rounding up.
    for (auto [start, moved, expected] : {std::tuple{0.123f, 1, 0.13f}, std::tuple{0.125f, 0, 0.13f},
                                          std::tuple{-0.125f, 0, -0.12f}, std::tuple{2.0f, -7, 1.93f}}) {
        out.value = start;
        send(WM_MBUTTONDOWN, MK_MBUTTON, p.x, p.y);
        move(p.x + moved, p.y, MK_MBUTTON);
        send(WM_MBUTTONUP, 0, p.x + moved, p.y);
        EXPECT_FLOAT_EQ(out.value, expected) << start << " moved " << moved;
    }
}

TEST_F(Drag, AValueDragOnAFloatControllerChangesTheControllerUnrounded) {
    SchematicNode& n = nodeAt(20, 20);
    SchematicSocket& out = output(n);
    HostFloatController controller;
    controller.value = 5.0f;
    out.sceneController = &controller;
    const POINT p = centre(out);
    const int before = controller.notifications;
    send(WM_MBUTTONDOWN, MK_MBUTTON, p.x, p.y);
    move(p.x + 3, p.y, MK_MBUTTON);
    send(WM_MBUTTONUP, 0, p.x + 3, p.y);
    EXPECT_FLOAT_EQ(controller.value, 5.0f + 0.03f);
    EXPECT_GT(controller.notifications, before);
    EXPECT_FLOAT_EQ(out.value, 0.0f);

    // Any other kind of controller leaves the socket's own value to change.
    HostPositionController position;
    out.sceneController = &position;
    send(WM_MBUTTONDOWN, MK_MBUTTON, p.x, p.y);
    move(p.x + 3, p.y, MK_MBUTTON);
    send(WM_MBUTTONUP, 0, p.x + 3, p.y);
    EXPECT_FLOAT_EQ(out.value, 0.03f);
    EXPECT_FLOAT_EQ(position.x, 0.0f);
    out.sceneController = nullptr;
}

TEST_F(Drag, TheLowestNodesOutputWinsAMiddlePressAndInputsArePanned) {
    SchematicNode& low = nodeAt(20, 20);
    SchematicNode& high = nodeAt(20, 20);
    SchematicSocket& lowOut = output(low);
    output(high);
    SchematicSocket& in = input(high);
    send(WM_MBUTTONDOWN, MK_MBUTTON, centre(lowOut).x, centre(lowOut).y);
    EXPECT_EQ(sc->graph.dragSocket, &lowOut);
    send(WM_MBUTTONUP, 0, 0, 0);
    send(WM_MBUTTONDOWN, MK_MBUTTON, centre(in).x, centre(in).y);
    EXPECT_EQ(sc->graph.dragSocket, nullptr);
    EXPECT_TRUE(view().panning);
    send(WM_MBUTTONUP, 0, 0, 0);
}

}  // namespace
