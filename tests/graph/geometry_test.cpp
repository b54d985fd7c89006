// geometry_test.cpp - node size and place, socket boxes, in graph and screen terms.
#include "graph_fixture.h"

namespace {

class Geometry : public GraphTest {
protected:
    int bitmap = 0;
    Geometry() {
        view.zoom = 2.0f;
        view.pan = {10.0f, 20.0f};
        view.viewRect = {0, 0, 640, 480};
    }
};

TEST_F(Geometry, HiddenNodesMeasureMinusOneFarAway) {
    SchematicNode& n = newNode();
    n.hidden = 1;
    n.viewAlign = -1;
    for (Vec2 size : {nodeSizeGraph(n), nodeSizeClient(n)}) {
        EXPECT_FLOAT_EQ(size.x, -1.0f);
        EXPECT_FLOAT_EQ(size.y, -1.0f);
    }
    for (Vec2 position : {nodePositionGraph(n), nodePositionClient(n)}) {
        EXPECT_FLOAT_EQ(position.x, -100000000.0f);
        EXPECT_FLOAT_EQ(position.y, -100000000.0f);
    }
}

TEST_F(Geometry, SizeDependsOnCollapseAndBitmap) {
    SchematicNode& n = newNode();
    n.collapsedSize = {60, 20};
    n.bitmapHandle = &bitmap;
    EXPECT_FLOAT_EQ(nodeSizeGraph(n).y, 24 + 80);
    EXPECT_FLOAT_EQ(nodeSizeClient(n).x, 200);
    n.collapsed = 1;
    EXPECT_FLOAT_EQ(nodeSizeGraph(n).x, 60);
    EXPECT_FLOAT_EQ(nodeSizeGraph(n).y, 20 + 26);
    n.showMiniBitmap = 0;
    EXPECT_FLOAT_EQ(nodeSizeClient(n).y, 40);
    n.bitmapHandle = nullptr; // not ours to release
}

TEST_F(Geometry, ChildrenAddOneLevelOfParentPositionThenTheViewTransform) {
    SchematicNode& g = newNode();
    SchematicNode& p = newNode();
    SchematicNode& c = newNode();
    g.position = {1000, 1000};
    p.position = {30, 40};
    c.position = {5, 6};
    setParent(p, &g, false);
    setParent(c, &p, false);
    EXPECT_FLOAT_EQ(nodePositionGraph(c).x, 35);
    EXPECT_FLOAT_EQ(nodePositionClient(c).x, 35 * 2 + 10);
    EXPECT_FLOAT_EQ(nodePositionClient(c).y, 46 * 2 + 20);
}

TEST_F(Geometry, ViewAlignedNodesIgnoreZoomAndPan) {
    SchematicNode& n = newNode();
    n.viewAlignOffset = {5, 7};
    n.viewAlign = -1;
    EXPECT_FLOAT_EQ(nodePositionClient(n).x, 5);
    EXPECT_FLOAT_EQ(nodePositionClient(n).y, 7);
    n.viewAlign = 1;
    EXPECT_FLOAT_EQ(nodePositionGraph(n).x, 640 - 100 + 5);
    EXPECT_FLOAT_EQ(nodePositionClient(n).x, 640 - 200 + 5);
    EXPECT_FLOAT_EQ(nodePositionClient(n).y, 7);
}

TEST_F(Geometry, ScreenRectTruncatesEachEdge) {
    SchematicNode& n = newNode();
    view.zoom = 1.5f;
    n.position = {0.5f, -3.5f};
    n.width = 11;
    const RectI r = nodeScreenRect(n); // x 10.75..27.25, y 14.75..50.75
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 14);
    EXPECT_EQ(r.right, 27);
    EXPECT_EQ(r.bottom, 50);
    EXPECT_EQ(truncToInt32(-2.7f), -2);
    EXPECT_EQ(truncToInt32(1e20f), INT32_MAX);
}

TEST_F(Geometry, SocketBoxesFollowSideBitmapAndCollapse) {
    SchematicNode& n = newNode();
    n.position = {10, 10};
    SchematicSocket& in = input(n);
    SchematicSocket& out = output(n);
    // Node at (30, 40) on screen; rows at 24 and 40 graph units.
    EXPECT_FLOAT_EQ(socketScreenPosition(in).x, 30 + 9);
    EXPECT_FLOAT_EQ(socketScreenPosition(in).y, 40 + 48);
    EXPECT_FLOAT_EQ(socketScreenPosition(out).x, 30 + 164 + 4.5f);
    n.bitmapSize = {80, 40.3f};
    n.bitmapHandle = &bitmap;
    EXPECT_FLOAT_EQ(socketScreenPosition(out).y, 40 + 80 + 80);
    n.collapsed = 1; // 100 x 24 + 26 strip -> 200 x 100 on screen
    EXPECT_FLOAT_EQ(socketScreenPosition(out).x, 30 + 200 - 4);
    EXPECT_FLOAT_EQ(socketScreenPosition(out).y, 40 + 50);
    EXPECT_FLOAT_EQ(socketScreenPosition(in).x, 30 - 4);
    n.bitmapHandle = nullptr;
}

} // namespace
