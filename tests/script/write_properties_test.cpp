// write_properties_test.cpp - assignments: addressing, attributes, links, queries, size.
#include <gtest/gtest.h>

#include <cmath>

#include "host/scene/controllers.h"
#include "host/win32/images.h"
#include "host/scene/scene_values.h"
#include "tests/script/script_session.h"

TEST(WriteProperties, ActiveNodeAcceptsOnlyNumbersOfTheTable) {
    ScriptSession s;
    s.addNodes(3);
    EXPECT_EQ(s.write("activeNode", I(3)), "true");
    EXPECT_EQ(s.read("activeNode"), "3");
    EXPECT_EQ(s.write("activeNode", I(4)), "false");
    EXPECT_EQ(s.write("activeNode", I(-1)), "false");
    EXPECT_EQ(s.write("activeNode", I(INT_MIN)), "false");
    EXPECT_EQ(s.read("activeNode"), "3");
    EXPECT_EQ(s.write("activeNode", F(2.9f)), "true") << "floats truncate";
    EXPECT_EQ(s.read("activeNode"), "2");
    EXPECT_EQ(s.write("activeNode", I(0)), "true");
    EXPECT_EQ(s.read("activeNode"), "0");
    EXPECT_EQ(s.write("nodeName", S("a")), "false");
}

TEST(WriteProperties, ActiveSocketSurvivesAChangeOfNodeAndIsReadAgainstTheNewOne) {
    ScriptSession s;
    s.addNodes(2, 1);
    s.get("addInSocket");
    s.get("addOutSocket");
    s.set("activeNode", I(2));
    s.get("addInSocket");
    s.set("activeNode", I(1));
    EXPECT_EQ(s.write("activeSocket", I(3)), "false");
    EXPECT_EQ(s.write("activeSocket", I(-2)), "false");
    EXPECT_EQ(s.write("activeSocket", I(2)), "true");

    s.set("activeNode", I(2));
    EXPECT_EQ(s.read("activeSocket"), "2");
    EXPECT_EQ(s.write("socketName", S("x")), "false") << "node 2 has one socket";
    EXPECT_EQ(s.read("socketName"), "\"\"");
    s.set("activeNode", I(1));
    EXPECT_EQ(s.write("socketName", S("x")), "true");
    EXPECT_EQ(s.node(0).outputs[0]->socketName, "x");
}

TEST(WriteProperties, ZoomHasAFloorAndNaNTakesIt) {
    ScriptSession s;
    const std::pair<float, const char*> cases[] = {
        {0.05f, "0.1"}, {0.1f, "0.1"}, {3.0f, "3.0"}, {-2.0f, "0.1"}, {NAN, "0.1"}};
    for (auto [zoom, stored] : cases) {
        EXPECT_EQ(s.write("zoom", F(zoom)), "true");
        EXPECT_EQ(s.read("zoom"), stored) << zoom;
    }
}

TEST(WriteProperties, TextAlignRefusesAndDrawLayerClamps) {
    ScriptSession s;
    s.addNodes(1, 1);
    EXPECT_EQ(s.write("textAlign", I(4)), "false");
    EXPECT_EQ(s.write("textAlign", I(0)), "false");
    EXPECT_EQ(s.read("textAlign"), "2");
    EXPECT_EQ(s.write("textAlign", I(3)), "true");
    EXPECT_EQ(s.node(0).textAlign, 2);

    const std::pair<int, int32_t> layers[] = {{7, 2}, {0, 0}, {INT_MIN, 0}, {INT_MAX, 2}, {1, 0}};
    for (auto [written, stored] : layers) {
        EXPECT_EQ(s.write("drawLayer", I(written)), "OK");
        EXPECT_EQ(s.node(0).drawLayer, stored) << written;
    }
}

