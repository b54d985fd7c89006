// container_chunks_test.cpp - the container's chunks: exact layout, round trips, limits, damage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <random>

#include "controller/container_chunks.h"
#include "controller/plugin.h"
#include "controller/vantrel_controller.h"
#include "host/scene/controllers.h"
#include "tests/support/graph_signature.h"
#include "host/scene/chunk_file.h"
#include "host/scene/scene.h"
#include "host/core/errors.h"
#include "tests/support/chunk_tree.h"
#include "tests/support/random_graph.h"

// Allocation that can be made to fail: the n-th allocation from now throws bad_alloc.
namespace {
long allocationsBeforeFailure = -1;  // -1: never fail
}  // namespace

void* operator new(size_t size) {
    if (allocationsBeforeFailure >= 0 && allocationsBeforeFailure-- == 0) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

namespace cc = container_chunk;

// Chunks written by hand, for files the writer would never make.
struct FileBuilder {
    ChunkWriter w;
    FileBuilder& open(USHORT id) { return w.BeginChunk(id), *this; }
    FileBuilder& close() { return w.EndChunk(), *this; }
    template <class... T>
    FileBuilder& data(USHORT id, T... values) {
        ULONG n = 0;
        w.BeginChunk(id);
        (w.Write(&values, sizeof values, &n), ...);
        w.EndChunk();
        return *this;
    }
    const std::vector<uint8_t>& bytes() const { return w.bytes(); }
};

class ContainerFile : public ::testing::Test {
protected:
    std::vector<vantrelController*> made;
    vantrelController& container = make();
    GraphContext ctx = container.graphContext();

    ~ContainerFile() override {
        for (vantrelController* c : made) c->DeleteThis();
    }
    vantrelController& make() {
        made.push_back(static_cast<vantrelController*>(static_cast<Animatable*>(LibClassDesc(0)->Create(0))));
        return *made.back();
    }
    SchematicNode& node() {
        addNode(ctx);
        return *container.nodeTable.back();
    }
    SchematicSocket& in(SchematicNode& n) { return *addSocket(ctx, n, 0, "Input", false); }
    SchematicSocket& out(SchematicNode& n) { return *addSocket(ctx, n, 1, "Output", false); }

    std::vector<uint8_t> save(vantrelController& c, ChunkWriter::RefIdLookup ids = {}) {
        ChunkWriter w(std::move(ids));
        EXPECT_EQ(c.Save(&w), IO_OK);
        EXPECT_FALSE(w.failed()) << w.failure();
        return w.bytes();
    }
    vantrelController& load(const std::vector<uint8_t>& bytes, IOResult expected = IO_OK) {
        vantrelController& c = make();
        ChunkReader r(bytes.data(), bytes.size());
        EXPECT_EQ(c.Load(&r), expected);
        return c;
    }
};

TEST_F(ContainerFile, TwoNodeExampleIsWrittenChunkForChunk) {
    SchematicNode& a = node();
    SchematicNode& b = node();
    in(b);  // index 0, so the linked input below has index 1
    connectSockets(out(a), in(b));
    container.containerView->zoom = 1.5f;
    container.backgroundPath = "bg.bmp";

    const std::vector<ChunkNode> top = parseChunks(save(container));
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[0].id, 0x0020);
    EXPECT_EQ(top[1].id, 0x0300);
    EXPECT_EQ(top[2].id, 0x0301);
    EXPECT_EQ(top[0].ids(), (std::vector<uint16_t>{0x21, 0x22, 0x23, 0x24}));
    EXPECT_EQ(top[0].child(0x21).as<int32_t>()[0], 1);
    EXPECT_EQ(top[0].child(0x21).as<float>()[1], 1.5f);
    EXPECT_EQ(top[0].child(0x22).as<float>(), (std::vector<float>{0, 0}));
    EXPECT_EQ(top[0].child(0x23).as<int32_t>(), std::vector<int32_t>{2});
    EXPECT_EQ(top[0].child(0x24).text(), std::string("bg.bmp", 7));

    const std::vector<uint16_t> nodeIds = {0x06, 0x07, 0x05, 0x01, 0x02, 0x08, 0x04,
                                           0x03, 0x09, 0x0A, 0x0B, 0x0C, 0x99};
    EXPECT_EQ(top[1].ids(), nodeIds);
    const ChunkNode& output = top[1].child(0x99);
    EXPECT_EQ(output.ids(), (std::vector<uint16_t>{0x34, 0x33, 0x35, 0x30, 0x32, 0x38, 0x40, 0x41,
                                                   0x19, 0x25, 0x37, 0x39}));
    EXPECT_EQ(output.child(0x19).as<int32_t>(), (std::vector<int32_t>{1, 1, 1}));
    EXPECT_EQ(output.child(0x25).as<int32_t>(), (std::vector<int32_t>{1, 100}));
    EXPECT_EQ(output.child(0x32).as<int32_t>(), (std::vector<int32_t>{0, 0, 1}));
    EXPECT_EQ(top[1].child(0x03).as<int32_t>(), (std::vector<int32_t>{100, 40, 0, 1, 0, 100, 24}));
    EXPECT_EQ(top[1].child(0x09).as<int32_t>(), std::vector<int32_t>{-1});

    std::vector<uint16_t> withTwoSockets = nodeIds;
    withTwoSockets.push_back(0x9A);
    EXPECT_EQ(top[2].ids(), withTwoSockets);
    EXPECT_FALSE(top[2].child(0x9A).has(0x19));
    EXPECT_FALSE(top[2].child(0x9A).has(0x25));
}

