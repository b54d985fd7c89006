// plugin_session.cpp - loading the plug-ins folder once and building test rollouts.
#include "tests/support/plugin_session.h"

#include <gtest/gtest.h>

#include "host/core/function.h"
#include "host/win32/plugins.h"

PluginSession& PluginSession::get() {
    static PluginSession session = [] {
        PluginSession s;
        load_plugins("plugins");
        for (const LoadedPlugin& p : loaded_plugins())
            if (p.path.find("Vantrel.dlx") != std::string::npos) s.module = p.module;
        return s;
    }();
    return session;
}

void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TestRollout::TestRollout(int width, int height) {
    PluginSession::get();
    rollout_ = new Rollout(Name::intern("testRollout"), new String("Test"));
    gc_add_root(reinterpret_cast<Value**>(&rollout_));
    rooted_ = true;
    rollout_->width = width + 30;
    Value* params[] = {Name::intern("width"), Integer::intern(width), Name::intern("height"),
                       Integer::intern(height)};
    control_ = static_cast<SchematicControl*>(rollout_->add_control(
        Name::intern("SchematicControl"), Name::intern("sc"), new String("Schematic"), params, 4));
}

TestRollout::~TestRollout() {
    if (rooted_) {
        rollout_->close();
        gc_remove_root(reinterpret_cast<Value**>(&rollout_));
    }
}

bool TestRollout::open() {
    bool opened = rollout_->open();
    pumpMessages();
    return opened;
}

void TestRollout::drop() {
    rollout_->close();
    gc_remove_root(reinterpret_cast<Value**>(&rollout_));
    rooted_ = false;
}

void TestRollout::recordEvents(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        std::string eventName = name;
        auto* handler = new NativeFunction(name, [this, eventName](Value** args, int count) -> Value* {
            ReceivedEvent e{eventName, {}};
            for (int i = 0; i < count; ++i) e.args.push_back(args[i]->to_int());
            events.push_back(e);
            return &ok;
        });
        rollout_->add_handler(Name::intern("sc"), Name::intern(name), handler);
    }
}
