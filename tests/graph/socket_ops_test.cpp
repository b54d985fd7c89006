// socket_ops_test.cpp - socket numbering, removal, placement and active lookups.
#include "graph_fixture.h"

namespace {

using SocketOps = GraphTest;

TEST_F(SocketOps, SocketsAreNumberedAcrossBothListsAndEachAddsARow) {
    SchematicNode& n = newNode();
    EXPECT_EQ(n.nodeName, "node");
    EXPECT_EQ(n.viewStateRef, &view);
    SchematicSocket& in = input(n);
    EXPECT_EQ(in.index, 0);
    EXPECT_FLOAT_EQ(in.socketPosition.x, 4.5f);
    EXPECT_FLOAT_EQ(in.socketPosition.y, 24.0f);
    EXPECT_EQ(in.socketColor, rgb(255, 30, 30));
    EXPECT_EQ(n.height, 40);

    SchematicSocket& out = output(n);
    EXPECT_EQ(out.index, 1);
    EXPECT_FLOAT_EQ(out.socketPosition.x, 82.0f);
    EXPECT_FLOAT_EQ(out.socketPosition.y, 40.0f);
    EXPECT_EQ(out.socketColor, rgb(30, 255, 30));
    EXPECT_EQ(n.height, 56);
    EXPECT_EQ(findSocket(n, 1), &out);
    EXPECT_EQ(findSocket(n, 2), nullptr);
}

TEST_F(SocketOps, RemovingAnEarlierSocketRenumbersButKeepsRowsAndHeight) {
    SchematicNode& n = newNode();
    input(n);
    SchematicSocket& b = output(n);
    SchematicSocket& c = input(n);
    ASSERT_TRUE(removeSocket(ctx, n, 0, false));
    EXPECT_EQ(b.index, 0);
    EXPECT_EQ(c.index, 1);
    EXPECT_FLOAT_EQ(b.socketPosition.y, 40.0f);
    EXPECT_FLOAT_EQ(c.socketPosition.y, 56.0f);
    EXPECT_EQ(n.height, 72);

    ASSERT_TRUE(removeSocket(ctx, n, 1, false)); // now the last one
    EXPECT_EQ(n.height, 56);
    EXPECT_EQ(socketCount(n), 1);
}

TEST_F(SocketOps, RemovingAnIndexNoSocketCarriesChangesNothing) {
    SchematicNode& n = newNode();
    input(n);
    output(n).index = 5; // a gap, as a loaded file may leave
    for (int32_t bad : {-1, 1, 2, 5}) EXPECT_FALSE(removeSocket(ctx, n, bad, true));
    EXPECT_EQ(socketCount(n), 2);
    EXPECT_EQ(n.height, 56);
    EXPECT_TRUE(seam.redraws.empty());
}

TEST_F(SocketOps, RedrawsCoverTheNodeAndTheRowThatWent) {
    view.zoom = 2.0f;
    SchematicNode& n = newNode();
    addSocket(ctx, n, 0, "Input", true);
    ASSERT_EQ(seam.redraws.size(), 1u);
    EXPECT_EQ(seam.redraws[0]->bottom, 80);
    removeSocket(ctx, n, 0, true);
    ASSERT_EQ(seam.redraws.size(), 2u);
    EXPECT_EQ(seam.redraws[1]->right, 200);
    EXPECT_EQ(seam.redraws[1]->bottom, 48 + 32) << "the row that went is 32 pixels high at zoom 2";
}

TEST_F(SocketOps, RemovingALinkedSocketUnlinksItsPeersWithTheirWeights) {
    SchematicNode& a = newNode();
    SchematicNode& b = newNode();
    SchematicSocket& out = output(a);
    SchematicSocket& in1 = input(b);
    SchematicSocket& in2 = input(b);
    connectSockets(out, in1, 7);
    connectSockets(out, in2, 9);
    connectSockets(out, in1, 11);
    removeSocket(ctx, b, in1.index, false);
    EXPECT_EQ(out.links, std::vector<SchematicSocket*>{&in2});
    EXPECT_EQ(out.linkWeights, std::vector<int32_t>{9});
    expectLinksMirrored();
}

TEST_F(SocketOps, DestroyingASocketForgetsTheGestureReferencesToIt) {
    SchematicNode& n = newNode();
    SchematicSocket& in = input(n);
    SchematicSocket& out = output(n);
    connectSockets(out, in);
    out.selectedLink = 0;
    ctx.dragSocket = &out;
    ctx.selectedConnection = &out;
    removeSocket(ctx, n, in.index, false); // the selected link goes with the input
    EXPECT_EQ(ctx.selectedConnection, nullptr);
    EXPECT_EQ(out.selectedLink, -1);
    EXPECT_EQ(ctx.dragSocket, &out);
    removeSocket(ctx, n, 0, false);
    EXPECT_EQ(ctx.dragSocket, nullptr);
}

TEST_F(SocketOps, FlippingAndResizingMoveOnlyRightSideSockets) {
    SchematicNode& n = newNode();
    SchematicSocket& in = input(n);
    SchematicSocket& out = output(n);
    EXPECT_EQ(setSocketFlipped(ctx, 1), -1); // no active node
    view.activeNode = 0;
    view.activeSocket = 2;                   // beyond the socket count
    EXPECT_EQ(setSocketFlipped(ctx, 1), -1);
    view.activeSocket = 0;
    EXPECT_EQ(socketCount(ctx), 2);
    EXPECT_EQ(setSocketFlipped(ctx, 1), 1);
    EXPECT_FLOAT_EQ(in.socketPosition.x, 82.0f);

    ASSERT_TRUE(setNodeSize(ctx, 150.9f, 60.2f));
    EXPECT_EQ(n.width, 150);
    EXPECT_EQ(n.height, 60);
    EXPECT_FLOAT_EQ(in.socketPosition.x, 132.0f);
    EXPECT_FLOAT_EQ(out.socketPosition.x, 132.0f);

    setSocketFlipped(out, 1);
    EXPECT_FLOAT_EQ(out.socketPosition.x, 4.5f);
    setNodeSize(n, 50.0f, 60.0f);
    EXPECT_FLOAT_EQ(out.socketPosition.x, 4.5f);
}

} // namespace