TEST_F(ContainerFile, RoundTripKeepsEveryStoredFieldWeightsParentsAndStoredSizes) {
    SchematicNode& a = node();
    SchematicNode& b = node();
    SchematicNode& bare = node();
    SchematicSocket& first = out(a);
    SchematicSocket& second = out(a);
    SchematicSocket& target = in(b);
    SchematicSocket& other = in(b);
    connectSockets(first, target, 5);
    connectSockets(first, other, 7);
    connectSockets(second, target, 9);
    a.nodeName = "alpha", a.nodeInfo = "info", a.bitmapPath = "c:\\a.bmp";
    a.position = {10, 20}, a.nameOffset = {1, 2}, a.nodeColor = rgb(1, 2, 3), a.edgeSize = 4;
    a.selected = a.collapsed = a.hidden = a.posLocked = a.showBitmapOnly = 1;
    a.selectable = a.isCollapsible = 0;
    a.collapsedSize = {50, 12}, a.textAlign = 2, a.bitmapSize = {30, 40}, a.drawConnectionsFromParent = 1;
    setSocketFlipped(second, 1);
    second.radius = 6, second.value = 0.5f, second.showValue = 0, second.labelOffset = {3, 4};
    second.socketDataClass = "float", second.socketInfo = "si", second.socketColor = rgb(9, 8, 7);
    second.socketIsHidden = second.drawSeperator = 1;
    setParent(b, &a, true);  // b keeps its place, stored relative to a
    setNodeSize(bare, 150, 60);

    const std::string before = graphSignature(container.nodeTable);
    vantrelController& back = load(save(container));
    EXPECT_EQ(graphSignature(back.nodeTable), before);

    const SchematicSocket& firstBack = *back.nodeTable[0]->outputs[0];
    EXPECT_EQ(firstBack.linkWeights, (std::vector<int32_t>{5, 7}));
    EXPECT_EQ(back.nodeTable[0]->outputs[1]->linkWeights, std::vector<int32_t>{9});
    EXPECT_EQ(back.nodeTable[1]->parent, back.nodeTable[0]);
    EXPECT_EQ(back.nodeTable[0]->children, std::vector<SchematicNode*>{back.nodeTable[1]});
    EXPECT_EQ(back.nodeTable[1]->position.x, -10.0f);
    EXPECT_EQ(back.nodeTable[2]->width, 150);
    EXPECT_EQ(back.nodeTable[2]->height, 60);
    EXPECT_EQ(back.storedNodeCount, 3);
    for (SchematicNode* n : back.nodeTable) EXPECT_EQ(n->viewStateRef, back.containerView.get());
}

TEST_F(ContainerFile, FieldsThatAreNotStoredComeBackWithTheirDefaults) {
    SchematicNode& a = node();
    SchematicSocket& s = out(a);
    connectSockets(s, in(node()));
    a.drawLayer = 2, a.showMiniBitmap = 0, a.viewAlign = -1, a.viewAlignOffset = {5, 5};
    a.borderColor = rgb(1, 1, 1), a.borderWidth = 3, a.textColor = rgb(200, 200, 200);
    s.hiddenLinkColor = rgb(1, 2, 3), s.selectedLink = 0;
    container.containerView->activeNode = 1, container.containerView->drawShadows = 1;

    vantrelController& back = load(save(container));
    const SchematicNode fresh;
    const SchematicSocket freshSocket;
    const SchematicNode& n = *back.nodeTable[0];
    EXPECT_EQ(n.drawLayer, 1);
    EXPECT_EQ(n.showMiniBitmap, 1);
    EXPECT_EQ(n.viewAlign, 0);
    EXPECT_EQ(n.viewAlignOffset.x, fresh.viewAlignOffset.x);
    EXPECT_EQ(n.borderColor, fresh.borderColor);
    EXPECT_EQ(n.borderWidth, fresh.borderWidth);
    EXPECT_EQ(n.textColor, fresh.textColor);
    EXPECT_EQ(n.outputs[0]->hiddenLinkColor, freshSocket.hiddenLinkColor);
    EXPECT_EQ(n.outputs[0]->selectedLink, -1);
    EXPECT_EQ(back.containerView->activeNode, -1);
    EXPECT_EQ(back.containerView->drawShadows, 0);
}

