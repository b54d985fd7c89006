// read_properties_test.cpp - commands run by reading, counts, and attribute reads.
#include <gtest/gtest.h>

#include "tests/script/script_session.h"

TEST(ReadProperties, EmptyControlCountsNothingAndAddressesNothing) {
    ScriptSession s;
    EXPECT_EQ(s.read("getNodeCount"), "0");
    EXPECT_EQ(s.read("activeNode"), "0");
    EXPECT_EQ(s.read("activeSocket"), "0");
    EXPECT_EQ(s.read("selectedNodeIndex"), "0");
    EXPECT_EQ(s.read("getSelectionCount"), "0");
    EXPECT_EQ(s.read("getSocketCount"), "0");
    EXPECT_EQ(s.read("getActiveSocketType"), "-1");
    EXPECT_EQ(s.read("nodeName"), "false");
    EXPECT_EQ(s.read("socketName"), "\"\"");
    EXPECT_EQ(s.read("activeSocketValue"), "-1.0");
}

TEST(ReadProperties, AddNodeAnswersTheNewNumberAndActivatesNothing) {
    ScriptSession s;
    EXPECT_EQ(s.read("addNode"), "1");
    EXPECT_EQ(s.read("addNode"), "2");
    EXPECT_EQ(s.read("addNode"), "3");
    EXPECT_EQ(s.read("activeNode"), "0");
    EXPECT_EQ(s.read("getSelectionCount"), "0");
    EXPECT_EQ(s.node(2).nodeName, "node");
    EXPECT_EQ(s.node(2).viewStateRef, s.sc.viewState.get());
}

TEST(ReadProperties, AddedSocketsAreNumberedInOrderAndInvalidateTheirNode) {
    ScriptSession s;
    s.addNodes(1, 1);
    s.set("activeNodePos", P2(10, 20));
    const int32_t heightBefore = s.node(0).height;
    ValidateRect(s.sc.window, nullptr);

    EXPECT_EQ(s.read("addInSocket"), "1");
    // The node's rectangle, grown by the new row.
    EXPECT_TRUE(updateRect(s.sc.window) == (RECT{10, 20, 110, 20 + heightBefore + 16}));
    EXPECT_EQ(s.read("addOutSocket"), "2");
    EXPECT_EQ(s.read("addInSocket"), "3");

    EXPECT_EQ(s.node(0).height, heightBefore + 48);
    const char* names[] = {"\"Input\"", "\"Output\"", "\"Input\""};
    const char* positions[] = {"[4.5,24]", "[82,40]", "[4.5,56]"};
    const char* types[] = {"0", "1", "0"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(s.write("activeSocket", I(i + 1)), "true");
        EXPECT_EQ(s.read("socketName"), names[i]);
        EXPECT_EQ(s.read("socketPosition"), positions[i]);
        EXPECT_EQ(s.read("getActiveSocketType"), types[i]);
    }
    EXPECT_EQ(s.read("connectionColor"), "(color 255 30 30)");
}

TEST(ReadProperties, DeleteActiveSocketMovesTheActiveSocketToTheHighestLeft) {
    ScriptSession s;
    s.addNodes(2, 1);
    for (int i = 0; i < 3; ++i) s.get("addOutSocket");
    s.set("activeNode", I(2));
    s.get("addInSocket");
    s.set("activeNode", I(1));
    s.set("activeSocket", I(3));
    s.set("toggleConnection", P2(2, 1));
    ASSERT_EQ(s.node(1).inputs[0]->links.size(), 1u);

    EXPECT_EQ(s.read("deleteActiveSocket"), "true");
    EXPECT_EQ(s.read("activeSocket"), "2");
    EXPECT_EQ(s.read("getSocketCount"), "2");
    EXPECT_TRUE(s.node(1).inputs[0]->links.empty()) << "the link went from both ends";

    s.set("activeNode", I(2));
    s.set("activeSocket", I(1));
    EXPECT_EQ(s.read("deleteActiveSocket"), "true");
    EXPECT_EQ(s.read("activeSocket"), "0");
    EXPECT_EQ(s.read("deleteActiveSocket"), "false") << "no active socket left";
}

