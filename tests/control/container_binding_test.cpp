// container_binding_test.cpp - storageContainer: binding, rebinding, release, takeover, deletion, save and load.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "controller/vantrel_controller.h"
#include "graph/graph.h"
#include "host/core/errors.h"
#include "host/win32/images.h"
#include "host/scene/scene.h"
#include "host/scene/scene_functions.h"
#include "tests/support/plugin_session.h"
#include "tests/support/graph_signature.h"
#include "tests/support/host_test_support.h"

namespace {

Value* newController(const char* className) {
    Value* name[] = {Name::intern(className)};
    return create_instance_cf(name, 1);
}

vantrelController& containerOf(Value* v) { return *static_cast<vantrelController*>(v->to_controller()); }

Value* writeContainer(SchematicControl& sc, Value* v) {
    Value* args[] = {v, Name::intern("storageContainer")};
    return sc.set_property(args, 2);
}

Value* readContainer(SchematicControl& sc) {
    Value* args[] = {Name::intern("storageContainer")};
    return sc.get_property(args, 1);
}

Value* writeProperty(SchematicControl& sc, const char* name, Value* v) {
    Value* args[] = {v, Name::intern(name)};
    return sc.set_property(args, 2);
}

// A container holding three nodes, zoom 2, pan (10, 20) and a background path.
Value* filledContainer() {
    Value* v = newController("vantrelController");
    vantrelController& c = containerOf(v);
    GraphContext ctx = c.graphContext();
    for (int i = 0; i < 3; ++i) addNode(ctx);
    connectSockets(*addSocket(ctx, *c.nodeTable[0], 1, "Output", false),
                   *addSocket(ctx, *c.nodeTable[1], 0, "Input", false), 5);
    c.containerView->zoom = 2.0f;
    c.containerView->pan = {10, 20};
    c.backgroundPath = "bg.bmp";
    return v;
}

class StorageContainer : public ::testing::Test {
protected:
    StorageContainer() {
        PluginSession::get();
        the_scene().reset();
    }
    ~StorageContainer() override { the_scene().reset(); }
    TestRollout ro;
    SchematicControl& sc = ro.control();
};

TEST_F(StorageContainer, OnlyFloatControllersAreAcceptedAndOnlyContainersBind) {
    EXPECT_EQ(readContainer(sc), &undefined);
    EXPECT_EQ(writeContainer(sc, &undefined), &true_value);
    EXPECT_EQ(writeContainer(sc, newController("Bezier_Float")), &true_value);
    EXPECT_EQ(sc.storageContainer, nullptr);
    EXPECT_EQ(writeContainer(sc, newController("Bezier_Position")), &false_value);
    EXPECT_EQ(sc.storageContainer, nullptr);
    EXPECT_EQ(sc.graph.nodeTable, sc.ownTable.get());
    try {
        writeContainer(sc, Integer::intern(5));
        FAIL();
    } catch (ConversionError& e) {
        EXPECT_EQ(e.message(), "-- Unable to convert: 5 to type: controller");
    }
    Value* gone = newController("vantrelController");
    Value* arg[] = {gone};
    scene_delete_cf(arg, 1);
    EXPECT_THROW(writeContainer(sc, gone), RuntimeError);
}

TEST_F(StorageContainer, BoundControlWorksOnTheContainersTableAndReleaseLeavesItTheNodes) {
    Rooted v(filledContainer());
    vantrelController& c = containerOf(v.slot);
    ASSERT_TRUE(ro.open());
    EXPECT_EQ(writeContainer(sc, v.slot), &true_value);
    EXPECT_EQ(readContainer(sc), v.slot);
    EXPECT_EQ(sc.graph.nodeTable, &c.nodeTable);
    EXPECT_TRUE(sc.graph.tableBorrowed);
    EXPECT_EQ(sc.ownTable, nullptr) << "the control's own table is discarded";
    EXPECT_EQ(c.owner, &sc);
    EXPECT_EQ(sc.viewState->zoom, 2.0f);
    EXPECT_EQ(sc.viewState->pan.y, 20.0f);
    EXPECT_EQ(sc.backgroundPath, "bg.bmp");
    for (SchematicNode* n : c.nodeTable) EXPECT_EQ(n->viewStateRef, sc.viewState.get());

    addNode(sc.graph);
    EXPECT_EQ(c.nodeTable.size(), 4u) << "nodes added while bound belong to the container";
    ro.close();
    ASSERT_TRUE(ro.open());
    EXPECT_EQ(c.nodeTable.size(), 4u) << "reopening shows the container's graph again";
    EXPECT_EQ(writeContainer(sc, v.slot), &true_value);
    EXPECT_EQ(sc.graph.nodeTable, &c.nodeTable);

    EXPECT_EQ(writeContainer(sc, &undefined), &true_value);
    EXPECT_EQ(readContainer(sc), &undefined);
    EXPECT_TRUE(sc.graph.nodeTable->empty());
    EXPECT_FALSE(sc.graph.tableBorrowed);
    EXPECT_EQ(c.nodeTable.size(), 4u);
    EXPECT_EQ(c.owner, nullptr);
    for (SchematicNode* n : c.nodeTable) EXPECT_EQ(n->viewStateRef, c.containerView.get());
}

TEST_F(StorageContainer, BindingASecondContainerLeavesTheFirstItsNodesWithoutOwner) {
    Rooted first(filledContainer()), second(newController("vantrelController"));
    writeContainer(sc, first.slot);
    writeContainer(sc, second.slot);
    EXPECT_EQ(containerOf(first.slot).owner, nullptr);
    EXPECT_EQ(containerOf(first.slot).nodeTable.size(), 3u);
    EXPECT_EQ(containerOf(second.slot).owner, &sc);
    EXPECT_EQ(sc.graph.nodeTable, &containerOf(second.slot).nodeTable);
}

TEST_F(StorageContainer, SecondControlTakingTheContainerLeavesTheFirstOnATableOfItsOwn) {
    TestRollout other;
    SchematicControl& sc2 = other.control();
    Rooted v(filledContainer());
    vantrelController& c = containerOf(v.slot);
    writeContainer(sc, v.slot);
    writeContainer(sc2, v.slot);

    EXPECT_EQ(c.owner, &sc2);
    EXPECT_EQ(sc.storageContainer, nullptr);
    EXPECT_TRUE(sc.graph.nodeTable->empty());
    EXPECT_FALSE(sc.graph.tableBorrowed);
    for (SchematicNode* n : c.nodeTable) EXPECT_EQ(n->viewStateRef, sc2.viewState.get());
    EXPECT_FALSE(sc.sceneWatch.watches(&c));
    EXPECT_TRUE(sc2.sceneWatch.watches(&c));
}

TEST_F(StorageContainer, ContainerDeletedWhileBoundLeavesTheControlOnAnEmptyTable) {
    Rooted v(filledContainer());
    vantrelController& c = containerOf(v.slot);
    ASSERT_TRUE(ro.open());
    writeContainer(sc, v.slot);
    sc.graph.dragSocket = c.nodeTable[0]->outputs[0];
    sc.graph.selectedConnection = c.nodeTable[0]->outputs[0];

    Value* arg[] = {v.slot};
    EXPECT_EQ(scene_delete_cf(arg, 1), &true_value);
    EXPECT_EQ(sc.storageContainer, nullptr);
    EXPECT_EQ(sc.graph.dragSocket, nullptr);
    EXPECT_EQ(sc.graph.selectedConnection, nullptr);
    EXPECT_TRUE(sc.graph.nodeTable->empty());
    EXPECT_EQ(readContainer(sc), &undefined);
    addNode(sc.graph);
    InvalidateRect(sc.window, nullptr, FALSE);
    UpdateWindow(sc.window);
    EXPECT_EQ(sc.graph.nodeTable->size(), 1u);
}

TEST_F(StorageContainer, CollectingABoundControlClearsTheOwnerAndLeavesTheNodes) {
    Rooted v(filledContainer());
    vantrelController& c = containerOf(v.slot);
    auto* dropped = new TestRollout;
    SchematicControl* control = &dropped->control();
    writeContainer(*control, v.slot);
    dropped->drop();
    gc();
    ASSERT_FALSE(gc_is_live(control));
    EXPECT_EQ(c.owner, nullptr);
    EXPECT_EQ(c.nodeTable.size(), 3u);
    EXPECT_EQ(c.nodeTable[0]->outputs[0]->linkWeights, std::vector<int32_t>{5});
    for (SchematicNode* n : c.nodeTable) EXPECT_EQ(n->viewStateRef, c.containerView.get());
    delete dropped;
}

TEST_F(StorageContainer, SceneSavedResetLoadedAndReboundGivesTheSameGraph) {
    const std::string path = exe_folder() + "\\binding_test.vsc";
    Value* v = filledContainer();
    Value* arg[] = {v};
    scene_add_track_cf(arg, 1);
    writeContainer(sc, v);
    GraphContext& g = sc.graph;
    SchematicNode& extra = *(*g.nodeTable)[size_t(addNode(g) - 1)];
    extra.nodeName = "extra";
    SchematicSocket& a = *addSocket(g, *(*g.nodeTable)[0], 1, "Output", false);
    connectSockets(a, *(*g.nodeTable)[1]->inputs[0], 7);
    connectSockets(a, *addSocket(g, extra, 0, "Input", false), 9);
    setParent(extra, (*g.nodeTable)[2], true);
    sc.viewState->zoom = 0.5f;
    sc.viewState->pan = {-3, 4};
    sc.backgroundPath = "saved.bmp";
    const std::string before = graphSignature(*g.nodeTable);

    Value* file[] = {new String(path.c_str())};
    scene_save_cf(file, 1);
    scene_reset_cf(nullptr, 0);
    EXPECT_EQ(sc.storageContainer, nullptr);
    EXPECT_TRUE(sc.graph.nodeTable->empty());

    scene_load_cf(file, 1);
    auto* tracks = static_cast<Array*>(scene_tracks_cf(nullptr, 0));
    ASSERT_EQ(tracks->size, 1);
    EXPECT_EQ(writeContainer(sc, tracks->data[0]), &true_value);
    EXPECT_EQ(graphSignature(*sc.graph.nodeTable), before);
    EXPECT_EQ(sc.viewState->zoom, 0.5f);
    EXPECT_EQ(sc.viewState->pan.x, -3.0f);
    EXPECT_EQ(sc.backgroundPath, "saved.bmp");

    // A damaged copy is refused; the bound graph stays as it is.
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    in.close();
    std::ofstream(path, std::ios::binary) << bytes.substr(0, bytes.size() - 5);
    try {
        scene_load_cf(file, 1);
        FAIL();
    } catch (RuntimeError& e) {
        EXPECT_EQ(e.message().rfind("-- Runtime error: Scene file " + path + " is damaged", 0), 0u) << e.message();
    }
    EXPECT_EQ(sc.storageContainer, &containerOf(tracks->data[0]));
    EXPECT_EQ(graphSignature(*sc.graph.nodeTable), before);
    DeleteFileA(path.c_str());
}

// A container must never hold what nothing keeps alive: the script bitmap a node was made
// from (the collector frees it once no control marks it; the heap poisons freed values) and
// scene objects deleted while no control is bound, or before any control was, after a load.
TEST_F(StorageContainer, ContainerWithoutAControlHoldsNoFreedValueOrSceneObject) {
    Rooted v(newController("vantrelController"));
    vantrelController& c = containerOf(v.slot);
    writeContainer(sc, v.slot);
    addNode(sc.graph);
    addSocket(sc.graph, *c.nodeTable[0], 1, "Output", false);
    writeProperty(sc, "activeNode", Integer::intern(1));
    writeProperty(sc, "activeSocket", Integer::intern(1));
    writeProperty(sc, "nodeBitmap", new MAXBitMap(new Bitmap(2, 2)));
    Rooted boxName(new String("box"));
    Rooted sceneNode(scene_create_node_cf(&boxName.slot, 1));
    Rooted track(newController("Bezier_Float"));
    Value* trackArg[] = {track.slot};
    scene_add_track_cf(trackArg, 1);
    writeProperty(sc, "sceneNode", sceneNode.slot);
    writeProperty(sc, "sceneController", track.slot);

    writeContainer(sc, &undefined);
    gc();  // the bitmap value goes: nothing marks it now
    Value* doomed[] = {sceneNode.slot, track.slot};
    scene_delete_cf(doomed, 1);
    scene_delete_cf(doomed + 1, 1);
    EXPECT_EQ(c.nodeTable[0]->sceneNode, nullptr);
    EXPECT_EQ(c.nodeTable[0]->outputs[0]->sceneController, nullptr);
    writeContainer(sc, v.slot);
    gc();
    EXPECT_NE(c.nodeTable[0]->bitmapHandle, nullptr) << "the device bitmap stays";

    // Saved and loaded: the references are filled in after the load, with no control bound.
    Rooted box(scene_create_node_cf(&boxName.slot, 1));
    writeProperty(sc, "sceneNode", box.slot);
    Value* containerArg[] = {v.slot};
    scene_add_track_cf(containerArg, 1);
    writeContainer(sc, &undefined);
    const std::string path = exe_folder() + "\\ties_test.vsc";
    Rooted file(new String(path.c_str()));
    scene_save_cf(&file.slot, 1);
    scene_load_cf(&file.slot, 1);
    DeleteFileA(path.c_str());
    ASSERT_EQ(the_scene().nodes().size(), 1u);
    vantrelController* loaded = nullptr;
    for (Control* t : the_scene().tracks())
        if (isVantrelController(t)) loaded = static_cast<vantrelController*>(t);
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->nodeTable[0]->sceneNode, the_scene().nodes()[0]);
    EXPECT_TRUE(the_scene().deleteObject(the_scene().nodes()[0]));
    EXPECT_EQ(loaded->nodeTable[0]->sceneNode, nullptr);
}

}  // namespace