TEST_F(ContainerFile, NodeWithMoreThan257SocketsKeepsThemAll) {
    SchematicNode& a = node();
    for (int i = 0; i < 300; ++i) (i % 2 ? out(a) : in(a)).socketName = "s" + std::to_string(i);
    const std::vector<ChunkNode> top = parseChunks(save(container));
    EXPECT_EQ(top[1].children.back().id, 0x0099 + 299);

    vantrelController& back = load(save(container));
    EXPECT_EQ(graphSignature(back.nodeTable), graphSignature(container.nodeTable));
}

TEST_F(ContainerFile, GraphTheIdentifiersCannotNumberIsRefusedBeforeAnythingIsWritten) {
    SchematicNode& crowded = node();
    for (int i = 0; i < kMaxStoredSockets + 1; ++i) addSocket(ctx, crowded, 0, "", false);
    ChunkWriter w;
    try {
        container.Save(&w);
        FAIL();
    } catch (RuntimeError& e) {
        EXPECT_EQ(e.text, "vantrelController: node 1 has 65384 sockets; a scene file holds at most 65383 per node");
    }
    EXPECT_TRUE(w.bytes().empty());

    GraphContext none;
    destroyNode(none, container.nodeTable.back());
    container.nodeTable.pop_back();
    for (int i = 0; i < kMaxStoredNodes; ++i) addNode(ctx);
    EXPECT_NO_THROW(save(container)) << "the last identifier, 0xFFFF, is still a node";
    addNode(ctx);
    EXPECT_THROW(container.Save(&w), RuntimeError);
    EXPECT_TRUE(w.bytes().empty());
}

TEST_F(ContainerFile, StoredLinksThatPointNowhereAreDropped) {
    // Node 0: output index 0 with links to (5,0) (no such node), (1,7) (no such socket),
    // (-1,0), (1,1) (an output, not an input) and (1,0), the one good link.
    FileBuilder f;
    f.open(0x0300).open(0x0099).data(cc::socketController, int32_t(0), int32_t(0), int32_t(1));
    f.data(cc::socketLinks, int32_t(5), int32_t(5), int32_t(0), int32_t(1), int32_t(7), int32_t(-1),
           int32_t(0), int32_t(1), int32_t(1), int32_t(1), int32_t(0));
    f.data(cc::socketWeights, int32_t(6), int32_t(2), int32_t(3), int32_t(4), int32_t(5), int32_t(6),
           int32_t(7));  // one weight more than links: ignored
    f.close().close();
    f.open(0x0301).open(0x0099).data(cc::socketController, int32_t(0), int32_t(0), int32_t(0)).close();
    f.open(0x009A).data(cc::socketController, int32_t(0), int32_t(1), int32_t(1)).close().close();

    vantrelController& back = load(f.bytes());
    ASSERT_EQ(back.nodeTable.size(), 2u);
    const SchematicSocket& source = *back.nodeTable[0]->outputs[0];
    ASSERT_EQ(source.links.size(), 1u);
    EXPECT_EQ(source.links[0], back.nodeTable[1]->inputs[0]);
    EXPECT_EQ(source.linkWeights, std::vector<int32_t>{6});
    EXPECT_EQ(back.nodeTable[1]->inputs[0]->links, std::vector<SchematicSocket*>{&const_cast<SchematicSocket&>(source)});
}