TEST(ReadProperties, DeletingAMiddleSocketRenumbersTheRestAndLeavesTheirRows) {
    ScriptSession s;
    s.addNodes(1, 1);
    s.set("activeNodePos", P2(10, 20));
    s.get("addInSocket");
    s.get("addOutSocket");
    s.get("addInSocket");
    SchematicSocket* last = s.node(0).inputs[1];
    s.set("activeSocket", I(2));
    ValidateRect(s.sc.window, nullptr);

    EXPECT_EQ(s.read("deleteActiveSocket"), "true");
    EXPECT_EQ(s.read("getSocketCount"), "2");
    EXPECT_EQ(s.read("activeSocket"), "2") << "the highest number left";
    EXPECT_EQ(last->index, 1);
    EXPECT_EQ(s.read("socketPosition"), "[4.5,56]") << "its row stays, leaving a gap";
    EXPECT_EQ(s.node(0).height, 72) << "only the last row shrinks the node";
    // The node's rectangle and the row below it.
    EXPECT_TRUE(updateRect(s.sc.window) == (RECT{10, 20, 110, 108}));

    ValidateRect(s.sc.window, nullptr);
    EXPECT_EQ(s.read("deleteActiveSocket"), "true");
    EXPECT_EQ(s.node(0).height, 56);
    EXPECT_EQ(s.read("activeSocket"), "1");
    EXPECT_TRUE(updateRect(s.sc.window) == (RECT{10, 20, 110, 92}));
}

TEST(ReadProperties, DeleteActiveNodeRenumbersAndLeavesDeletedIndicesAlone) {
    ScriptSession s;
    s.addNodes(3, 3);
    s.set("nodeName", S("third"));
    s.set("activeNode", I(2));
    s.set("activeSocket", I(0));
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    s.node(1).bitmapHandle = bitmap;

    EXPECT_EQ(s.read("deleteActiveNode"), "true");
    EXPECT_EQ(s.read("getNodeCount"), "2");
    EXPECT_EQ(s.read("activeNode"), "0");
    EXPECT_EQ(s.read("activeSocket"), "0");
    EXPECT_EQ(s.read("getDeletedNodeCount"), "0");
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "the node's bitmap is released";
    s.set("activeNode", I(2));
    EXPECT_EQ(s.read("nodeName"), "\"third\"");
    EXPECT_EQ(s.read("deleteNodeActive"), "true");
    EXPECT_EQ(s.read("getNodeCount"), "1");
}

TEST(ReadProperties, ConnectingIndicesFollowLinkOrder) {
    ScriptSession s;
    s.addNodes(3, 1);
    s.get("addInSocket");
    s.set("activeNode", I(3));
    s.get("addInSocket");
    s.get("addInSocket");
    s.set("activeNode", I(2));
    s.get("addOutSocket");
    s.set("activeSocket", I(1));
    s.set("toggleConnection", P2(3, 2));
    s.set("toggleConnection", P2(1, 1));

    EXPECT_EQ(s.read("getActiveSocketConnectingNodeIndices"), "#(3, 1)");
    EXPECT_EQ(s.read("getActiveSocketConnectingSocketIndices"), "#(2, 1)");
    s.set("activeNode", I(3));
    s.set("activeSocket", I(2));
    EXPECT_EQ(s.read("getActiveSocketConnectingNodeIndices"), "#(2)");
    EXPECT_EQ(s.read("getActiveSocketConnectingSocketIndices"), "#(1)");
}

TEST(ReadProperties, HierarchyReadsNeedANode) {
    ScriptSession s;
    s.addNodes(2);
    EXPECT_EQ(s.read("getChildCount"), "undefined");
    EXPECT_EQ(s.read("parentNode"), "undefined");
    s.set("activeNode", I(2));
    EXPECT_EQ(s.read("parentNode"), "0");
    s.set("parentNode", I(1));
    EXPECT_EQ(s.read("parentNode"), "1");
    s.set("activeNode", I(1));
    EXPECT_EQ(s.read("getChildCount"), "1");
}

