// node_ops_test.cpp - node creation, every deletion path and table lookups.
#include "graph_fixture.h"

namespace {

using NodeOps = GraphTest;

// Each way a node can die must leave no link, weight or gesture pointer behind.
struct DeletionPath {
    const char* name;
    std::function<void(GraphContext&, int32_t)> deleteMiddle;
};

class NodeDeletion : public GraphTest, public ::testing::WithParamInterface<DeletionPath> {};

TEST_P(NodeDeletion, RemovesEveryLinkAndReferenceIntoTheNode) {
    SchematicNode& up = newNode();
    SchematicNode& mid = newNode();
    SchematicNode& down = newNode();
    SchematicSocket& upOut = output(up);
    SchematicSocket& upIn = input(up);
    SchematicSocket& midIn = input(mid);
    SchematicSocket& midOut = output(mid);
    SchematicSocket& downIn = input(down);
    connectSockets(upOut, upIn, 3);
    connectSockets(upOut, midIn, 5);
    connectSockets(upOut, midIn, 6);
    connectSockets(midOut, downIn, 7);
    connectSockets(midOut, upIn, 8);
    connectSockets(midOut, midIn, 9);
    upOut.selectedLink = 1;
    ctx.selectedConnection = &upOut;
    ctx.dragSocket = &midOut;

    GetParam().deleteMiddle(ctx, 1);

    if (GetParam().name == std::string("clearGraph")) {
        EXPECT_TRUE(table.empty());
    } else {
        ASSERT_EQ(table.size(), 2u);
        EXPECT_EQ(upOut.links, std::vector<SchematicSocket*>{&upIn});
        EXPECT_EQ(upOut.linkWeights, std::vector<int32_t>{3});
        EXPECT_EQ(upIn.links, std::vector<SchematicSocket*>{&upOut});
        EXPECT_TRUE(downIn.links.empty());
        EXPECT_EQ(upOut.selectedLink, -1);
        expectLinksMirrored();
    }
    EXPECT_EQ(ctx.selectedConnection, nullptr);
    EXPECT_EQ(ctx.dragSocket, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPath, NodeDeletion,
    ::testing::Values(
        DeletionPath{"deleteNode", [](GraphContext& c, int32_t i) { deleteNode(c, i); }},
        DeletionPath{"deleteActiveNode",
                     [](GraphContext& c, int32_t i) {
                         c.viewState->activeNode = i;
                         ASSERT_TRUE(deleteActiveNode(c));
                     }},
        DeletionPath{"deleteSelection",
                     [](GraphContext& c, int32_t i) {
                         c.selectedConnection = nullptr; // else Delete takes the link
                         (*c.nodeTable)[size_t(i)]->selected = 1;
                         deleteSelection(c);
                     }},
        DeletionPath{"removeSockets",
                     [](GraphContext& c, int32_t i) {
                         SchematicNode& n = *(*c.nodeTable)[size_t(i)];
                         while (socketCount(n) > 0) removeSocket(c, n, 0, false);
                         deleteNode(c, i);
                     }},
        DeletionPath{"clearGraph", [](GraphContext& c, int32_t) { clearGraph(c); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NodeOps, DeleteActiveNodeNeedsAValidIndexAndResetsTheActiveItems) {
    newNode();
    newNode();
    view.activeNode = 2;
    EXPECT_FALSE(deleteActiveNode(ctx));
    EXPECT_EQ(table.size(), 2u);
    ctx.deletedNodeIndices = {7};
    view.activeNode = 0;
    view.activeSocket = 3;
    EXPECT_TRUE(deleteActiveNode(ctx));
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(view.activeNode, -1);
    EXPECT_EQ(view.activeSocket, -1);
    EXPECT_EQ(ctx.deletedNodeIndices, std::vector<int32_t>{7});
    EXPECT_TRUE(seam.redraws.empty() && seam.events.empty());
}

TEST_F(NodeOps, BitmapsAreReleasedOnReplacementAndDestruction) {
    SchematicNode& n = newNode();
    int first, second;
    setNodeBitmap(ctx, n, &first, nullptr);
    setNodeBitmap(ctx, n, &first, nullptr);
    EXPECT_TRUE(seam.released.empty());
    setNodeBitmap(ctx, n, &second, nullptr);
    EXPECT_EQ(seam.released, std::vector<void*>{&first});
    deleteNode(ctx, 0);
    EXPECT_EQ(seam.released, (std::vector<void*>{&first, &second}));
}

TEST_F(NodeOps, ClearGraphLeavesABorrowedTableAlone) {
    newNode();
    ctx.tableBorrowed = true;
    clearGraph(ctx);
    EXPECT_EQ(table.size(), 1u);
    ctx.tableBorrowed = false;
    clearGraph(ctx);
    EXPECT_TRUE(table.empty());
}

} // namespace
