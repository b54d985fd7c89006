// press_test.cpp - what a left press selects: nodes by modifier and layer, sockets, links.
#include <algorithm>

#include "tests/interaction/interaction_fixture.h"

namespace {

using Press = InteractionTest;
using Events = std::vector<ReceivedEvent>;

TEST_F(Press, BodySelectionFollowsTheModifierKeys) {
    struct Case {
        int key;  // 0 for none
        bool targetSelected;
        bool targetAfter, otherAfter;
    };
    const Case cases[] = {
        {0, false, true, false},          {0, true, true, true},
        {VK_CONTROL, false, true, true},  {VK_CONTROL, true, true, true},
        {VK_MENU, false, false, true},    {VK_MENU, true, false, true},
    };
    SchematicNode& target = nodeAt(20, 20);
    SchematicNode& other = nodeAt(200, 20);
    recordAllEvents();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " selected " << c.targetSelected);
        target.selected = c.targetSelected;
        other.selected = 1;
        clearEvents();
        {
            HeldKeys held{c.key ? c.key : 0xFF};
            press(30, 30);
        }
        release(30, 30);
        EXPECT_EQ(bool(target.selected), c.targetAfter);
        EXPECT_EQ(bool(other.selected), c.otherAfter);
        EXPECT_EQ(ro->events, (Events{{"LButtonDown", {}}, {"nodeClicked", {1}}, {"LButtonUp", {}}}));
    }
}

// Script writes change nodes without a repaint; a press that passes over a node's
// selection repaints that node whether or not its flag changed.
TEST_F(Press, ThePressRepaintsEveryNodeItDeselectsEvenOneAlreadyClear) {
    nodeAt(20, 20);    // A: 20..120 x 20..44, never selected here
    nodeAt(200, 100);  // B
    auto repaints = [&](int x, int y) {
        HRGN region = takeUpdateRegion();
        const bool hit = PtInRegion(region, x, y) != 0;
        DeleteObject(region);
        return hit;
    };
    takeUpdateRegion();
    press(230, 110);  // plain press on B clears every other node
    EXPECT_TRUE(repaints(60, 30));
    release(230, 110);
    takeUpdateRegion();
    press(350, 250);  // empty space clears every node
    EXPECT_TRUE(repaints(60, 30));
    release(350, 250);
    takeUpdateRegion();
    {
        HeldKeys alt{VK_MENU};
        press(60, 30);  // Alt on an unselected node: cleared again, repainted
    }
    HRGN region = takeUpdateRegion();
    EXPECT_TRUE(PtInRegion(region, 60, 30));
    EXPECT_FALSE(PtInRegion(region, 230, 110));
    DeleteObject(region);
    release(60, 30);
}

TEST_F(Press, LButtonDownComesBeforeTheSelectionChangesAndNodeClickedAfter) {
    SchematicNode& n = nodeAt(20, 20);
    std::vector<bool> seen;
    onEvent("LButtonDown", [&](const std::vector<int>&) { seen.push_back(n.selected); });
    onEvent("nodeClicked", [&](const std::vector<int>&) { seen.push_back(n.selected); });
    press(30, 30);
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));
}

TEST_F(Press, OverlappingNodesAreAllActedOnUnlessAPlainPressSelectsOne) {
    SchematicNode& low = nodeAt(20, 20);
    SchematicNode& high = nodeAt(40, 30);
    recordAllEvents();
    press(50, 35);  // plain: the top node alone, and it is the one named
    EXPECT_TRUE(high.selected && !low.selected);
    EXPECT_EQ(ro->events.back(), (ReceivedEvent{"nodeClicked", {2}}));
    high.selected = 0;
    {
        HeldKeys ctrl{VK_CONTROL};
        press(50, 35);
    }
    EXPECT_TRUE(high.selected && low.selected);
    EXPECT_EQ(ro->events.back(), (ReceivedEvent{"nodeClicked", {1}}));

    high.selectable = 0;  // drawn, but the press passes through it
    low.selected = high.selected = 0;
    press(50, 35);
    EXPECT_TRUE(low.selected && !high.selected);
}

TEST_F(Press, DrawLayersAreSearchedFromTheTopLayerDown) {
    SchematicNode& upper = nodeAt(20, 20);  // lower index but script layer 3
    SchematicNode& lower = nodeAt(40, 30);
    upper.drawLayer = 2;
    lower.drawLayer = 0;
    recordAllEvents();
    view().useDrawLayers = 1;
    press(50, 35);
    EXPECT_EQ(ro->events.back(), (ReceivedEvent{"nodeClicked", {1}}));
    EXPECT_TRUE(upper.selected && !lower.selected);
    view().useDrawLayers = 0;
    press(50, 35);
    EXPECT_EQ(ro->events.back(), (ReceivedEvent{"nodeClicked", {2}}));
    // Outside 0..2 a node is neither drawn nor hit in layer mode.
    view().useDrawLayers = 1;
    upper.drawLayer = lower.drawLayer = 5;
    clearEvents();
    press(50, 35);
    EXPECT_EQ(eventNames(), std::vector<std::string>{"LButtonDown"});
}

TEST_F(Press, EmptySpaceClearsTheSelectionAndArmsARegionUnlessToldOtherwise) {
    SchematicNode& n = nodeAt(20, 20);
    n.selected = 1;
    recordAllEvents();
    press(300, 250);
    EXPECT_FALSE(n.selected);
    EXPECT_TRUE(view().gestureFlags[kRegionArmed]);
    EXPECT_EQ(eventNames(), std::vector<std::string>{"LButtonDown"});
    release(300, 250);

    n.selected = 1;
    {
        HeldKeys ctrl{VK_CONTROL};
        press(300, 250);
    }
    EXPECT_TRUE(n.selected);
    EXPECT_TRUE(view().gestureFlags[kRegionArmed]);
    release(300, 250);

    view().allowRegionSelect = 0;
    press(300, 250);
    EXPECT_FALSE(view().gestureFlags[kRegionArmed]);
    release(300, 250);
}