TEST(WriteProperties, ToggleConnectionMakesThenRemovesTheLink) {
    ScriptSession s;
    s.addNodes(2, 2);
    s.get("addInSocket");
    s.get("addOutSocket");
    s.set("activeNode", I(1));
    s.get("addOutSocket");
    s.set("activeSocket", I(1));
    SchematicSocket* output = s.node(0).outputs[0];
    SchematicSocket* input = s.node(1).inputs[0];

    EXPECT_EQ(s.write("toggleConnection", P2(2, 1)), "true");
    EXPECT_EQ(output->links, std::vector<SchematicSocket*>{input});
    EXPECT_EQ(output->linkWeights, std::vector<int32_t>{100});
    EXPECT_EQ(input->links, std::vector<SchematicSocket*>{output});
    EXPECT_EQ(s.write("toggleConnection", P2(2, 1)), "true");
    EXPECT_TRUE(output->links.empty());
    EXPECT_TRUE(output->linkWeights.empty());
    EXPECT_TRUE(input->links.empty());
    // Numbers become indices in floating point, then truncate.
    EXPECT_EQ(s.write("toggleConnection", P2(2.9f, 1.9f)), "true");
    EXPECT_EQ(output->links, std::vector<SchematicSocket*>{input});
    EXPECT_EQ(s.write("toggleConnection", P2(2.9f, 1.9f)), "true");
    EXPECT_TRUE(output->links.empty());

    // Refusals: an output as target, numbers outside the table, an input active.
    for (Value* target : {P2(2, 2), P2(3, 1), P2(0, 1), P2(2, 0), P2(-1, 1), P2(2, 3)})
        EXPECT_EQ(s.write("toggleConnection", target), "false") << print_form(target);
    EXPECT_EQ(s.write("toggleConnection", P2(1, 1)), "false") << "output to itself";
    s.set("activeNode", I(2));
    s.set("activeSocket", I(1));
    EXPECT_EQ(s.write("toggleConnection", P2(2, 1)), "false");
    EXPECT_TRUE(input->links.empty());
}

TEST(WriteProperties, ConnectionWeightsLiveOnOutputsOnly) {
    ScriptSession s;
    s.addNodes(2, 2);
    s.get("addInSocket");
    s.set("activeNode", I(1));
    s.get("addOutSocket");
    s.set("activeSocket", I(1));
    s.set("toggleConnection", P2(2, 1));

    EXPECT_EQ(s.write("setConnectionWeight", P2(1, 42.9f)), "true");
    EXPECT_EQ(s.write("getConnectionWeight", I(1)), "42");
    for (Value* refused : {P2(2, 5), P2(0, 5), P2(-3, 5)})
        EXPECT_EQ(s.write("setConnectionWeight", refused), "false") << print_form(refused);
    EXPECT_EQ(s.write("getConnectionWeight", I(2)), "false");
    EXPECT_EQ(s.write("getConnectionWeight", I(0)), "false");
    EXPECT_EQ(s.write("getConnectionWeight", I(INT_MIN)), "false");

    s.set("activeNode", I(2));
    s.set("activeSocket", I(1));
    EXPECT_EQ(s.write("setConnectionWeight", P2(1, 5)), "false");
    EXPECT_EQ(s.write("getConnectionWeight", I(1)), "false");
    EXPECT_EQ(s.node(0).outputs[0]->linkWeights, std::vector<int32_t>{42});
}

TEST(WriteProperties, SelectedNodeIndexSelectsOneOrNone) {
    ScriptSession s;
    s.addNodes(3);
    s.node(0).selected = s.node(2).selected = 1;
    EXPECT_EQ(s.write("selectedNodeIndex", I(2)), "true");
    EXPECT_EQ(s.read("getSelectionCount"), "1");
    EXPECT_EQ(s.read("selectedNodeIndex"), "2");
    EXPECT_EQ(s.write("selectedNodeIndex", I(4)), "false");
    EXPECT_EQ(s.write("selectedNodeIndex", I(-1)), "false");
    EXPECT_EQ(s.read("selectedNodeIndex"), "2");
    EXPECT_EQ(s.write("selectedNodeIndex", I(0)), "true");
    EXPECT_EQ(s.read("getSelectionCount"), "0");
    EXPECT_EQ(s.read("activeNode"), "0");
}

