// scene_values_test.cpp - scene nodes and controllers tied to nodes and sockets.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/scene/controllers.h"
#include "host/scene/scene_values.h"
#include "tests/script/script_session.h"

namespace {
bool refersTo(ReferenceMaker* maker, ReferenceTarget& target) {
    DependentIterator makers(&target);
    while (ReferenceMaker* m = makers.Next())
        if (m == maker) return true;
    return false;
}
}  // namespace

TEST(SceneValues, SceneNodeIsWrittenAndReadAsTheHostsWrapper) {
    ScriptSession s;
    s.addNodes(1, 1);
    INode box("box");
    Value* wrapper = MAXNode::intern(&box);
    EXPECT_EQ(s.write("sceneNode", wrapper), "OK");
    EXPECT_EQ(s.node(0).sceneNode, &box);
    EXPECT_EQ(s.get("sceneNode"), wrapper);
    EXPECT_EQ(s.read("sceneNode"), "$box");
}

TEST(SceneValues, SceneControllerReadsUndefinedUntilOneIsSet) {
    ScriptSession s;
    s.addNodes(1, 1);
    s.get("addInSocket");
    s.set("activeSocket", I(1));
    EXPECT_EQ(s.read("sceneController"), "undefined");
    HostFloatController controller;
    EXPECT_EQ(s.write("sceneController", MAXControl::intern(&controller)), "OK");
    EXPECT_EQ(s.node(0).inputs[0]->sceneController, &controller);
    EXPECT_EQ(s.read("sceneController"), "Controller:Bezier_Float");
}

TEST(SceneValues, DeletingATiedSceneObjectClearsEveryReferenceToIt) {
    ScriptSession s;
    s.addNodes(2, 1);
    s.get("addOutSocket");
    s.set("activeSocket", I(1));
    auto* box = new INode("box");
    auto* controller = new HostFloatController;
    s.set("sceneNode", MAXNode::intern(box));
    s.set("sceneController", MAXControl::intern(controller));
    s.set("activeNode", I(2));
    s.set("sceneNode", MAXNode::intern(box));

    box->DeleteThis();
    controller->DeleteThis();

    EXPECT_EQ(s.node(0).sceneNode, nullptr);
    EXPECT_EQ(s.node(1).sceneNode, nullptr);
    EXPECT_EQ(s.node(0).outputs[0]->sceneController, nullptr);
    EXPECT_EQ(s.read("sceneNode"), "false");
    s.set("activeNode", I(1));
    EXPECT_EQ(s.read("sceneController"), "undefined");
}

TEST(SceneValues, ACollectedControlStopsListeningToSceneObjects) {
    INode box("box");
    auto* s = new ScriptSession;
    s->addNodes(1, 1);
    s->set("sceneNode", MAXNode::intern(&box));
    ASSERT_TRUE(refersTo(&s->sc.sceneWatch, box));
    SchematicControl* control = &s->sc;
    ReferenceMaker* asMaker = &s->sc.sceneWatch;

    s->rollout.drop();
    gc();
    EXPECT_FALSE(gc_is_live(control));
    EXPECT_FALSE(refersTo(asMaker, box));
    EXPECT_FALSE(box.HasDependents());
    delete s;
}