TEST_F(Press, ALinkIsSelectedNearItsStraightLineAndDeselectedByASecondPress) {
    // A vertical link at x = 186: the output (100 + 86.5) above the input (182 + 4.5).
    SchematicNode& a = nodeAt(100, 20);
    SchematicNode& b = nodeAt(182, 200);
    SchematicSocket& out = output(a);
    SchematicSocket& in = input(b);
    connectSockets(out, in);
    a.selected = 1;
    recordAllEvents();

    press(194, 130);  // 8 pixels right of the line: inside the probe square
    EXPECT_EQ(ro->events, (Events{{"LButtonDown", {}}, {"connectionSelectionChanged", {1, 2, 1, 1}}}));
    EXPECT_EQ(out.selectedLink, 0);
    EXPECT_EQ(sc->graph.selectedConnection, &out);
    EXPECT_FALSE(a.selected);
    EXPECT_FALSE(view().gestureFlags[kRegionArmed]);
    release(194, 130);

    clearEvents();
    press(194, 130);  // the selected link again: deselected, silently, and a region may follow
    EXPECT_EQ(eventNames(), std::vector<std::string>{"LButtonDown"});
    EXPECT_EQ(out.selectedLink, -1);
    EXPECT_EQ(sc->graph.selectedConnection, nullptr);
    EXPECT_TRUE(view().gestureFlags[kRegionArmed]);
    release(194, 130);

    for (int x : {178, 195}) {  // 8 left and 9 right miss
        press(x, 130);
        release(x, 130);
        EXPECT_EQ(out.selectedLink, -1) << x;
    }
    press(194, 130);
    release(194, 130);
    ASSERT_EQ(out.selectedLink, 0);
    press(300, 100);  // anywhere else clears it
    release(300, 100);
    EXPECT_EQ(out.selectedLink, -1);

    // Links into a hidden node, and presses with Ctrl or Alt, select nothing.
    b.hidden = 1;
    press(194, 130), release(194, 130);
    EXPECT_EQ(out.selectedLink, -1);
    b.hidden = 0;
    for (int vk : {VK_CONTROL, VK_MENU}) {
        HeldKeys held{vk};
        press(194, 130), release(194, 130);
        EXPECT_EQ(out.selectedLink, -1);
    }
}

TEST_F(Press, ShiftFlipsASocketAndStartsNoConnection) {
    SchematicNode& n = nodeAt(20, 20);
    SchematicSocket& in = input(n);
    SchematicSocket& out = output(n);
    recordAllEvents();
    for (SchematicSocket* s : {&in, &out}) {
        const float before = s->socketPosition.x;
        clearEvents();
        {
            HeldKeys shift{VK_SHIFT};
            press(centre(*s));
        }
        release(centre(*s));
        EXPECT_TRUE(s->flipped);
        EXPECT_NE(s->socketPosition.x, before);
        EXPECT_EQ(eventNames(), (std::vector<std::string>{"LButtonDown", "LButtonUp"}));
    }
}

TEST_F(Press, AltHidesAndCtrlShowsWhatFeedsAnInputButOutputsStillConnect) {
    SchematicNode& target = nodeAt(200, 20);
    SchematicNode& feeder = nodeAt(20, 20);
    SchematicNode& further = nodeAt(20, 120);
    SchematicSocket& in = input(target);
    SchematicSocket& spare = input(target);
    SchematicSocket& feederIn = input(feeder);
    SchematicSocket& feederOut = output(feeder);
    connectSockets(feederOut, in);
    connectSockets(output(further), feederIn);
    recordAllEvents();

    {
        HeldKeys alt{VK_MENU};
        press(centre(in));
    }
    release(centre(in));
    EXPECT_TRUE(feeder.hidden && further.hidden);
    EXPECT_FALSE(target.hidden);
    {
        HeldKeys ctrl{VK_CONTROL};
        press(centre(in));
        EXPECT_EQ(sc->graph.dragSocket, &in);
    }
    release(centre(in));
    EXPECT_FALSE(feeder.hidden || further.hidden);
    {
        HeldKeys alt{VK_MENU};
        press(centre(spare));  // no links: it only becomes the drag socket
        EXPECT_EQ(sc->graph.dragSocket, &spare);
        EXPECT_FALSE(view().connecting);
    }
    release(centre(spare));
    EXPECT_FALSE(feeder.hidden);
    const std::vector<std::string> names = eventNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), "connectionStarted"), 0);

    for (int vk : {VK_CONTROL, VK_MENU}) {
        clearEvents();
        HeldKeys held{vk};
        press(centre(feederOut));
        EXPECT_EQ(ro->events.back(), (ReceivedEvent{"connectionStarted", {2, 2, 1}}));
        send(WM_RBUTTONDOWN, MK_RBUTTON, 0, 0), send(WM_RBUTTONUP, 0, 0, 0);
    }
}

TEST_F(Press, ACollapsedNodeIsPressedOnItsBodyNeverOnItsSockets) {
    SchematicNode& n = nodeAt(20, 20);
    SchematicSocket& out = output(n);
    const POINT p = centre(out);
    n.collapsed = 1;
    n.collapsedSize = {120, 60};
    recordAllEvents();
    press(p);
    EXPECT_EQ(ro->events, (Events{{"LButtonDown", {}}, {"nodeClicked", {1}}}));
    EXPECT_FALSE(view().connecting);
}

}  // namespace