TEST(WriteProperties, ParentNodeKeepsThePlaceAndRefusesCycles) {
    ScriptSession s;
    s.addNodes(3, 1);
    s.set("activeNodePos", P2(100, 50));
    s.set("activeNode", I(2));
    s.set("activeNodePos", P2(130, 70));

    EXPECT_EQ(s.write("parentNode", I(1)), "true");
    EXPECT_EQ(s.read("activeNodePos"), "[30,20]");
    EXPECT_EQ(s.write("parentNode", I(4)), "false");
    EXPECT_EQ(s.write("parentNode", I(-1)), "false");
    EXPECT_EQ(s.write("parentNode", I(2)), "false") << "its own parent";
    s.set("activeNode", I(3));
    s.set("parentNode", I(2));
    s.set("activeNode", I(1));
    EXPECT_EQ(s.write("parentNode", I(3)), "false") << "a grandchild as parent";
    EXPECT_EQ(s.read("parentNode"), "0");

    s.set("activeNode", I(2));
    EXPECT_EQ(s.read("parentNode"), "1");
    EXPECT_EQ(s.write("parentNode", I(0)), "true");
    EXPECT_EQ(s.read("activeNodePos"), "[130,70]");
    EXPECT_EQ(s.read("parentNode"), "0");
}

TEST(WriteProperties, ChildIndexAndDeletedNodeIndexAnswerByNumber) {
    ScriptSession s;
    s.addNodes(4, 4);
    s.set("parentNode", I(1));
    s.set("activeNode", I(1));
    EXPECT_EQ(s.write("childIndex", I(1)), "4");
    EXPECT_EQ(s.write("childIndex", I(0)), "false");
    EXPECT_EQ(s.write("childIndex", I(2)), "false");
    s.set("activeNode", I(0));
    EXPECT_EQ(s.write("childIndex", I(1)), "undefined");

    EXPECT_EQ(s.write("getDeletedNodeIndex", I(1)), "false");
    s.node(1).selected = s.node(3).selected = 1;
    deleteSelection(s.sc.graph);
    EXPECT_EQ(s.read("getDeletedNodeCount"), "2");
    EXPECT_EQ(s.write("getDeletedNodeIndex", I(1)), "4");
    EXPECT_EQ(s.write("getDeletedNodeIndex", I(2)), "2");
    EXPECT_EQ(s.write("getDeletedNodeIndex", I(3)), "false");
    EXPECT_EQ(s.write("getDeletedNodeIndex", I(0)), "false");
}

TEST(WriteProperties, PositionsAndSizes) {
    ScriptSession s;
    s.addNodes(1, 1);
    s.get("addInSocket");
    s.get("addOutSocket");
    s.set("zoom", F(2));
    s.set("pan", P2(10, 20));
    EXPECT_EQ(s.write("activeNodePosRelative", P2(110, 60)), "true");
    EXPECT_EQ(s.read("activeNodePos"), "[50,20]");

    EXPECT_EQ(s.write("nodeSize", P2(150.7f, 80.2f)), "OK");
    EXPECT_EQ(s.read("nodeSize"), "[150,80]");
    EXPECT_EQ(s.node(0).outputs[0]->socketPosition.x, 132.0f) << "outputs follow the right edge";
    EXPECT_EQ(s.node(0).inputs[0]->socketPosition.x, 4.5f);
    EXPECT_EQ(s.write("nodeCollapsedSize", P2(60.9f, -3.5f)), "true");
    EXPECT_EQ(s.read("nodeCollapsedSize"), "[60,-3]");

    s.set("activeSocket", I(2));
    EXPECT_EQ(s.write("activeSocketFlipped", &true_value), "true");
    EXPECT_EQ(s.read("socketPosition"), "[4.5,40]");
    EXPECT_EQ(s.write("activeSocketValue", F(2.5f)), "2.5");
    EXPECT_EQ(s.read("activeSocketValue"), "2.5");
}

