// make_seeds.cpp - writes the seed corpus: scene files and container data the writer makes.
//   usage: fuzz_seeds FOLDER
#include <cstdio>
#include <fstream>
#include <string>

#include "controller/plugin.h"
#include "controller/vantrel_controller.h"
#include "graph/graph.h"
#include "host/chunk_file.h"
#include "host/controllers.h"
#include "host/scene.h"

namespace {

void write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
}

// Two linked nodes with weights, a parent, flags and strings.
vantrelController* filledContainer(INode* sceneNode, Control* controller) {
    auto* c = static_cast<vantrelController*>(static_cast<Animatable*>(LibClassDesc(0)->Create(0)));
    GraphContext ctx;
    ctx.nodeTable = &c->nodeTable;
    ctx.viewState = c->containerView.get();
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
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
    return 0;
}
