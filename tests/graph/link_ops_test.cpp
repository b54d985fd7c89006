// link_ops_test.cpp - mirrored link entries, weights and the selected link.
#include "graph_fixture.h"

namespace {

class LinkOps : public GraphTest {
protected:
    SchematicNode& a = newNode();
    SchematicNode& b = newNode();
    SchematicSocket& out = output(a);
    SchematicSocket& in = input(b);
};

TEST_F(LinkOps, ToggleMakesALinkOfWeight100AndUndoesIt) {
    EXPECT_TRUE(toggleLink(ctx, out, in));
    EXPECT_EQ(out.links, std::vector<SchematicSocket*>{&in});
    EXPECT_EQ(out.linkWeights, std::vector<int32_t>{100});
    EXPECT_EQ(in.links, std::vector<SchematicSocket*>{&out});
    EXPECT_TRUE(in.linkWeights.empty());

    EXPECT_FALSE(toggleLink(ctx, out, in));
    EXPECT_TRUE(out.links.empty());
    EXPECT_TRUE(out.linkWeights.empty());
    EXPECT_TRUE(in.links.empty());
}

TEST_F(LinkOps, DisconnectRemovesDuplicatePairsFromEitherEnd) {
    EXPECT_FALSE(disconnectSockets(ctx, in, out));
    connectSockets(out, in, 1);
    connectSockets(out, in, 2);
    EXPECT_TRUE(disconnectSockets(ctx, in, out));
    EXPECT_TRUE(out.links.empty());
    EXPECT_TRUE(out.linkWeights.empty());
    EXPECT_TRUE(in.links.empty());
}

TEST_F(LinkOps, ConnectRefusesPairsThatAreNotOutputToInput) {
    SchematicSocket& out2 = output(b);
    EXPECT_FALSE(connectSockets(in, out));
    EXPECT_FALSE(connectSockets(out, out2));
    EXPECT_FALSE(toggleLink(ctx, out, out2));
    EXPECT_TRUE(out.links.empty());
    EXPECT_TRUE(out2.links.empty());
}

TEST_F(LinkOps, SelectedLinkFollowsItsLinkAndDiesWithIt) {
    SchematicSocket& in2 = input(b);
    SchematicSocket& in3 = input(b);
    connectSockets(out, in, 1);
    connectSockets(out, in2, 2);
    connectSockets(out, in3, 3);
    out.selectedLink = 2;
    ctx.selectedConnection = &out;

    disconnectSockets(ctx, out, in); // an earlier link
    EXPECT_EQ(out.selectedLink, 1);
    EXPECT_EQ(out.links[size_t(out.selectedLink)], &in3);
    EXPECT_EQ(ctx.selectedConnection, &out);

    disconnectSockets(ctx, in3, out); // the selected one, from the input's end
    EXPECT_EQ(out.selectedLink, -1);
    EXPECT_EQ(ctx.selectedConnection, nullptr);
    EXPECT_EQ(out.linkWeights, std::vector<int32_t>{2});
}

} // namespace
