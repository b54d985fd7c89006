// hierarchy_test.cpp - re-parenting, cycle refusal, ancestor walks, hiding.
#include "graph_fixture.h"

namespace {

using Hierarchy = GraphTest;

TEST_F(Hierarchy, KeepPlaceReparentingLeavesTheScreenPlaceAlone) {
    SchematicNode& p = newNode();
    SchematicNode& q = newNode();
    SchematicNode& c = newNode();
    p.position = {100, 50};
    q.position = {-20, 10};
    c.position = {130, 70};
    ASSERT_TRUE(setParent(c, &p, true));
    EXPECT_FLOAT_EQ(c.position.x, 30);
    EXPECT_FLOAT_EQ(c.position.y, 20);
    ASSERT_TRUE(setParent(c, &q, true));
    EXPECT_TRUE(p.children.empty());
    EXPECT_EQ(q.children, std::vector<SchematicNode*>{&c});
    EXPECT_FLOAT_EQ(nodePositionGraph(c).x, 130);
    ASSERT_TRUE(setParent(c, nullptr, false));
    EXPECT_EQ(c.parent, nullptr);
    EXPECT_TRUE(q.children.empty());
    EXPECT_FLOAT_EQ(c.position.x, 150);
}

TEST_F(Hierarchy, ReparentingThatWouldCloseACycleIsRefused) {
    SchematicNode& a = newNode();
    SchematicNode& b = newNode();
    SchematicNode& c = newNode();
    a.position = {5, 5};
    ASSERT_TRUE(setParent(b, &a, true));
    ASSERT_TRUE(setParent(c, &b, true));
    EXPECT_FALSE(setParent(a, &a, true));
    EXPECT_FALSE(setParent(a, &c, true));
    EXPECT_FALSE(setParent(b, &c, false));
    EXPECT_EQ(a.parent, nullptr);
    EXPECT_EQ(b.parent, &a);
    EXPECT_FLOAT_EQ(a.position.x, 5);
    EXPECT_TRUE(c.children.empty());
    EXPECT_TRUE(a.children.size() == 1 && b.children.size() == 1);
}

TEST_F(Hierarchy, DeletingAParentFreesItsChildrenVisibleAndInPlace) {
    SchematicNode& grand = newNode();
    SchematicNode& p = newNode();
    SchematicNode& c1 = newNode();
    SchematicNode& c2 = newNode();
    p.position = {40, 60};
    c1.position = {10, 10};
    setParent(p, &grand, false);
    setParent(c1, &p, false);
    setParent(c2, &p, false);
    c1.hidden = 1;
    deleteNode(ctx, 1);
    EXPECT_EQ(c1.parent, nullptr);
    EXPECT_EQ(c2.parent, nullptr);
    EXPECT_EQ(c1.hidden, 0);
    EXPECT_FLOAT_EQ(c1.position.x, 50);
    EXPECT_FLOAT_EQ(c1.position.y, 70);
    EXPECT_TRUE(grand.children.empty());
}

TEST_F(Hierarchy, VisibleAncestorSkipsHiddenNodesAndSurvivesCycles) {
    SchematicNode& a = newNode();
    SchematicNode& b = newNode();
    SchematicNode& c = newNode();
    setParent(b, &a, false);
    setParent(c, &b, false);
    b.hidden = 1;
    EXPECT_EQ(visibleAncestor(ctx, c), &a);
    a.hidden = 1;
    EXPECT_EQ(visibleAncestor(ctx, c), nullptr);

    // Cycles written behind setParent's back, as a damaged file could.
    a.parent = &c; // through the start node
    EXPECT_EQ(visibleAncestor(ctx, c), nullptr);
    a.parent = &b; // a loop above the start node
    EXPECT_EQ(visibleAncestor(ctx, c), nullptr);
    EXPECT_FALSE(isAncestor(&c, c));
    EXPECT_FALSE(setParent(b, &c, false));
    c.parent = &c;
    EXPECT_EQ(visibleAncestor(ctx, c), nullptr);
    a.parent = b.parent = c.parent = nullptr; // leave the mirrors to teardown
    a.children.clear();
    b.children.clear();
}

TEST_F(Hierarchy, HidingSpreadsThroughLinkCyclesButNotPastTheStopNode) {
    // s -> x -> y -> x (a cycle), y <- z; w is linked only to the stop node.
    SchematicNode& s = newNode();
    SchematicNode& x = newNode();
    SchematicNode& y = newNode();
    SchematicNode& z = newNode();
    SchematicNode& w = newNode();
    SchematicSocket& sIn = input(s);
    SchematicSocket& sOut = output(s);
    connectSockets(output(x), sIn);
    connectSockets(output(y), input(x));
    connectSockets(output(x), input(y));
    connectSockets(output(z), input(y));
    connectSockets(sOut, input(w));

    hideConnected(sIn, &s, 1, true);
    EXPECT_EQ(s.hidden, 0);
    EXPECT_EQ(w.hidden, 0);
    EXPECT_TRUE(x.hidden && y.hidden && z.hidden);

    // A peer already in the wanted state is still followed from the root.
    y.hidden = 0;
    z.hidden = 0;
    hideConnected(sIn, &s, 1, true);
    EXPECT_TRUE(y.hidden && z.hidden);

    hideConnected(sIn, &s, 0, true);
    EXPECT_FALSE(x.hidden || y.hidden || z.hidden);
}

} // namespace
