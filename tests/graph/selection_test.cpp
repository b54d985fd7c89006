// selection_test.cpp - selection queries and the Delete-key operation.
#include "graph_fixture.h"

namespace {

using Selection = GraphTest;

std::vector<GraphEvent> kinds(const RecordingSeam& seam) {
    std::vector<GraphEvent> out;
    for (const auto& e : seam.events) out.push_back(e.event);
    return out;
}

TEST_F(Selection, SelectOnlyReplacesTheSelectionOrRefusesBadIndices) {
    for (int i = 0; i < 4; ++i) newNode().selected = 1;
    EXPECT_FALSE(selectOnly(ctx, 4));
    EXPECT_EQ(selectionCount(ctx), 4);
    EXPECT_TRUE(selectOnly(ctx, 2));
    EXPECT_TRUE(selectionCount(ctx) == 1 && lastSelectedIndex(ctx) == 2);
    EXPECT_TRUE(selectOnly(ctx, -1));
    EXPECT_TRUE(selectionCount(ctx) == 0 && lastSelectedIndex(ctx) == -1);
}

TEST_F(Selection, DeleteRemovesSelectedNodesHighestFirstBetweenItsEvents) {
    for (int i = 0; i < 4; ++i) newNode();
    SchematicNode* kept0 = table[0];
    SchematicNode* kept2 = table[2];
    table[1]->selected = table[3]->selected = 1;
    view.activeNode = 0;
    view.activeSocket = 0;
    deleteSelection(ctx);
    EXPECT_EQ(ctx.deletedNodeIndices, (std::vector<int32_t>{3, 1}));
    EXPECT_EQ(table, (SchematicGraph{kept0, kept2}));
    EXPECT_EQ(kinds(seam), (std::vector<GraphEvent>{GraphEvent::preNodesDeleted,
                                                    GraphEvent::nodesDeleted}));
    EXPECT_TRUE(seam.events[0].args.empty());
    EXPECT_EQ(view.activeNode, -1);
    EXPECT_EQ(view.activeSocket, -1);
    ASSERT_EQ(seam.redraws.size(), 1u);
    EXPECT_FALSE(seam.redraws[0].has_value());
}

TEST_F(Selection, DeleteWithNothingSelectedStillAnnouncesAndResets) {
    newNode();
    ctx.deletedNodeIndices = {4, 2};
    view.activeNode = 0;
    deleteSelection(ctx);
    EXPECT_EQ(kinds(seam), std::vector<GraphEvent>{GraphEvent::preNodesDeleted});
    EXPECT_TRUE(ctx.deletedNodeIndices.empty());
    EXPECT_EQ(view.activeNode, -1);
    EXPECT_EQ(table.size(), 1u);
}

TEST_F(Selection, DeleteDoesNothingWhenUIDeleteIsOff) {
    newNode().selected = 1;
    view.allowUIDelete = 0;
    view.activeNode = 0;
    ctx.deletedNodeIndices = {1};
    deleteSelection(ctx);
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(view.activeNode, 0);
    EXPECT_EQ(ctx.deletedNodeIndices, std::vector<int32_t>{1});
    EXPECT_TRUE(seam.events.empty() && seam.redraws.empty());
}

TEST_F(Selection, DeleteTakesOnlyTheSelectedConnectionWhenThereIsOne) {
    SchematicNode& a = newNode();
    SchematicNode& b = newNode();
    input(a);
    SchematicSocket& out = output(a);        // socket 1 of node 0
    SchematicSocket& in = input(b);          // socket 0 of node 1
    SchematicSocket& in2 = input(b);
    connectSockets(out, in2, 4);
    connectSockets(out, in, 5);
    connectSockets(out, in, 6);              // a duplicate goes too
    a.selected = b.selected = 1;
    out.selectedLink = 1;
    ctx.selectedConnection = &out;
    view.activeNode = 1;

    deleteSelection(ctx);
    EXPECT_EQ(table.size(), 2u);
    EXPECT_EQ(out.links, std::vector<SchematicSocket*>{&in2});
    EXPECT_EQ(out.linkWeights, std::vector<int32_t>{4});
    EXPECT_EQ(out.selectedLink, -1);
    EXPECT_EQ(ctx.selectedConnection, nullptr);
    EXPECT_EQ(view.activeNode, 1);
    ASSERT_EQ(seam.events.size(), 1u);
    EXPECT_EQ(seam.events[0].event, GraphEvent::connectionChanged);
    EXPECT_EQ(seam.events[0].args, (std::vector<int32_t>{1, 2, 1, 2, 0, 0}));
    EXPECT_EQ(seam.redraws.size(), 1u);
}

TEST_F(Selection, AHandlerDeletingTheNodesDuringTheEventIsSafe) {
    SchematicNode& a = newNode();
    SchematicSocket& out = output(a);
    connectSockets(out, input(a));
    out.selectedLink = 0;
    ctx.selectedConnection = &out;
    seam.handler = [&](GraphEvent) { clearGraph(ctx); };
    deleteSelection(ctx);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(seam.redraws.size(), 1u);
}

TEST_F(Selection, AStaleSelectedConnectionFallsBackToDeletingNodes) {
    SchematicNode& a = newNode();
    SchematicSocket& out = output(a);
    out.selectedLink = 3; // no such link
    ctx.selectedConnection = &out;
    a.selected = 1;
    deleteSelection(ctx);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(ctx.selectedConnection, nullptr);
}

} // namespace