// A link's far end is written as a search of the table finds it: the node listing it and
// the socket's own index, -1 for a node the table does not hold.
TEST_F(ContainerFile, LinkFarEndsAreWrittenAsATableSearchFindsThem) {
    SchematicNode& a = node();
    SchematicNode& b = node();
    SchematicSocket& source = out(a);
    SchematicSocket& first = in(b);
    SchematicSocket& renumbered = in(b);
    renumbered.index = 9;  // stored indices need not follow list positions
    vantrelController& other = make();
    GraphContext elsewhere = other.graphContext();
    addNode(elsewhere);
    SchematicSocket& outside = *addSocket(elsewhere, *other.nodeTable.back(), 0, "x", false);
    for (SchematicSocket* far : {&renumbered, &outside, &first, &renumbered}) connectSockets(source, *far);

    std::vector<int32_t> expected = {int32_t(source.links.size())};
    for (const SchematicSocket* far : source.links) {
        expected.push_back(ownerIndexOfSocket(container.nodeTable, far));
        expected.push_back(far->index);
    }
    ASSERT_EQ(expected, (std::vector<int32_t>{4, 1, 9, -1, 0, 1, 0, 1, 9}));
    const std::vector<ChunkNode> top = parseChunks(save(container));
    EXPECT_EQ(top[1].child(0x0099).child(cc::socketLinks).as<int32_t>(), expected);
}

// Stored parent indices come back as setParent, node by node in table order, would make
// them: cycles and self-parents refused, indices out of range ignored, and nothing at all
// when one node has no parent chunk.
TEST_F(ContainerFile, StoredParentsAreRestoredAsSetParentWouldInTableOrder) {
    std::vector<std::vector<int32_t>> cases = {
        {-1, 0, 1, 2},       // a chain
        {1, 2, 0},           // a cycle: the parent closing it is refused
        {0, 0, 5, -7},       // itself, and indices no node has
        {2, 2, 3, 1, 3},     // a cycle met from below
    };
    std::mt19937 rng(7);
    for (int k = 0; k < 200; ++k) {
        std::vector<int32_t> parents(size_t(1 + rng() % 10));
        for (int32_t& p : parents) p = int32_t(rng() % (parents.size() + 2)) - 1;
        cases.push_back(parents);
    }
    for (const std::vector<int32_t>& parents : cases) {
        for (bool allNodesHaveOne : {true, false}) {
            FileBuilder f;
            for (size_t i = 0; i < parents.size(); ++i) {
                f.open(USHORT(cc::firstNode + i));
                if (allNodesHaveOne || i + 1 < parents.size()) f.data(cc::nodeParent, parents[i]);
                f.close();
            }
            std::vector<SchematicNode> expected(parents.size());
            if (allNodesHaveOne)
                for (size_t i = 0; i < parents.size(); ++i)
                    if (parents[i] >= 0 && size_t(parents[i]) < parents.size())
                        setParent(expected[i], &expected[size_t(parents[i])], false);

            vantrelController& back = load(f.bytes());
            ASSERT_EQ(back.nodeTable.size(), parents.size());
            for (size_t i = 0; i < parents.size(); ++i) {
                const SchematicNode* want = expected[i].parent;
                const int32_t wantIndex = want ? int32_t(want - expected.data()) : -1;
                EXPECT_EQ(nodeIndexOf(back.nodeTable, back.nodeTable[i]->parent), wantIndex)
                    << "node " << i << (allNodesHaveOne ? "" : ", last node without a parent chunk");
                EXPECT_EQ(back.nodeTable[i]->children.size(), expected[i].children.size());
            }
        }
    }
}

// Chunks this version does not know are skipped at every level, and change nothing.
TEST_F(ContainerFile, UnknownChunksAreSkippedAtEveryLevel) {
    auto file = [](USHORT extraAt, bool container) {
        FileBuilder f;
        auto extra = [&](USHORT level) {
            if (level != extraAt) return;
            const USHORT id = level == 0 ? 0x0100 : 0x0777;  // at the top, 0x0300 up are nodes
            if (container) f.open(id).data(0x0001, int32_t(5)).close();
            else f.data(id, int32_t(5));
        };
        f.open(cc::viewHeader).data(cc::viewZoom, int32_t(1), 2.0f);
        extra(cc::viewHeader);
        f.close();
        extra(0);  // top level
        f.open(cc::firstNode).data(cc::nodeParent, int32_t(-1));
        extra(cc::firstNode);
        f.open(cc::firstSocket).data(cc::socketController, int32_t(0), int32_t(0), int32_t(1));
        f.data(cc::socketLinks, int32_t(1), int32_t(1), int32_t(0));
        extra(cc::firstSocket);
        f.close();
        if (extraAt == 1) f.data(0x0200, int32_t(5));  // past the plain socket range, not a socket
        if (extraAt == 2) f.open(0x0250).data(cc::socketName, 'x', '\0').close();
        if (extraAt == 3) f.data(0x0050, int32_t(5));
        f.close();
        f.open(USHORT(cc::firstNode + 1)).data(cc::nodeParent, int32_t(0));
        f.open(cc::firstSocket).data(cc::socketController, int32_t(0), int32_t(0), int32_t(0)).close();
        f.close();
        return f.bytes();
    };
    const std::string plain = graphSignature(load(file(0xFFFF, false)).nodeTable);
    ASSERT_NE(plain.find("(1,0 w100)"), std::string::npos) << plain;
    for (USHORT at : {USHORT(0), cc::viewHeader, cc::firstNode, cc::firstSocket, USHORT(1), USHORT(2), USHORT(3)})
        for (bool container : {false, true}) {
            vantrelController& back = load(file(at, container));
            EXPECT_EQ(graphSignature(back.nodeTable), plain) << "extra chunk at 0x" << std::hex << at;
            EXPECT_EQ(back.containerView->zoom, 2.0f);
        }
}

