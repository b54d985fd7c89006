// registration_test.cpp - what the host sees of the extension once it is loaded.
#include <gtest/gtest.h>

#include "host/scene/plugapi.h"
#include "script/names.h"
#include "host/core/errors.h"
#include "host/win32/plugins.h"
#include "tests/support/plugin_session.h"

namespace {
// The vocabulary as the host's scripts know it, written out here rather than taken from
// the table the extension is built from, so that a name lost or moved there shows.
const char* const kVocabulary[] = {
    "LButtonDblclk", "LButtonDown", "LButtonUp", "MButtonDown", "MButtonUp", "mouseScroll",
    "mouseMoved", "rButtonDown", "rButtonUp", "redrawView", "nodeClicked", "connectionChanged",
    "zoom", "pan", "redrawNode", "findNodeByPos", "getNodeCount", "nodesDeleted",
    "allowUIDelete", "storageContainer", "selectedNodeIndex", "backgroundBitmap", "backgroundPath", "allowZoom",
    "allowPan", "regionSelected", "tileBackground", "keyboardDown", "keyboardUp", "showInfo",
    "drawWeights", "allowRegionSelect", "getDeletedNodeCount", "getDeletedNodeIndex", "setRenderBall", "preNodesDeleted",
    "connectToEmpty", "connectionStarted", "drawShadows", "drawLastIndex", "drawMenuBars", "zoomAboutMouse",
    "nodeTransparency", "setInfo", "useDrawLayers", "addNode", "activeNode", "deleteActiveNode",
    "getSelectionCount", "nodeName", "nodeBitmap", "activeNodePos", "activeNodePosRelative", "activeNodeCollapsed",
    "nodeColor", "nodeSize", "isHidden", "bitmapPath", "sceneNode", "nodeInfo",
    "posLocked", "nodeNameOffset", "selectable", "isselected", "nodeCollapsedSize", "edgeSize",
    "showBitmapOnly", "isCollapsible", "parentNode", "getChildCount", "childIndex", "drawConnectionsFromParent",
    "getSelectedConnectionNodeAndSocket", "textAlign", "bitmapSize", "viewAlign", "viewAlignOffset", "showMiniBitmap",
    "drawLayer", "addInSocket", "addOutSocket", "activeSocket", "deleteActiveSocket", "getSocketCount",
    "socketName", "toggleConnection", "activeSocketFlipped", "activeSocketValue", "activeSocketShowValue", "getActiveSocketType",
    "getActiveSocketConnectingNodeIndices", "getActiveSocketConnectingSocketIndices", "sceneController", "socketPosition", "connectionColor", "socketLabelOffset",
    "socketDataClass", "socketValueChanged", "connectionSelectionChanged", "getSelectedConnectionIndex", "socketInfo", "setConnectionWeight",
    "getConnectionWeight", "socketIsHidden", "drawSeperator", "generateHLSL", "dragDropShaderNode", "nodeIsHidden",
    "deleteNodeActive", "dosCommandHidden"};

const LoadedPlugin* vantrelPlugin() {
    for (const LoadedPlugin& p : loaded_plugins())
        if (p.module == PluginSession::get().module) return &p;
    return nullptr;
}

std::string errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (MAXScriptException& e) {
        return e.message();
    }
    return "no error";
}
}  // namespace

TEST(Registration, HostLoadsExtensionAndReadsItsDescriptionAndVersion) {
    ASSERT_NE(PluginSession::get().module, nullptr);
    const LoadedPlugin* plugin = vantrelPlugin();
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->description, "Maxscript Schematic Control");
    EXPECT_EQ(plugin->version, ULONG(VERSION_3DSMAX));
    EXPECT_EQ(plugin->kind, PluginKind::extension);
}

TEST(Registration, EveryNameIsInternedAndExportedInTableOrder) {
    PluginSession& session = PluginSession::get();
    int count = 0;
    for (const char* name : kVocabulary) {
        std::string exportName = std::string("n_") + name;
        Value** global = session.exported<Value*>(exportName.c_str());
        ASSERT_NE(global, nullptr) << exportName;
        EXPECT_EQ(*global, Name::intern(name)) << exportName;
        ++count;
    }
    EXPECT_EQ(count, 110);
    EXPECT_EQ(vocabularySize(), 110) << "the extension's table has names this list lacks";
}

