// scene_across_builds.cpp - one side of the check that a scene file does not depend on the build:
//   scene_across_builds save FILE       a scene with a bound container; its graph as text in FILE.graph
//   scene_across_builds load FILE OUT   loads FILE, compares the graph with FILE.graph field by field,
//                                       saves again to OUT and compares OUT with FILE byte by byte
// The 32-bit and the 64-bit build each run one side (scene_across_builds.cmake).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "controller/vantrel_controller.h"
#include "graph/graph.h"
#include "host/core/errors.h"
#include "host/scene/scene.h"
#include "host/scene/scene_functions.h"
#include "host/scene/scene_values.h"
#include "host/start_host.h"
#include "tests/support/plugin_session.h"
#include "tests/support/graph_signature.h"

namespace {

Value* setProperty(SchematicControl& sc, const char* name, Value* value) {
    Value* args[] = {value, Name::intern(name)};
    return sc.set_property(args, 2);
}

Value* newInstance(const char* className) {
    Value* name[] = {Name::intern(className)};
    return create_instance_cf(name, 1);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Tied scene objects by what survives a file: a node's name, a track's place.
std::string sceneObjectName(const void* p) {
    if (!p) return "none";
    const Scene& scene = the_scene();
    for (INode* node : scene.nodes())
        if (static_cast<const void*>(node) == p) return std::string("node:") + node->GetName();
    for (size_t i = 0; i < scene.tracks().size(); ++i)
        if (static_cast<const void*>(scene.tracks()[i]) == p) return "track:" + std::to_string(i);
    return "unknown";
}

// Every stored field of the bound graph, its view and the scene around it.
std::string describe(const SchematicControl& sc) {
    std::ostringstream o;
    o << graphSignature(*sc.graph.nodeTable, sceneObjectName);
    o << "view zoom " << sc.viewState->zoom << " pan " << sc.viewState->pan.x << "," << sc.viewState->pan.y
      << " background '" << sc.backgroundPath << "'\n";
    for (INode* node : the_scene().nodes()) o << "scene node '" << node->GetName() << "'\n";
    for (Control* track : the_scene().tracks())
        o << "scene track 0x" << std::hex << track->SuperClassID() << " 0x" << track->ClassID().a << " 0x"
          << track->ClassID().b << std::dec << "\n";
    return o.str();
}

// A graph using every stored field, with values a wider or narrower field would change.
void buildScene(TestRollout& ro) {
    SchematicControl& sc = ro.control();
    Value* box = [] {
        Value* name[] = {new String("Box001")};
        return scene_create_node_cf(name, 1);
    }();
    Value* name2[] = {new String("Sph\xe9re002")};
    scene_create_node_cf(name2, 1);
    Value* floatTrack = newInstance("Bezier_Float");
    Value* container = newInstance("vantrelController");
    Value* tracks[] = {floatTrack, container};
    scene_add_track_cf(&tracks[0], 1);
    scene_add_track_cf(&tracks[1], 1);
    if (setProperty(sc, "storageContainer", container) != &true_value) throw RuntimeError("container not bound");

    GraphContext& g = sc.graph;
    for (int i = 0; i < 4; ++i) addNode(g);
    SchematicGraph& t = *g.nodeTable;
    SchematicNode &a = *t[0], &b = *t[1], &c = *t[2], &d = *t[3];
    SchematicSocket& out1 = *addSocket(g, a, 1, "Out \xe9", false);
    SchematicSocket& out2 = *addSocket(g, a, 1, "Second", false);
    SchematicSocket& in1 = *addSocket(g, b, 0, "In", false);
    SchematicSocket& in2 = *addSocket(g, c, 0, "", false);
    SchematicSocket& in3 = *addSocket(g, c, 0, "Third", false);
    connectSockets(out1, in1, 7);
    connectSockets(out1, in2, -2147483647);
    connectSockets(out2, in3, 2147483647);
    setParent(d, &c, true);
    a.nodeName = "alpha", a.nodeInfo = "line one\nline two", a.bitmapPath = "c:\\maps\\a.bmp";
    a.position = {-12.375f, 1e7f}, a.nameOffset = {0.1f, -0.2f}, a.nodeColor = 0x00FFFEFD;
    a.edgeSize = 3.3f, a.collapsedSize = {-1, 65536}, a.textAlign = 2, a.bitmapSize = {1e-3f, 640.5f};
    a.selected = a.collapsed = a.posLocked = 1;
    a.isCollapsible = 0;
    b.hidden = b.showBitmapOnly = 1, b.selectable = 0;
    setNodeSize(c, 150, 60);
    d.drawConnectionsFromParent = 1;
    setSocketFlipped(out2, 1);
    out2.radius = 6.25f, out2.value = 0.1f, out2.showValue = 0, out2.labelOffset = {3, -4};
    out2.socketDataClass = "float", out2.socketInfo = "si", out2.socketColor = 0x00010203;
    in3.socketIsHidden = in3.drawSeperator = 1, in3.socketPosition = {-0.5f, 12.75f};
    sc.viewState->zoom = 0.75f;
    sc.viewState->pan = {-12.5f, 30.25f};
    sc.backgroundPath = "c:\\maps\\grid.bmp";

    // Ties to scene objects go through the control's properties, as a script makes them.
    setProperty(sc, "activeNode", Integer::intern(1));
    setProperty(sc, "sceneNode", box);
    setProperty(sc, "activeSocket", Integer::intern(1));
    setProperty(sc, "sceneController", floatTrack);
}

// Binds the loaded scene's container to the control.
void bindLoaded(TestRollout& ro) {
    for (Control* track : the_scene().tracks())
        if (isVantrelController(track)) {
            setProperty(ro.control(), "storageContainer", MAXControl::intern(track));
            return;
        }
    throw RuntimeError("the loaded scene holds no container");
}

// The first line where two descriptions part, or an empty string.
std::string firstDifference(const std::string& want, const std::string& got) {
    std::istringstream w(want), g(got);
    std::string lw, lg;
    for (int line = 1;; ++line) {
        const bool moreW = bool(std::getline(w, lw)), moreG = bool(std::getline(g, lg));
        if (!moreW && !moreG) return "";
        if (!moreW || !moreG || lw != lg)
            return "line " + std::to_string(line) + "\n  saved:  " + (moreW ? lw : "(end)") +
                   "\n  loaded: " + (moreG ? lg : "(end)");
    }
}

int run(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    TestRollout ro;
    if (mode == "save" && argc == 3) {
        buildScene(ro);
        Value* file[] = {new String(argv[2])};
        scene_save_cf(file, 1);
        std::ofstream(std::string(argv[2]) + ".graph", std::ios::binary) << describe(ro.control());
        return 0;
    }
    if (mode == "load" && argc == 4) {
        Value* file[] = {new String(argv[2])};
        scene_load_cf(file, 1);
        bindLoaded(ro);
        const std::string want = readFile(std::string(argv[2]) + ".graph");
        const std::string got = describe(ro.control());
        if (want.empty() || got != want) {
            std::printf("the loaded graph differs from the saved one at %s\n", firstDifference(want, got).c_str());
            return 1;
        }
        Value* again[] = {new String(argv[3])};
        scene_save_cf(again, 1);
        const std::string original = readFile(argv[2]), resaved = readFile(argv[3]);
        if (original != resaved) {
            size_t at = 0;
            while (at < original.size() && at < resaved.size() && original[at] == resaved[at]) ++at;
            std::printf("saved again, the file differs from the loaded one at byte %zu (sizes %zu and %zu)\n",
                        at, original.size(), resaved.size());
            return 1;
        }
        return 0;
    }
    std::printf("usage: scene_across_builds save FILE | load FILE OUT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    start_host();
    const char* build = sizeof(void*) == 8 ? "64-bit" : "32-bit";
    try {
        const int result = run(argc, argv);
        std::printf("%s build: %s %s\n", build, argc > 1 ? argv[1] : "", result == 0 ? "ok" : "FAILED");
        return result;
    } catch (MAXScriptException& e) {
        std::printf("%s build: %s\n", build, e.message().c_str());
        return 1;
    }
}
