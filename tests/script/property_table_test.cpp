// property_table_test.cpp - every name, read and written with no active node or socket.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "host/scene/controllers.h"
#include "host/win32/images.h"
#include "host/win32/materials.h"
#include "host/scene/scene_values.h"
#include "tests/script/script_session.h"

namespace {

struct VocabularyName {
    const char* name;
    char kind;  // E event, P read and write, R read, W write
};

const VocabularyName kVocabulary[] = {
#define VANTREL_NAME(name, kind) {#name, #kind[0]},
#include "script/names.def"
#undef VANTREL_NAME
};

const char kFallsThrough[] = "falls through";

// Two nodes (the first with an output linked to an input of the second, the
// second a child of the first) and no active node or socket.
void buildUnaddressedGraph(ScriptSession& s) {
    s.addNodes(2, 1);
    s.get("addOutSocket");
    s.set("activeNode", I(2));
    s.get("addInSocket");
    s.set("parentNode", I(1));
    s.set("activeNode", I(1));
    s.set("activeSocket", I(1));
    s.set("toggleConnection", P2(2, 1));
    s.set("activeNode", I(0));
    s.sc.viewState->activeSocket = -1;
}

// Every event of the control lands in s.rollout.events.
void recordAllEvents(ScriptSession& s) {
    for (const VocabularyName& v : kVocabulary)
        if (v.kind == 'E') s.rollout.recordEvents({v.name});
}

std::string readResult(ScriptSession& s, const char* name) {
    try {
        return s.read(name);
    } catch (UnknownPropertyError&) {
        return kFallsThrough;
    }
}

std::string writeResult(ScriptSession& s, const char* name, Value* value) {
    try {
        return s.write(name, value);
    } catch (UnknownPropertyError&) {
        return kFallsThrough;
    }
}

}  // namespace

TEST(PropertyTables, EveryReadAnswersAsItsTableSaysWithNoActiveNodeOrSocket) {
    ScriptSession s;
    buildUnaddressedGraph(s);
    recordAllEvents(s);
    const std::map<std::string, std::string> expected = {
        // commands (addNode last: it changes the count)
        {"addInSocket", "false"}, {"addOutSocket", "false"}, {"deleteActiveSocket", "false"},
        {"deleteActiveNode", "false"}, {"deleteNodeActive", "false"}, {"redrawView", "OK"},
        {"redrawNode", "OK"}, {"dragDropShaderNode", "true"},
        // counts and indices
        {"getNodeCount", "2"}, {"activeNode", "0"}, {"activeSocket", "0"},
        {"selectedNodeIndex", "0"}, {"getSelectionCount", "0"}, {"getSocketCount", "0"},
        {"getActiveSocketType", "-1"}, {"getActiveSocketConnectingNodeIndices", "#()"},
        {"getActiveSocketConnectingSocketIndices", "#()"}, {"getSelectedConnectionIndex", "0"},
        {"getSelectedConnectionNodeAndSocket", "false"}, {"getChildCount", "undefined"},
        {"parentNode", "undefined"}, {"getDeletedNodeCount", "0"}, {"drawLastIndex", "0"},
        // node attributes
        {"nodeName", "false"}, {"nodeInfo", "false"}, {"bitmapPath", "false"},
        {"nodeBitmap", "OK"}, {"sceneNode", "false"}, {"activeNodePos", "false"},
        {"activeNodeCollapsed", "false"}, {"nodeColor", "false"}, {"nodeSize", "false"},
        {"nodeCollapsedSize", "false"}, {"bitmapSize", "false"}, {"edgeSize", "false"},
        {"nodeNameOffset", "false"}, {"textAlign", "false"}, {"isHidden", "false"},
        {"drawConnectionsFromParent", "false"}, {"viewAlignOffset", "false"},
        {"viewAlign", "undefined"}, {"drawLayer", "undefined"}, {"posLocked", "undefined"},
        {"selectable", "undefined"}, {"isselected", "undefined"},
        {"showBitmapOnly", "undefined"}, {"isCollapsible", "undefined"},
        {"showMiniBitmap", "undefined"},
        // socket attributes
        {"socketName", "\"\""}, {"socketInfo", "false"}, {"socketDataClass", "false"},
        {"socketPosition", "false"}, {"socketLabelOffset", "false"},
        {"connectionColor", "false"}, {"activeSocketFlipped", "false"},
        {"activeSocketValue", "-1.0"}, {"activeSocketShowValue", "false"},
        {"socketIsHidden", "false"}, {"drawSeperator", "false"}, {"sceneController", "false"},
        // view and control
        {"zoom", "1.0"}, {"pan", "[0,0]"}, {"allowUIDelete", "true"}, {"allowZoom", "true"},
        {"allowPan", "true"}, {"allowRegionSelect", "true"}, {"zoomAboutMouse", "true"},
        {"tileBackground", "false"}, {"showInfo", "true"}, {"drawWeights", "false"},
        {"drawShadows", "false"}, {"drawMenuBars", "false"}, {"useDrawLayers", "false"},
        {"nodeTransparency", "-1.0"},
        {"setInfo", "\"Vantrel Schematic - (use setInfo to change this text)\""},
        {"backgroundBitmap", "OK"}, {"backgroundPath", "\"\""}, {"storageContainer", "undefined"},
    };

    for (const VocabularyName& v : kVocabulary) {
        if (v.kind == 'E' || std::string(v.name) == "addNode") continue;
        ValidateRect(s.sc.window, nullptr);
        const std::string got = readResult(s, v.name);
        if (v.kind == 'W') {
            EXPECT_EQ(got, kFallsThrough) << v.name;
        } else {
            ASSERT_TRUE(expected.count(v.name)) << "no expectation for " << v.name;
            EXPECT_EQ(got, expected.at(v.name)) << v.name;
        }
        // Only redrawView asks for a repaint when nothing is addressed.
        const bool repaint = !(updateRect(s.sc.window) == RECT{});
        EXPECT_EQ(repaint, std::string(v.name) == "redrawView") << v.name;
    }
    EXPECT_EQ(s.read("width"), "320");
    EXPECT_EQ(s.read("height"), "200");
    EXPECT_EQ(s.nodeCount(), 2u) << "no refused command changed the graph";
    EXPECT_EQ(s.read("addNode"), "3");
    EXPECT_TRUE(s.rollout.events.empty());
}

