// demo.cpp - the demonstration: a rollout holding a SchematicControl, opened and closed.
#include "host/runner/demo.h"

#include <windows.h>
#include <cstdio>

#include "host/heap.h"
#include "host/plugins.h"
#include "host/rollout.h"
#include "host/value.h"

namespace {
void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

Value* keyword(const char* name) { return Name::intern(name); }
}  // namespace

int runDemo(const char* outputFolder) {
    Value* controlKeyword = Name::find("SchematicControl");
    if (!controlKeyword || !find_rollout_control_maker(controlKeyword)) {
        std::printf("the SchematicControl keyword is not installed\n");
        return 1;
    }
    std::printf("control keyword: SchematicControl (installed)\n");
    std::printf("interned names: %d\n", Name::interned_count());

    auto* rollout = new Rollout(keyword("demoRollout"), new String("Vantrel demo"));
    gc_add_root(reinterpret_cast<Value**>(&rollout));
    rollout->width = 420;
    Value* params[] = {keyword("width"), Integer::intern(400), keyword("height"), Integer::intern(300)};
    RolloutControl* control = rollout->add_control(controlKeyword, keyword("sc"), new String("Schematic"),
                                                   params, 4);
    if (!rollout->open()) {
        std::printf("the rollout did not open\n");
        return 1;
    }
    pumpMessages();

    HWND window = control->control_window();
    char className[64] = "";
    if (window) GetClassNameA(window, className, sizeof className);
    RECT client{};
    if (window) GetClientRect(window, &client);
    std::printf("control window class: %s, client %ldx%ld\n", className, client.right, client.bottom);

    rollout->close();
    gc_remove_root(reinterpret_cast<Value**>(&rollout));
    gc();
    std::printf("rollout closed; live values after collection: %u\n", unsigned(gc_live_count()));
    (void)outputFolder;
    return window ? 0 : 1;
}
