// controller_plugin_test.cpp - vantrelController.dlc loaded from disk by the host.
#include <gtest/gtest.h>

#include <cstring>

#include <fstream>
#include <iterator>

#include "host/scene/plugapi.h"
#include "controller/container_chunks.h"
#include "controller/vantrel_controller.h"
#include "graph/graph.h"
#include "host/scene/chunk_file.h"
#include "host/core/errors.h"
#include "host/win32/plugins.h"
#include "host/scene/scene.h"

namespace {

typedef ClassDesc* (*LibClassDescFn)(int);

const LoadedPlugin* controllerPlugin() {
    load_plugins("plugins");
    for (const LoadedPlugin& p : loaded_plugins())
        if (p.path.size() > 21 && p.path.compare(p.path.size() - 21, 21, "vantrelController.dlc") == 0) return &p;
    return nullptr;
}

TEST(ControllerPlugin, LoadsFromThePluginsFolderAndHandsItsClassToTheHost) {
    const LoadedPlugin* plugin = controllerPlugin();
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->kind, PluginKind::classes);
    EXPECT_EQ(plugin->description, "Vantrel Controller");
    EXPECT_EQ(plugin->version, ULONG(VERSION_3DSMAX));
    EXPECT_EQ(plugin->class_count, 1);

    ClassDesc* cd = find_class(0x9003, Class_ID(0x4E9A62EA, 0x5A1E0244));
    ASSERT_NE(cd, nullptr);
    EXPECT_EQ(find_class_named("VANTRELCONTROLLER"), cd);
    auto classDesc = reinterpret_cast<LibClassDescFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(plugin->module, "LibClassDesc")));
    EXPECT_EQ(classDesc(3), cd) << "every index names the one class";
    EXPECT_STREQ(cd->ClassName(), "Vantrel Controller");

    // Made by the host through the descriptor, used only through its virtuals.
    auto* made = static_cast<Control*>(static_cast<Animatable*>(cd->Create(TRUE)));
    EXPECT_TRUE(isVantrelController(made));
    ChunkWriter w;
    EXPECT_EQ(made->Save(&w), IO_OK);
    RemapDir remap;
    ReferenceTarget* copy = made->Clone(remap);
    ChunkReader r(w.bytes().data(), w.bytes().size());
    EXPECT_EQ(copy->Load(&r), IO_OK);
    EXPECT_EQ(static_cast<vantrelController*>(copy)->storedNodeCount, 0);
    copy->DeleteThis();
    made->DeleteThis();
}

TEST(ControllerPlugin, GraphTooLargeForTheFileIsRefusedAndTheOldFileStays) {
    ASSERT_NE(controllerPlugin(), nullptr);
    ClassDesc* cd = find_class(0x9003, Class_ID(0x4E9A62EA, 0x5A1E0244));
    auto* container = static_cast<vantrelController*>(static_cast<Animatable*>(cd->Create(FALSE)));
    Scene scene;
    scene.addTrack(container);
    const std::string path = "too_large.vsc";
    scene.saveToFile(path);
    std::ifstream before(path, std::ios::binary);
    const std::string saved{std::istreambuf_iterator<char>(before), {}};
    before.close();

    GraphContext ctx = container->graphContext();
    for (int i = 0; i <= kMaxStoredNodes; ++i) addNode(ctx);
    try {
        scene.saveToFile(path);  // the error crosses from the plug-in into the host
        FAIL();
    } catch (RuntimeError& e) {
        EXPECT_EQ(e.text, "Scene not saved: vantrelController: 64769 nodes cannot be saved; "
                          "a scene file holds at most 64768");
    }
    std::ifstream after(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), saved);
    after.close();
    DeleteFileA(path.c_str());
}

}  // namespace
