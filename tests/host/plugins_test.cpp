// plugins_test.cpp - loading plug-in DLLs from disk: LibInit once, descriptions, classes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "host/scene/plugapi.h"
#include "host/core/listener.h"
#include "host/win32/plugins.h"
#include "host/win32/rollout.h"
#include "tests/support/host_test_support.h"

namespace {

std::string fixture_folder() { return exe_folder() + "\\fixture_plugins"; }

const LoadedPlugin* plugin_named(const char* file) {
    for (const LoadedPlugin& p : loaded_plugins()) {
        std::string path = p.path;
        if (path.size() >= strlen(file) && path.compare(path.size() - strlen(file), strlen(file), file) == 0)
            return &p;
    }
    return nullptr;
}

int fixture_init_count() {
    HMODULE module = GetModuleHandleA("fixture_extension.dlx");
    if (!module) return -1;
    auto* count = reinterpret_cast<int*>(GetProcAddress(module, "fixture_init_count"));
    return count ? *count : -1;
}

TEST(PluginLoading, ExtensionIsInitialisedOnceEvenWhenItsFolderIsLoadedTwice) {
    load_plugins(fixture_folder().c_str());
    int again = load_plugins(fixture_folder().c_str());
    EXPECT_EQ(again, 0);
    EXPECT_EQ(fixture_init_count(), 1);

    const LoadedPlugin* ext = plugin_named("fixture_extension.dlx");
    ASSERT_NE(ext, nullptr);
    EXPECT_EQ(ext->kind, PluginKind::extension);
    EXPECT_EQ(ext->description, "Vantrel host test extension");
    EXPECT_EQ(ext->version, ULONG(VERSION_3DSMAX));
    EXPECT_EQ(ext->module, GetModuleHandleA("fixture_extension.dlx"));
    EXPECT_EQ(std::count_if(loaded_plugins().begin(), loaded_plugins().end(),
                            [&](const LoadedPlugin& p) { return p.module == ext->module; }),
              1);
}

TEST(PluginLoading, ClassPluginFillsTheClassDirectoryOnce) {
    load_plugins(fixture_folder().c_str());
    load_plugins(fixture_folder().c_str());
    const LoadedPlugin* classes = plugin_named("fixture_classes.dlc");
    ASSERT_NE(classes, nullptr);
    EXPECT_EQ(classes->kind, PluginKind::classes);
    EXPECT_EQ(classes->description, "Vantrel host test classes");
    EXPECT_EQ(classes->version, ULONG(VERSION_3DSMAX));
    EXPECT_EQ(classes->class_count, 1);

    ClassDesc* cd = find_class(0x9003, Class_ID(0x1234, 0x5678));
    ASSERT_NE(cd, nullptr);
    EXPECT_STREQ(cd->ClassName(), "Fixture Float");
    EXPECT_STREQ(cd->InternalName(), "fixtureFloat");
    EXPECT_EQ(std::count(class_directory().begin(), class_directory().end(), cd), 1);
    EXPECT_EQ(find_class(0x9004, Class_ID(0x1234, 0x5678)), nullptr);
    EXPECT_EQ(find_class(0x9003, Class_ID(0x1234, 0x5679)), nullptr);
}

TEST(PluginLoading, ExtensionKeywordWorksInARollout) {
    load_plugins(fixture_folder().c_str());
    ASSERT_NE(find_rollout_control_maker(Name::intern("fixtureLabel")), nullptr);

    Rooted root(new Rollout(Name::intern("pluginRollout"), new String("Plug-in")));
    auto* ro = static_cast<Rollout*>(root.slot);
    RolloutControl* ctl = ro->add_control(Name::intern("FixtureLabel"), Name::intern("lbl"), new String("From plug-in"));
    ASSERT_TRUE(ro->open());
    char text[64] = {};
    GetWindowTextA(ctl->control_window(), text, sizeof text);
    EXPECT_STREQ(text, "From plug-in");
    ro->close();
}

TEST(PluginLoading, PluginWithMissingExportsIsReportedAndSkipped) {
    listener_clear();
    load_plugins(fixture_folder().c_str());
    EXPECT_NE(listener_text().find("fixture_incomplete.dlx: missing export LibVersion, LibInit"), std::string::npos)
        << listener_text();
    EXPECT_EQ(plugin_named("fixture_incomplete.dlx"), nullptr);
}

TEST(PluginLoading, PluginBuiltForAnotherInterfaceIsRefusedByName) {
    listener_clear();
    load_plugins(fixture_folder().c_str());
    EXPECT_NE(listener_text().find("fixture_obsolete.dlx: built for plug-in interface 24, which this host "
                                   "(interface 60) cannot load"),
              std::string::npos)
        << listener_text();
    EXPECT_EQ(plugin_named("fixture_obsolete.dlx"), nullptr);
    // Never initialised, and unloaded again.
    EXPECT_EQ(GetModuleHandleA("fixture_obsolete.dlx"), nullptr);
}

TEST(PluginLoading, FilesThatAreNotDllsAndMissingFoldersDoNotStopTheHost) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "vantrel_host_test_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string broken = folder + "\\broken.dlx";
    std::ofstream(broken) << "not a library";
    std::string decoy = folder + "\\decoy.dlxx";  // wildcard short-name matching must not pick it
    std::ofstream(decoy) << "not a plug-in either";

    listener_clear();
    EXPECT_EQ(load_plugins(folder.c_str()), 0);
    EXPECT_NE(listener_text().find("broken.dlx: LoadLibrary failed"), std::string::npos) << listener_text();
    EXPECT_EQ(listener_text().find("decoy"), std::string::npos) << listener_text();
    EXPECT_EQ(load_plugins((folder + "\\does_not_exist").c_str()), 0);

    DeleteFileA(broken.c_str());
    DeleteFileA(decoy.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
