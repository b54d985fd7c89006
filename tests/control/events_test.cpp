// events_test.cpp - events raised from the control reach the rollout's handlers.
#include <gtest/gtest.h>

#include "graph/graph.h"
#include "host/core/errors.h"
#include "host/core/function.h"
#include "host/core/listener.h"
#include "tests/support/plugin_session.h"

namespace {
// Two nodes, output 0 of node 0 feeding input 1 of node 1.
void buildLinkedPair(SchematicControl& sc, SchematicSocket** out, SchematicSocket** in) {
    addNode(sc.graph);
    addNode(sc.graph);
    SchematicNode* a = (*sc.graph.nodeTable)[0];
    SchematicNode* b = (*sc.graph.nodeTable)[1];
    *out = addSocket(sc.graph, *a, 1, "Output", false);
    addSocket(sc.graph, *b, 0, "Input", false);
    *in = addSocket(sc.graph, *b, 0, "Input", false);
    connectSockets(**out, **in);
}
}  // namespace

TEST(ControlEvents, DeletingSelectedNodesRaisesPreAndPostEventsWithoutArguments) {
    TestRollout ro;
    ASSERT_TRUE(ro.open());
    ro.recordEvents({"preNodesDeleted", "nodesDeleted", "connectionChanged"});
    SchematicControl& sc = ro.control();
    for (int i = 0; i < 4; ++i) addNode(sc.graph);
    (*sc.graph.nodeTable)[1]->selected = 1;
    (*sc.graph.nodeTable)[3]->selected = 1;

    deleteSelection(sc.graph);

    std::vector<ReceivedEvent> expected{{"preNodesDeleted", {}}, {"nodesDeleted", {}}};
    EXPECT_EQ(ro.events, expected);
    EXPECT_EQ(sc.graph.deletedNodeIndices, (std::vector<int32_t>{3, 1}));
}

TEST(ControlEvents, DeletingTheSelectedConnectionRaisesConnectionChangedWithOneBasedIndices) {
    TestRollout ro;
    ASSERT_TRUE(ro.open());
    ro.recordEvents({"preNodesDeleted", "nodesDeleted", "connectionChanged"});
    SchematicControl& sc = ro.control();
    SchematicSocket *out, *in;
    buildLinkedPair(sc, &out, &in);
    out->selectedLink = 0;
    sc.graph.selectedConnection = out;

    deleteSelection(sc.graph);

    std::vector<ReceivedEvent> expected{{"connectionChanged", {1, 2, 2, 1, 0, 0}}};
    EXPECT_EQ(ro.events, expected);
    EXPECT_EQ(sc.graph.nodeTable->size(), 2u);
}

TEST(ControlEvents, AHandlerErrorIsReportedByTheHostAndTheControlGoesOn) {
    TestRollout ro;
    ASSERT_TRUE(ro.open());
    auto* failing = new NativeFunction("failing", [](Value**, int) -> Value* {
        throw TypeError("nodeBitmap", Integer::intern(5), &Array_class);
    });
    ro.rollout().add_handler(Name::intern("sc"), Name::intern("preNodesDeleted"), failing);
    ro.recordEvents({"nodesDeleted"});
    SchematicControl& sc = ro.control();
    addNode(sc.graph);
    (*sc.graph.nodeTable)[0]->selected = 1;
    listener_clear();

    deleteSelection(sc.graph);

    EXPECT_NE(listener_text().find("-- Type error: nodeBitmap requires Array, got: 5"), std::string::npos)
        << listener_text();
    EXPECT_TRUE(sc.graph.nodeTable->empty());
    std::vector<ReceivedEvent> expected{{"nodesDeleted", {}}};
    EXPECT_EQ(ro.events, expected);
}

TEST(ControlEvents, AHandlerThatDeletesEverythingLeavesTheDeletionConsistent) {
    TestRollout ro;
    ASSERT_TRUE(ro.open());
    SchematicControl& sc = ro.control();
    auto* clearing = new NativeFunction("clearing", [&sc](Value**, int) -> Value* {
        clearGraph(sc.graph);
        return &ok;
    });
    ro.rollout().add_handler(Name::intern("sc"), Name::intern("preNodesDeleted"), clearing);
    ro.recordEvents({"nodesDeleted"});
    for (int i = 0; i < 3; ++i) addNode(sc.graph);
    for (SchematicNode* n : *sc.graph.nodeTable) n->selected = 1;

    deleteSelection(sc.graph);

    EXPECT_TRUE(sc.graph.nodeTable->empty());
    EXPECT_TRUE(sc.graph.deletedNodeIndices.empty());
    EXPECT_TRUE(ro.events.empty()) << "nothing was left for the deletion itself";
}