TEST(WriteProperties, FindNodeByPosTakesTheFirstSelectableVisibleNodeStrictlyInside) {
    ScriptSession s;
    s.addNodes(3, 1);
    s.set("activeNodePos", P2(10, 10));  // 100 x 24, like the others
    s.set("activeNode", I(2));
    s.set("activeNodePos", P2(50, 20));
    s.set("activeNode", I(3));
    s.set("activeNodePos", P2(200, 100));

    EXPECT_EQ(s.write("findNodeByPos", P2(60, 25)), "1") << "overlap: the lower number";
    EXPECT_EQ(s.write("findNodeByPos", P2(10, 20)), "0") << "on the left edge";
    EXPECT_EQ(s.write("findNodeByPos", P2(140, 30)), "2");
    EXPECT_EQ(s.write("findNodeByPos", P2(150, 30)), "0") << "on the right edge of node 2";
    s.set("activeNode", I(1));
    s.set("selectable", &false_value);
    EXPECT_EQ(s.write("findNodeByPos", P2(60, 25)), "2");
    s.set("activeNode", I(2));
    s.set("isHidden", &true_value);
    EXPECT_EQ(s.write("findNodeByPos", P2(60, 25)), "0");

    s.set("zoom", F(2));
    s.set("pan", P2(-100, -50));
    EXPECT_EQ(s.write("findNodeByPos", P2(301, 151)), "3");
    EXPECT_EQ(s.write("findNodeByPos", P2(299, 151)), "0");
}

TEST(WriteProperties, WrongKindsRaiseTheConversionErrorAndChangeNothing) {
    ScriptSession s;
    s.addNodes(2, 1);
    s.get("addOutSocket");
    s.set("activeSocket", I(1));
    s.set("nodeName", S("kept"));
    s.set("activeNodePos", P2(5, 6));

    EXPECT_EQ(errorOf([&] { s.set("nodeName", I(5)); }), "-- Unable to convert: 5 to type: String");
    EXPECT_EQ(errorOf([&] { s.set("activeNodePos", S("abc")); }),
              "-- Unable to convert: \"abc\" to type: Point2");
    EXPECT_EQ(errorOf([&] { s.set("activeNode", S("2")); }),
              "-- Unable to convert: \"2\" to type: Integer");
    EXPECT_EQ(errorOf([&] { s.set("zoom", &undefined); }),
              "-- Unable to convert: undefined to type: Float");
    EXPECT_EQ(errorOf([&] { s.set("nodeColor", I(5)); }), "-- Unable to convert: 5 to type: Color");
    EXPECT_EQ(errorOf([&] { s.set("toggleConnection", I(2)); }),
              "-- Unable to convert: 2 to type: Point2");
    EXPECT_EQ(errorOf([&] { s.set("posLocked", S("yes")); }),
              "-- Unable to convert: \"yes\" to type: BooleanClass");
    EXPECT_EQ(errorOf([&] { s.set("sceneNode", I(5)); }), "-- Unable to convert: 5 to type: node");
    EXPECT_EQ(errorOf([&] { s.set("sceneController", I(5)); }),
              "-- Unable to convert: 5 to type: controller");
    EXPECT_EQ(errorOf([&] { s.set("storageContainer", I(5)); }),
              "-- Unable to convert: 5 to type: controller");
    EXPECT_EQ(errorOf([&] { s.set("setRenderBall", I(5)); }),
              "-- Unable to convert: 5 to type: material");
    EXPECT_EQ(errorOf([&] { s.set("activeSocketValue", S("x")); }),
              "-- Unable to convert: \"x\" to type: Float");

    EXPECT_EQ(s.read("nodeName"), "\"kept\"");
    EXPECT_EQ(s.read("activeNodePos"), "[5,6]");
    EXPECT_EQ(s.read("activeNode"), "1");
    EXPECT_EQ(s.read("zoom"), "1.0");
    EXPECT_EQ(s.read("nodeColor"), "(color 224 198 87)");
    EXPECT_EQ(s.read("posLocked"), "false");
    EXPECT_EQ(s.read("activeSocketValue"), "0.0");
    EXPECT_TRUE(s.node(0).outputs[0]->links.empty());
}