TEST(PropertyTables, EveryWriteAnswersAsItsTableSaysWithNoActiveNodeOrSocket) {
    ScriptSession s;
    buildUnaddressedGraph(s);
    auto* bitmap = new MAXBitMap(new Bitmap(2, 2));
    StdMat material;
    INode sceneNode("box");
    HostFloatController controller;
    const std::map<std::string, std::pair<Value*, std::string>> expected = {
        {"width", {I(320), "true"}}, {"height", {I(200), "true"}},
        {"activeNode", {I(0), "true"}}, {"activeSocket", {I(1), "false"}},
        {"selectedNodeIndex", {I(0), "true"}},
        // node attributes
        {"nodeName", {S("a"), "false"}}, {"nodeInfo", {S("a"), "false"}},
        {"bitmapPath", {S("a"), "false"}}, {"nodeBitmap", {bitmap, "false"}},
        {"setRenderBall", {MAXMaterial::intern(&material), "false"}},
        {"sceneNode", {MAXNode::intern(&sceneNode), "false"}},
        {"activeNodePos", {P2(1, 2), "false"}}, {"activeNodePosRelative", {P2(1, 2), "false"}},
        {"activeNodeCollapsed", {&true_value, "OK"}},
        {"nodeColor", {new ColorValue(1.0f, 2.0f, 3.0f), "OK"}},
        {"nodeSize", {P2(50, 50), "OK"}}, {"nodeCollapsedSize", {P2(50, 50), "false"}},
        {"bitmapSize", {P2(50, 50), "false"}}, {"edgeSize", {F(3), "false"}},
        {"nodeNameOffset", {P2(1, 1), "false"}}, {"textAlign", {I(2), "false"}},
        {"isHidden", {&true_value, "false"}}, {"nodeIsHidden", {&true_value, "false"}},
        {"posLocked", {&true_value, "false"}}, {"selectable", {&false_value, "false"}},
        {"isselected", {&true_value, "false"}}, {"showBitmapOnly", {&true_value, "false"}},
        {"isCollapsible", {&false_value, "false"}}, {"showMiniBitmap", {&false_value, "false"}},
        {"drawConnectionsFromParent", {&true_value, "false"}}, {"parentNode", {I(0), "false"}},
        {"viewAlign", {I(1), "false"}}, {"viewAlignOffset", {P2(1, 1), "false"}},
        {"drawLayer", {I(3), "false"}},
        // socket attributes
        {"socketName", {S("a"), "false"}}, {"socketInfo", {S("a"), "false"}},
        {"socketDataClass", {S("a"), "false"}}, {"socketPosition", {P2(1, 1), "false"}},
        {"socketLabelOffset", {P2(1, 1), "false"}},
        {"connectionColor", {new ColorValue(1.0f, 2.0f, 3.0f), "false"}},
        {"activeSocketFlipped", {&true_value, "false"}}, {"activeSocketValue", {F(5), "-1.0"}},
        {"activeSocketShowValue", {&false_value, "OK"}}, {"socketIsHidden", {&true_value, "false"}},
        {"drawSeperator", {&true_value, "false"}},
        {"sceneController", {MAXControl::intern(&controller), "false"}},
        // links and queries
        {"toggleConnection", {P2(2, 1), "false"}}, {"setConnectionWeight", {P2(1, 50), "false"}},
        {"findNodeByPos", {P2(5, 5), "1"}}, {"childIndex", {I(1), "undefined"}},
        {"getConnectionWeight", {I(1), "false"}}, {"getDeletedNodeIndex", {I(1), "false"}},
        {"generateHLSL", {arrayOf({S("Result"), S("1"), S("1")}), "\"\""}},
        // view and control
        {"zoom", {F(1), "true"}}, {"pan", {P2(0, 0), "true"}},
        {"allowUIDelete", {&true_value, "OK"}}, {"allowZoom", {&true_value, "OK"}},
        {"allowPan", {&true_value, "OK"}}, {"allowRegionSelect", {&true_value, "OK"}},
        {"zoomAboutMouse", {&true_value, "OK"}}, {"tileBackground", {&false_value, "OK"}},
        {"showInfo", {&true_value, "OK"}}, {"drawWeights", {&false_value, "OK"}},
        {"drawShadows", {&false_value, "OK"}}, {"drawMenuBars", {&false_value, "OK"}},
        {"useDrawLayers", {&false_value, "OK"}}, {"drawLastIndex", {I(0), "OK"}},
        {"nodeTransparency", {F(-1), "OK"}}, {"setInfo", {S("info"), "OK"}},
        {"backgroundBitmap", {bitmap, "true"}}, {"backgroundPath", {S(""), "OK"}},
        {"storageContainer", {&undefined, "true"}}, {"dosCommandHidden", {S(""), "OK"}},
    };

    recordAllEvents(s);
    for (const VocabularyName& v : kVocabulary) {
        if (v.kind == 'E') continue;
        ValidateRect(s.sc.window, nullptr);
        auto row = expected.find(v.name);
        if (v.kind == 'R') {
            EXPECT_EQ(writeResult(s, v.name, I(1)), kFallsThrough) << v.name;
            continue;
        }
        ASSERT_NE(row, expected.end()) << "no expectation for " << v.name;
        EXPECT_EQ(writeResult(s, v.name, row->second.first), row->second.second) << v.name;
        EXPECT_TRUE(updateRect(s.sc.window) == RECT{}) << v.name << " asked for a repaint";
    }
    EXPECT_TRUE(s.rollout.events.empty());
    // The refused writes left both nodes as addNode made them.
    for (size_t i = 0; i < 2; ++i) {
        SchematicNode& n = s.node(i);
        EXPECT_EQ(n.nodeName, "node");
        EXPECT_EQ(n.collapsed, 0);
        EXPECT_EQ(n.nodeColor, rgb(224, 198, 87));
        EXPECT_EQ(n.width, 100);
        EXPECT_EQ(n.hidden, 0);
        EXPECT_EQ(n.selectable, 1);
        EXPECT_EQ(n.bitmapHandle, nullptr);
        EXPECT_EQ(n.sceneNode, nullptr);
    }
    EXPECT_EQ(s.node(0).outputs[0]->links.size(), 1u);
    EXPECT_EQ(s.node(0).outputs[0]->linkWeights, std::vector<int32_t>{100});
}