TEST(ReadProperties, NewNodeReadsItsDefaults) {
    ScriptSession s;
    s.addNodes(1, 1);
    EXPECT_EQ(s.read("textAlign"), "2");
    EXPECT_EQ(s.read("drawLayer"), "2");
    EXPECT_EQ(s.read("viewAlign"), "0");
    EXPECT_EQ(s.read("nodeColor"), "(color 224 198 87)");
    EXPECT_EQ(s.read("nodeSize"), "[100,24]");
    EXPECT_EQ(s.read("nodeCollapsedSize"), "[100,24]");
    EXPECT_EQ(s.read("bitmapSize"), "[80,80]");
    EXPECT_EQ(s.read("edgeSize"), "10.0");
    EXPECT_EQ(s.read("selectable"), "true");
    EXPECT_EQ(s.read("isselected"), "false");
    EXPECT_EQ(s.read("sceneNode"), "false");
}

TEST(ReadProperties, FlagsReadTrueOnlyForOne) {
    ScriptSession s;
    s.addNodes(1, 1);
    // Flags loaded from a file may carry any byte.
    s.node(0).posLocked = 2;
    EXPECT_EQ(s.read("posLocked"), "false");
    s.node(0).posLocked = 1;
    EXPECT_EQ(s.read("posLocked"), "true");
}

TEST(ReadProperties, SelectedConnectionIsReportedByNodeAndSocket) {
    ScriptSession s;
    s.addNodes(2, 2);
    s.get("addInSocket");
    s.get("addOutSocket");
    s.set("activeSocket", I(2));
    s.set("toggleConnection", P2(2, 1));
    EXPECT_EQ(s.read("getSelectedConnectionIndex"), "0");

    SchematicSocket* output = s.node(1).outputs[0];
    output->selectedLink = 0;
    s.sc.graph.selectedConnection = output;
    EXPECT_EQ(s.read("getSelectedConnectionNodeAndSocket"), "[2,2]");
    EXPECT_EQ(s.read("getSelectedConnectionIndex"), "1");
}

TEST(ReadProperties, RedrawCommandsInvalidateWithoutErasing) {
    ScriptSession s;
    s.addNodes(1, 1);
    s.set("activeNodePos", P2(30, 40));
    s.set("zoom", F(2));
    ValidateRect(s.sc.window, nullptr);
    EXPECT_EQ(s.read("redrawNode"), "OK");
    EXPECT_TRUE(updateRect(s.sc.window) == (RECT{60, 80, 260, 128}));

    ValidateRect(s.sc.window, nullptr);
    EXPECT_EQ(s.read("redrawView"), "OK");
    EXPECT_TRUE(updateRect(s.sc.window) == (RECT{0, 0, 320, 200}));
}

TEST(ReadProperties, ClosedRolloutReadsUnknownNamesAsUndefined) {
    ScriptSession s(false);
    EXPECT_EQ(s.read("noSuchProperty"), "undefined");
    // The host's own names too, and the window size: there is no window to ask.
    EXPECT_EQ(s.read("caption"), "undefined");
    EXPECT_EQ(s.read("width"), "undefined");
    EXPECT_EQ(s.read("height"), "undefined");
    EXPECT_EQ(s.read("addNode"), "1") << "the graph answers with or without a window";
    EXPECT_EQ(s.read("redrawView"), "OK");

    s.rollout.open();
    EXPECT_EQ(s.read("caption"), "\"Schematic\"");
    EXPECT_EQ(s.read("width"), "320");
    EXPECT_EQ(s.read("addNode"), "1") << "opening emptied the graph";
    s.rollout.close();
    EXPECT_EQ(s.read("caption"), "undefined");
    EXPECT_EQ(s.read("width"), "undefined");
    EXPECT_EQ(s.read("getNodeCount"), "1");

    s.rollout.open();
    EXPECT_EQ(errorOf([&] { s.get("noSuchProperty"); }),
              "-- Unknown property: \"noSuchProperty\" in SchematicControl:sc");
    EXPECT_EQ(errorOf([&] { s.get("findNodeByPos"); }),
              "-- Unknown property: \"findNodeByPos\" in SchematicControl:sc");
}