TEST(Registration, WindowClassAndKeywordAreInstalled) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(PluginSession::get().module, "SCHEMATIC_WINDOWCLASS", &wc));
    EXPECT_EQ(wc.style, UINT(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(wc.hbrBackground, nullptr);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_NE(find_rollout_control_maker(Name::intern("SchematicControl")), nullptr);
    // Keywords are case-insensitive like every script name.
    EXPECT_NE(find_rollout_control_maker(Name::intern("schematiccontrol")), nullptr);
}

TEST(Registration, SecondLibInitKeepsOneClassAndTheSameNames) {
    PluginSession& session = PluginSession::get();
    auto libInit = reinterpret_cast<void (*)()>(GetProcAddress(session.module, "LibInit"));
    ASSERT_NE(libInit, nullptr);
    Value* before = *session.exported<Value*>("n_nodeClicked");
    int keywordsBefore = installed_rollout_control_count();

    libInit();

    EXPECT_EQ(*session.exported<Value*>("n_nodeClicked"), before);
    EXPECT_EQ(installed_rollout_control_count(), keywordsBefore);
    // Registering again would fail and skip the keyword; a control still opens.
    TestRollout ro;
    ASSERT_TRUE(ro.open());
    EXPECT_NE(ro.control().window, nullptr);
}

RolloutControl* notTheSchematicMaker(Value*, Value*, Value**, int) { return nullptr; }

// An extension unloaded and loaded again registers its window class again and installs its
// keyword again; the unloaded one leaves no class behind pointing at code that is gone.
TEST(Registration, UnloadedExtensionUnregistersItsClassAndRegistersItAgainWhenReloaded) {
    PluginSession& session = PluginSession::get();
    char path[MAX_PATH];
    GetModuleFileNameA(session.module, path, MAX_PATH);
    const std::string copy = std::string(path) + ".reload.dlx";
    ASSERT_TRUE(CopyFileA(path, copy.c_str(), FALSE));
    Value* keyword = Name::intern("SchematicControl");
    auto restore = reinterpret_cast<void (*)()>(GetProcAddress(session.module, "LibInit"));

    for (int load = 0; load < 2; ++load) {
        HMODULE module = LoadLibraryA(copy.c_str());
        ASSERT_NE(module, nullptr);
        auto libInit = reinterpret_cast<void (*)()>(GetProcAddress(module, "LibInit"));
        ASSERT_NE(libInit, nullptr);
        install_rollout_control(keyword, notTheSchematicMaker);
        libInit();
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        EXPECT_TRUE(GetClassInfoExA(module, "SCHEMATIC_WINDOWCLASS", &wc)) << "load " << load;
        EXPECT_NE(find_rollout_control_maker(keyword), notTheSchematicMaker) << "load " << load;
        FreeLibrary(module);
        EXPECT_FALSE(GetClassInfoExA(module, "SCHEMATIC_WINDOWCLASS", &wc)) << "load " << load;
    }
    restore();  // the session's extension makes the controls again
    DeleteFileA(copy.c_str());
    TestRollout ro;
    ASSERT_TRUE(ro.open());
    EXPECT_NE(ro.control().window, nullptr);
}

TEST(ControlClass, ClassQueriesAnswerTheControlAndRolloutControlClasses) {
    TestRollout ro;
    SchematicControl& sc = ro.control();
    Value* controlClass = PluginSession::get().controlClass();
    ASSERT_NE(controlClass, nullptr);

    EXPECT_EQ(sc.classOf_vf(nullptr, 0), controlClass);
    EXPECT_EQ(sc.superClassOf_vf(nullptr, 0), &RolloutControl_class);
    Value* arg[] = {controlClass};
    EXPECT_EQ(sc.isKindOf_vf(arg, 1), &true_value);
    arg[0] = &RolloutControl_class;
    EXPECT_EQ(sc.isKindOf_vf(arg, 1), &true_value);
    arg[0] = &Integer_class;
    EXPECT_EQ(sc.isKindOf_vf(arg, 1), &false_value);
    EXPECT_TRUE(sc.is_kind_of(static_cast<ValueMetaClass*>(controlClass)));
    EXPECT_TRUE(sc.is_kind_of(&RolloutControl_class));
    EXPECT_FALSE(sc.is_kind_of(&Array_class));
    EXPECT_EQ(print_form(controlClass), "SchematicControl");
}

TEST(ControlClass, WrongArgumentCountsRaiseTheHostError) {
    TestRollout ro;
    SchematicControl& sc = ro.control();
    Value* args[] = {&undefined, &undefined};
    EXPECT_EQ(errorOf([&] { sc.classOf_vf(args, 1); }),
              "-- Argument count error: classOf wanted 1, got 2");
    EXPECT_EQ(errorOf([&] { sc.superClassOf_vf(args, 2); }),
              "-- Argument count error: superClassOf wanted 1, got 3");
    EXPECT_EQ(errorOf([&] { sc.isKindOf_vf(args, 0); }),
              "-- Argument count error: isKindOf wanted 2, got 1");
    EXPECT_EQ(errorOf([&] { sc.isKindOf_vf(args, 2); }),
              "-- Argument count error: isKindOf wanted 2, got 3");
}

TEST(ControlClass, PrintsItsClassAndName) {
    TestRollout ro;
    EXPECT_EQ(print_form(&ro.control()), "SchematicControl:sc");
}
