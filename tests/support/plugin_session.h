// plugin_session.h - the extension loaded by the host, and rollouts that hold a control.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "control/schematic_control.h"
#include "host/core/heap.h"
#include "host/win32/rollout.h"

// The loaded Vantrel.dlx; loaded once per test process, as the host does at start-up.
struct PluginSession {
    HMODULE module = nullptr;
    static PluginSession& get();
    // An exported symbol of the extension. Through void (*)(): FARPROC returns INT_PTR,
    // which no exported function of ours does in the 64-bit build.
    template <class T> T* exported(const char* name) const {
        return reinterpret_cast<T*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }
    Value* controlClass() const { return exported<Value>("SchematicControl_class"); }
};

// One event a handler received: its name and integer arguments.
struct ReceivedEvent {
    std::string name;
    std::vector<int> args;
    bool operator==(const ReceivedEvent& o) const { return name == o.name && args == o.args; }
};

// A rollout declaring `SchematicControl sc "Schematic" width:W height:H`, held by a
// root until the test drops it.
class TestRollout {
public:
    TestRollout(int width = 320, int height = 200);
    ~TestRollout();

    SchematicControl& control() const { return *control_; }
    Rollout& rollout() const { return *rollout_; }
    bool open();
    void close() { rollout_->close(); }
    // Lets the collector see the rollout as unreachable.
    void drop();
    // Records every call of the named events in `events`.
    void recordEvents(std::initializer_list<const char*> names);
    std::vector<ReceivedEvent> events;

private:
    Rollout* rollout_ = nullptr;
    SchematicControl* control_ = nullptr;
    bool rooted_ = false;
};

void pumpMessages();