TEST(WriteProperties, StorageContainerAcceptsFloatControllersOnly) {
    ScriptSession s;
    s.addNodes(2);
    HostFloatController floatController;
    HostPositionController positionController;
    EXPECT_EQ(s.write("storageContainer", &undefined), "true");
    EXPECT_EQ(s.write("storageContainer", MAXControl::intern(&positionController)), "false");
    EXPECT_EQ(s.write("storageContainer", MAXControl::intern(&floatController)), "true");
    EXPECT_EQ(s.read("storageContainer"), "undefined") << "not a container: nothing bound";
    EXPECT_EQ(s.read("getNodeCount"), "2");
}

TEST(WriteProperties, DrawLastIndexStoresNoneForZeroAndBelow) {
    ScriptSession s;
    s.addNodes(2);
    EXPECT_EQ(s.write("drawLastIndex", I(2)), "OK");
    EXPECT_EQ(s.sc.viewState->drawLastIndex, 1);
    EXPECT_EQ(s.write("drawLastIndex", I(-5)), "OK");
    EXPECT_EQ(s.sc.viewState->drawLastIndex, -1);
    EXPECT_EQ(s.read("drawLastIndex"), "0");
}

TEST(WriteProperties, WidthAndHeightResizeTheOpenWindowAndItsBackBuffer) {
    ScriptSession s(true, 320, 200);
    HWND window = s.sc.window;
    RECT before;
    GetWindowRect(window, &before);
    MapWindowPoints(HWND_DESKTOP, s.rollout.rollout().page, reinterpret_cast<POINT*>(&before), 2);

    EXPECT_EQ(s.write("width", I(250)), "true");
    EXPECT_EQ(s.write("height", I(120)), "true");
    EXPECT_EQ(s.read("width"), "250");
    EXPECT_EQ(s.read("height"), "120");
    RECT after;
    GetWindowRect(window, &after);
    MapWindowPoints(HWND_DESKTOP, s.rollout.rollout().page, reinterpret_cast<POINT*>(&after), 2);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(s.sc.viewState->viewRect.right, 250);
    EXPECT_EQ(s.sc.viewState->viewRect.bottom, 120);
    BITMAP bm{};
    GetObjectA(s.sc.backBuffer.bitmap.get(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 250);
    EXPECT_EQ(bm.bmHeight, 120);
    EXPECT_EQ(s.write("width", I(-10)), "true");
    EXPECT_EQ(s.read("width"), "0");

    // Closed, the host keeps the size in its layout; a read has no window to ask.
    s.rollout.close();
    EXPECT_EQ(s.write("width", I(180)), "180");
    auto baseReads = [&](const char* name) {
        Value* args[1] = {Name::intern(name)};
        return print_form(s.sc.RolloutControl::get_property(args, 1));
    };
    EXPECT_EQ(baseReads("width"), "180");
    EXPECT_EQ(baseReads("height"), "120");
    EXPECT_EQ(s.read("width"), "undefined");
    EXPECT_EQ(s.read("height"), "undefined");
}

TEST(WriteProperties, WritesThatChangeTheGraphNeitherRepaintNorRaiseEvents) {
    ScriptSession s;
    s.addNodes(2, 2);
    s.get("addInSocket");
    s.set("activeNode", I(1));
    s.get("addOutSocket");
    s.set("activeSocket", I(1));
    s.rollout.recordEvents({"connectionChanged", "nodesDeleted", "preNodesDeleted"});
    auto* bitmap = new MAXBitMap(new Bitmap(4, 4));
    const std::pair<const char*, Value*> writes[] = {
        {"toggleConnection", P2(2, 1)}, {"setConnectionWeight", P2(1, 7)},
        {"nodeBitmap", bitmap}, {"nodeBitmap", &undefined}, {"nodeSize", P2(140, 60)},
        {"activeNodePos", P2(40, 30)}, {"activeNodeCollapsed", &true_value},
        {"nodeColor", new ColorValue(10.0f, 20.0f, 30.0f)}, {"isHidden", &true_value},
        {"isselected", &true_value}, {"activeSocketFlipped", &true_value},
        {"connectionColor", new ColorValue(1.0f, 2.0f, 3.0f)}, {"socketName", S("out")},
        {"selectedNodeIndex", I(2)}, {"zoom", F(2)}, {"pan", P2(5, 5)},
        {"backgroundBitmap", bitmap}, {"drawLayer", I(3)}, {"activeNode", I(2)},
        {"parentNode", I(1)}, {"activeNode", I(1)}, {"toggleConnection", P2(2, 1)},
    };
    for (auto [name, value] : writes) {
        ValidateRect(s.sc.window, nullptr);
        EXPECT_NE(s.write(name, value), "false") << name;
        EXPECT_TRUE(updateRect(s.sc.window) == RECT{}) << name << " asked for a repaint";
    }
    EXPECT_TRUE(s.rollout.events.empty());
    EXPECT_EQ(s.node(1).parent, &s.node(0));
    EXPECT_TRUE(s.node(0).outputs[0]->links.empty()) << "the second toggle removed the link";
}

// A non-finite number addresses nothing, wherever it is given: every property that names a
// node, socket or link refuses it with the conversion error and changes nothing.
TEST(WriteProperties, NonFiniteNumbersAddressNothingAnywhere) {
    struct Case {
        const char* property;
        std::function<Value*(float)> value;
    };
    const Case cases[] = {
        {"activeNode", [](float f) { return F(f); }},
        {"activeSocket", [](float f) { return F(f); }},
        {"selectedNodeIndex", [](float f) { return F(f); }},
        {"parentNode", [](float f) { return F(f); }},
        {"drawLastIndex", [](float f) { return F(f); }},
        {"childIndex", [](float f) { return F(f); }},
        {"getDeletedNodeIndex", [](float f) { return F(f); }},
        {"getConnectionWeight", [](float f) { return F(f); }},
        {"toggleConnection", [](float f) { return P2(f, f); }},
        {"toggleConnection", [](float f) { return P2(2, f); }},
        {"toggleConnection", [](float f) { return P2(f, 1); }},
        {"setConnectionWeight", [](float f) { return P2(f, 7); }},
    };
    for (float bad : {NAN, INFINITY, -INFINITY}) {
        for (const Case& c : cases) {
            ScriptSession s;
            s.addNodes(2, 1);
            s.get("addInSocket");
            s.get("addOutSocket");
            s.set("activeSocket", I(2));
            s.set("toggleConnection", P2(1, 1));  // node 1's output feeds its own input
            s.set("drawLastIndex", I(2));
            ASSERT_EQ(s.node(0).outputs[0]->linkWeights, std::vector<int32_t>{100});
            Value* value = c.value(bad);
            const std::string expected = "-- Unable to convert: " + print_form(value) + " to type: Integer";
            EXPECT_EQ(errorOf([&] { s.set(c.property, value); }), expected) << c.property << " = " << bad;
            EXPECT_EQ(s.read("activeNode"), "1") << c.property;
            EXPECT_EQ(s.read("activeSocket"), "2") << c.property;
            EXPECT_EQ(s.read("drawLastIndex"), "2") << c.property;
            EXPECT_EQ(s.node(0).outputs[0]->links.size(), 1u) << c.property;
            EXPECT_EQ(s.node(0).outputs[0]->linkWeights, std::vector<int32_t>{100}) << c.property;
            EXPECT_EQ(s.node(1).parent, nullptr) << c.property;
        }
    }
}