// A failed allocation anywhere in a load leaves every node with exactly one owner.
TEST_F(ContainerFile, FailedAllocationsDuringALoadFreeEachNodeOnce) {
    for (int i = 0; i < 3; ++i) connectSockets(out(node()), in(node()));
    setParent(*container.nodeTable[1], container.nodeTable[0], false);
    const std::vector<uint8_t> bytes = save(container);
    for (long n = 0;; ++n) {
        vantrelController& c = make();
        ChunkReader r(bytes.data(), bytes.size());
        bool failed = false;
        allocationsBeforeFailure = n;
        try {
            c.Load(&r);
        } catch (std::bad_alloc&) {
            failed = true;
        }
        allocationsBeforeFailure = -1;
        if (!failed) {
            EXPECT_EQ(graphSignature(c.nodeTable), graphSignature(container.nodeTable));
            break;
        }
    }  // the containers free their nodes at the end; the sanitizers see any second free
}

TEST_F(ContainerFile, DamagedDataEndsTheLoadWithAnError) {
    FileBuilder lying;  // 1000 links announced, room for one
    lying.open(0x0300).open(0x0099).data(cc::socketController, int32_t(0), int32_t(0), int32_t(1));
    lying.data(cc::socketLinks, int32_t(1000), int32_t(0), int32_t(0)).close().close();
    EXPECT_TRUE(load(lying.bytes(), IO_ERROR).nodeTable.empty());

    FileBuilder shortSize;
    shortSize.open(0x0300).data(cc::nodeSize, int32_t(1), int32_t(2)).close();
    load(shortSize.bytes(), IO_ERROR);

    connectSockets(out(node()), in(node()));
    setParent(*container.nodeTable[1], container.nodeTable[0], false);
    const std::vector<uint8_t> bytes = save(container);
    for (size_t n = 0; n < bytes.size(); ++n) {
        vantrelController& c = make();
        ChunkReader r(bytes.data(), n);
        // Ok or error; never a read out of bounds (the sanitizers watch).
        const bool refused = c.Load(&r) != IO_OK;
        for (SchematicNode* node : c.nodeTable) {
            for (SchematicSocket* s : node->outputs) EXPECT_EQ(s->links.size(), s->linkWeights.size());
            if (!refused) continue;
            // A refused load keeps the nodes it read, unlinked and unparented.
            EXPECT_EQ(node->parent, nullptr) << n << " bytes";
            EXPECT_TRUE(node->children.empty()) << n << " bytes";
            for (auto* list : {&node->inputs, &node->outputs})
                for (SchematicSocket* s : *list) EXPECT_TRUE(s->links.empty()) << n << " bytes";
        }
    }
}

TEST_F(ContainerFile, ViewFromFileIsOneTheControlCanUse) {
    FileBuilder f;
    f.open(cc::viewHeader).data(cc::viewZoom, int32_t(7), NAN).data(cc::viewPan, INFINITY, 3.0f).close();
    vantrelController& nan = load(f.bytes());
    EXPECT_EQ(nan.containerView->zoom, 1.0f);
    EXPECT_EQ(nan.containerView->pan.x, 0.0f);
    EXPECT_EQ(nan.containerView->pan.y, 3.0f);

    FileBuilder tiny;
    tiny.open(cc::viewHeader).data(cc::viewZoom, int32_t(1), 0.0f).close();
    EXPECT_EQ(load(tiny.bytes()).containerView->zoom, 0.1f);
}

