// make_seeds.cpp - writes the seed corpus: scene files and container data the writer makes.
//   usage: fuzz_seeds FOLDER [REGRESSIONS]
//   With REGRESSIONS it also writes there the large hostile inputs a slow loader hangs on.
#include <cstdio>
#include <fstream>
#include <string>

#include "controller/container_chunks.h"
#include "controller/plugin.h"
#include "controller/vantrel_controller.h"
#include "graph/graph.h"
#include "host/scene/chunk_file.h"
#include "host/scene/controllers.h"
#include "host/scene/scene.h"
#include "host/start_host.h"

namespace {

void write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
}

// Two linked nodes with weights, a parent, flags and strings.
vantrelController* filledContainer(INode* sceneNode, Control* controller) {
    auto* c = static_cast<vantrelController*>(static_cast<Animatable*>(LibClassDesc(0)->Create(0)));
    GraphContext ctx = c->graphContext();
    for (int i = 0; i < 3; ++i) addNode(ctx);
    SchematicNode& a = *c->nodeTable[0];
    SchematicNode& b = *c->nodeTable[1];
    SchematicSocket* out = addSocket(ctx, a, 1, "Output", false);
    SchematicSocket* in = addSocket(ctx, b, 0, "Input", false);
    connectSockets(*out, *in, 5);
    connectSockets(*addSocket(ctx, a, 1, "Output", false), *in, 9);
    setParent(b, &a, true);
    a.sceneNode = sceneNode;
    out->sceneController = controller;
    a.nodeInfo = "info";
    b.collapsed = 1;
    c->containerView->zoom = 1.5f;
    c->backgroundPath = "bg.bmp";
    return c;
}

template <class... T>
void data(ChunkWriter& w, USHORT id, T... values) {
    ULONG n = 0;
    w.BeginChunk(id);
    (w.Write(&values, sizeof values, &n), ...);
    w.EndChunk();
}

// Every node the identifiers can number, each the parent of the next: about 1 MB.
std::vector<uint8_t> longParentChain() {
    namespace cc = container_chunk;
    ChunkWriter w;
    for (int32_t i = 0; i < kMaxStoredNodes; ++i) {
        w.BeginChunk(USHORT(cc::firstNode + i));
        data(w, cc::nodeParent, int32_t(i - 1));
        w.EndChunk();
    }
    return w.bytes();
}

// One output linked many times to the last of many inputs of a second node: about 1 MB.
std::vector<uint8_t> wideLinkTable() {
    namespace cc = container_chunk;
    constexpr int32_t inputs = 20000, links = 60000;
    ChunkWriter w;
    w.BeginChunk(cc::firstNode);
    w.BeginChunk(cc::firstSocket);
    data(w, cc::socketController, int32_t(0), int32_t(0), int32_t(1));
    ULONG n = 0;
    w.BeginChunk(cc::socketLinks);
    w.Write(&links, sizeof links, &n);
    for (int32_t k = 0; k < links; ++k) {
        const int32_t pair[2] = {1, inputs - 1};
        w.Write(pair, sizeof pair, &n);
    }
    w.EndChunk();
    w.EndChunk();
    w.EndChunk();
    w.BeginChunk(USHORT(cc::firstNode + 1));
    for (int32_t j = 0; j < inputs; ++j) {
        w.BeginChunk(USHORT(cc::firstSocket + j));
        data(w, cc::socketController, int32_t(0), j, int32_t(0));
        w.EndChunk();
    }
    w.EndChunk();
    return w.bytes();
}

}  // namespace

int main(int argc, char** argv) {
    start_host();
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER [REGRESSIONS]\n");
        return 2;
    }
    const std::string folder = argv[1];
    register_class(LibClassDesc(0));

    Scene scene;
    write(folder + "/empty_scene", scene.saveToBytes());
    INode* node = scene.createNode("box");
    auto* value = new HostFloatController;
    scene.addTrack(value);
    scene.addTrack(new HostPositionController);
    vantrelController* container = filledContainer(node, value);
    scene.addTrack(container);
    write(folder + "/scene_with_container", scene.saveToBytes());

    ChunkWriter w;
    container->Save(&w);
    write(folder + "/container_data", w.bytes());
    if (argc == 3) {
        write(std::string(argv[2]) + "/long_parent_chain", longParentChain());
        write(std::string(argv[2]) + "/wide_link_table", wideLinkTable());
    }
    return 0;
}