TEST_F(ContainerFile, SceneReferencesAreBackPatchedAndKeptOnlyWhenOfTheKindTheirFieldHolds) {
    INode sceneNode(_M("box"));
    HostFloatController controller;
    SchematicNode& a = node();
    SchematicSocket& s = out(a);
    a.sceneNode = &sceneNode;
    s.sceneController = &controller;
    const std::vector<uint8_t> bytes = save(container, [&](void* p) { return p == &sceneNode ? 11 : 12; });

    // What the host hands back for identifiers 11 and 12, and what the fields keep.
    struct Case {
        ReferenceTarget* for11;
        ReferenceTarget* for12;
        INode* node;
        Control* socket;
    };
    const Case cases[] = {
        {&sceneNode, &controller, &sceneNode, &controller},
        {&controller, &sceneNode, nullptr, nullptr},  // swapped: neither field takes the other kind
        {&sceneNode, &sceneNode, &sceneNode, nullptr},
    };
    for (const Case& c : cases) {
        vantrelController& back = make();
        ChunkReader r(bytes.data(), bytes.size());
        ASSERT_EQ(back.Load(&r), IO_OK);
        ASSERT_EQ(r.backpatches().size(), 2u);
        EXPECT_EQ(r.backpatches()[0].refId, 11);
        EXPECT_EQ(r.backpatches()[1].refId, 12);
        EXPECT_EQ(back.nodeTable[0]->sceneNode, nullptr) << "nothing is kept before the load is done";
        for (const ChunkReader::Backpatch& patch : r.backpatches())
            *patch.slot = patch.refId == 11 ? c.for11 : c.for12;
        r.runPostLoadCallbacks();
        EXPECT_EQ(back.nodeTable[0]->sceneNode, c.node);
        EXPECT_EQ(back.nodeTable[0]->outputs[0]->sceneController, c.socket);
    }
}

TEST_F(ContainerFile, SaveTakesZoomPanAndBackgroundFromTheBoundControl) {
    SchematicViewState ownerView;
    ownerView.zoom = 3, ownerView.pan = {7, 8};
    std::string ownerBackground = "owner.bmp";
    node();
    setContainerOwner(container, reinterpret_cast<PropertyTarget*>(&ownerView), &ownerView, &ownerBackground);
    EXPECT_EQ(container.nodeTable[0]->viewStateRef, &ownerView);

    vantrelController& back = load(save(container));
    EXPECT_EQ(back.containerView->zoom, 3.0f);
    EXPECT_EQ(back.containerView->pan.y, 8.0f);
    EXPECT_EQ(back.backgroundPath, "owner.bmp");
    clearContainerOwner(container);
    EXPECT_EQ(container.nodeTable[0]->viewStateRef, container.containerView.get());
}

TEST_F(ContainerFile, PluginDescribesOneEmptyCloningFloatControllerWithNoValueOfItsOwn) {
    EXPECT_STREQ(LibDescription(), "Vantrel Controller");
    EXPECT_EQ(LibNumberClasses(), 1);
    EXPECT_EQ(LibVersion(), ULONG(VERSION_3DSMAX));
    ClassDesc* cd = LibClassDesc(0);
    EXPECT_EQ(LibClassDesc(5), cd);
    EXPECT_EQ(cd->IsPublic(), 1);
    EXPECT_STREQ(cd->ClassName(), "Vantrel Controller");
    EXPECT_STREQ(cd->NonLocalizedClassName(), "Vantrel Controller");
    EXPECT_STREQ(cd->InternalName(), "vantrelController");
    EXPECT_STREQ(cd->Category(), "");
    EXPECT_EQ(cd->SuperClassID(), 0x9003u);
    EXPECT_EQ(cd->ClassID(), Class_ID(0x4E9A62EA, 0x5A1E0244));
    EXPECT_TRUE(isVantrelController(&container));
    MSTR name;
    container.GetClassName(name, false);
    EXPECT_STREQ(name.data(), "Vantrel Controller");

    node(), node();
    RemapDir remap;
    auto* copy = static_cast<vantrelController*>(container.Clone(remap));
    made.push_back(copy);
    EXPECT_TRUE(copy->nodeTable.empty());
    EXPECT_TRUE(isVantrelController(copy));

    float v = 4.0f;
    Interval valid(0, 10);
    container.GetValue(0, &v, valid);
    container.SetValue(0, &v);
    EXPECT_EQ(v, 4.0f);
    EXPECT_EQ(valid, Interval(0, 10));
    container.GetValue(0, &v, valid, CTRL_RELATIVE);  // adds a zero temporary
    EXPECT_EQ(v, 4.0f);
    float* t = static_cast<float*>(container.CreateTempValue());
    *t = 2;
    container.ApplyValue(t, &v);
    container.MultiplyValue(t, 0.5f);
    EXPECT_EQ(*t, 3.0f);
    container.DeleteTempValue(t);
}

}  // namespace

// Random graphs: whatever the operations can build comes back field for field, and
// saving the loaded graph again writes the very same bytes.
TEST_F(ContainerFile, RandomGraphsSurviveTheRoundTripByteForByte) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        vantrelController& original = make();
        GraphContext g = original.graphContext();
        original.containerView->zoom = 0.1f + float(pick(40)) / 10.0f;
        original.containerView->pan = {float(pick(500) - 250), float(pick(500) - 250)};
        original.backgroundPath = seed % 2 ? "c:\\maps\\grid.bmp" : "";

        const int nodes = 1 + pick(12);
        for (int i = 0; i < nodes; ++i) {
            addNode(g);
            SchematicNode& n = *original.nodeTable.back();
            n.nodeName = "n" + std::to_string(i);
            n.nodeInfo = std::string(size_t(pick(3)), 'i');
            n.position = {float(pick(800)) - 100.5f, float(pick(600)) * 0.25f};
            n.nodeColor = rgb(uint8_t(pick(256)), uint8_t(pick(256)), uint8_t(pick(256)));
            n.collapsed = uint8_t(pick(2)), n.hidden = uint8_t(pick(2)), n.selected = uint8_t(pick(2));
            n.textAlign = pick(3);
            // Every fourth graph has a crowded node (its sockets found through a map, not a
            // scan) with a long info text (a string block of its own, a file past 64 KiB).
            const bool crowded = seed % 4 == 0 && i == 0;
            if (crowded) n.nodeInfo = std::string(20000 + size_t(pick(5000)), 'c');
            for (int s = crowded ? 17 + pick(40) : pick(6); s > 0; --s) {
                SchematicSocket* socket = addSocket(g, n, pick(2), pick(2) ? "A" : "Out", false);
                socket->value = float(pick(1000)) / 8.0f;
                if (pick(4) == 0) setSocketFlipped(*socket, 1);
            }
            if (socketCount(n) > 2 && pick(3) == 0) removeSocket(g, n, pick(socketCount(n)), false);
            if (pick(5) == 0) setNodeSize(n, float(80 + pick(100)), float(20 + pick(100)));
        }
        for (int k = pick(20) + (seed % 4 == 0 ? 60 : 0); k > 0; --k) {
            SchematicNode& from = *original.nodeTable[size_t(pick(nodes))];
            SchematicNode& to = *original.nodeTable[size_t(pick(nodes))];
            if (from.outputs.empty() || to.inputs.empty()) continue;
            connectSockets(*from.outputs[size_t(pick(int(from.outputs.size())))],
                           *to.inputs[size_t(pick(int(to.inputs.size())))], pick(300) - 50);
        }
        for (int k = pick(nodes); k > 0; --k)
            setParent(*original.nodeTable[size_t(pick(nodes))], original.nodeTable[size_t(pick(nodes))], true);

        const std::vector<uint8_t> first = save(original);
        vantrelController& loaded = load(first);
        // Inputs' own lists and children lists are rebuilt from the outputs' entries and the
        // parent indices, so only their order may differ.
        for (SchematicGraph* table : {&original.nodeTable, &loaded.nodeTable})
            for (SchematicNode* n : *table) {
                std::sort(n->children.begin(), n->children.end(), [table](auto* a, auto* b) {
                    return nodeIndexOf(*table, a) < nodeIndexOf(*table, b);
                });
                for (SchematicSocket* in : n->inputs)
                    std::sort(in->links.begin(), in->links.end(), [table](auto* a, auto* b) {
                        return std::pair(ownerIndexOfSocket(*table, a), a->index) <
                               std::pair(ownerIndexOfSocket(*table, b), b->index);
                    });
            }
        ASSERT_EQ(graphSignature(loaded.nodeTable), graphSignature(original.nodeTable)) << "seed " << seed;
        EXPECT_EQ(loaded.containerView->zoom, original.containerView->zoom);
        EXPECT_EQ(loaded.backgroundPath, original.backgroundPath);
        ASSERT_EQ(save(loaded), first) << "seed " << seed;
    }
}

namespace {

uint64_t fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes) h = (h ^ b) * 0x100000001b3ull;
    return h;
}

}  // namespace

// The bytes of a saved scene are pinned by the hash of what an earlier build wrote for the
// same graphs: old scenes and the other builds read this layout, so a faster writer must
// not change one byte. Two containers, one past the stream's block (lengths patched late),
// with scene references, long texts, parents and weighted links; to memory and to a file.
TEST(ContainerFormat, ScenesAreWrittenWithTheBytesOfEarlierBuilds) {
    static const bool registered = (register_class(LibClassDesc(0)), true);
    (void)registered;
    Scene scene;
    INode* box = scene.createNode("Box01");
    auto* track = new HostFloatController;
    scene.addTrack(track);
    auto container = [&] {
        auto* c = static_cast<vantrelController*>(static_cast<Animatable*>(LibClassDesc(0)->Create(0)));
        scene.addTrack(c);
        return c;
    };
    vantrelController* small = container();
    GraphContext a = small->graphContext();
    std::mt19937 rng(3);
    buildRandomGraph(a, rng, 300, [] { return nullptr; });
    small->containerView->zoom = 0.75f;
    small->backgroundPath = "c:\\maps\\grid.bmp";

    vantrelController* large = container();
    GraphContext b = large->graphContext();
    SchematicGraph& table = large->nodeTable;
    for (int i = 0; i < 3000; ++i) {
        addNode(b);
        SchematicNode& n = *table.back();
        n.nodeName = "node number " + std::to_string(i * 7919 % 3000);
        n.nodeInfo = i == 1234 ? std::string(70000, 'x') : std::string(size_t(i % 5), 'i');
        if (i % 9 == 0) n.bitmapPath = "maps\\tile" + std::to_string(i) + ".bmp";
        n.position = {float(i % 60) * 160.0f, float(i / 60) * 110.0f - 0.5f};
        if (i % 11 == 0) n.sceneNode = box;
        for (int k = 0; k < i % 6; ++k) {
            SchematicSocket* s = addSocket(b, n, k % 2, k % 3 ? "In" : "Output value", false);
            s->value = float(k) * 0.25f;
            if (i % 13 == 0) s->sceneController = track;
            if (k == 4) s->socketInfo = "info";
        }
        if (i % 17 == 1) setParent(n, table[size_t(i / 2)], true);
    }
    for (int i = 0; i < 3000; ++i) {
        SchematicNode& from = *table[size_t(i)];
        SchematicNode& to = *table[size_t(i * 31 % 3000)];
        if (!from.outputs.empty() && !to.inputs.empty())
            connectSockets(*from.outputs[0], *to.inputs[size_t(i) % to.inputs.size()], i % 7 - 2);
    }

    const std::vector<uint8_t> bytes = scene.saveToBytes();
    const std::string path = "container_format.vnt";
    scene.saveToFile(path);
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    in.close();
    EXPECT_EQ(file, bytes) << "the file and memory differ";
    EXPECT_EQ(bytes.size(), 1653683u);
    EXPECT_EQ(fnv1a(bytes), 0x0e96000bd8bb9a4cull);

    Scene back;
    back.loadFromFile(path);
    EXPECT_EQ(back.saveToBytes(), bytes) << "a loaded scene saves again as it was";
    std::remove(path.c_str());
}

// After a load the container hears of the deletion of every scene object its file named,
// with no control bound to it.
TEST(ContainerFormat, SceneObjectsDeletedAfterALoadAreForgottenByTheLoadedGraph) {
    static const bool registered = (register_class(LibClassDesc(0)), true);
    (void)registered;
    Scene scene;
    auto* c = static_cast<vantrelController*>(static_cast<Animatable*>(LibClassDesc(0)->Create(0)));
    scene.addTrack(c);
    auto* track = new HostFloatController;
    scene.addTrack(track);
    GraphContext ctx = c->graphContext();
    addNode(ctx);
    addNode(ctx);
    c->nodeTable[0]->sceneNode = scene.createNode("Box01");
    addSocket(ctx, *c->nodeTable[1], 1, "out", false)->sceneController = track;
    const std::vector<uint8_t> bytes = scene.saveToBytes();

    Scene back;
    back.loadFromBytes(bytes.data(), bytes.size());
    vantrelController* loaded = nullptr;
    Control* loadedTrack = nullptr;
    for (Control* t : back.tracks()) {
        if (isVantrelController(t)) loaded = static_cast<vantrelController*>(t);
        else loadedTrack = t;
    }
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loadedTrack, nullptr);
    ASSERT_EQ(loaded->nodeTable[0]->sceneNode, back.nodes()[0]);
    ASSERT_EQ(loaded->nodeTable[1]->outputs[0]->sceneController, loadedTrack);
    EXPECT_TRUE(back.deleteObject(back.nodes()[0]));
    EXPECT_EQ(loaded->nodeTable[0]->sceneNode, nullptr);
    EXPECT_TRUE(back.deleteObject(loadedTrack));
    EXPECT_EQ(loaded->nodeTable[1]->outputs[0]->sceneController, nullptr);
}
