// script_session.h - a script's view of an open control: properties by name, print forms.
#pragma once
#include <functional>
#include <string>

#include "graph/graph.h"
#include "host/core/errors.h"
#include "tests/support/plugin_session.h"

// Reads and writes go through the control's own get_property / set_property with
// interned names, exactly as the host hands them over.
struct ScriptSession {
    TestRollout rollout;
    SchematicControl& sc;

    explicit ScriptSession(bool open = true, int width = 320, int height = 200)
        : rollout(width, height), sc(rollout.control()) {
        if (open) rollout.open();
    }

    Value* get(const char* name) {
        Value* args[] = {Name::intern(name)};
        return sc.get_property(args, 1);
    }
    Value* set(const char* name, Value* value) {
        Value* args[] = {value, Name::intern(name)};
        return sc.set_property(args, 2);
    }
    // Results as the listener prints them: true, OK, undefined, 3, 1.0, "a", [1,2], #(3, 1).
    std::string read(const char* name) { return print_form(get(name)); }
    std::string write(const char* name, Value* value) { return print_form(set(name, value)); }

    SchematicNode& node(size_t index) { return *(*sc.graph.nodeTable)[index]; }
    size_t nodeCount() { return sc.graph.nodeTable->size(); }
    // Adds n nodes through the script and makes node `active` (1-based) active.
    void addNodes(int n, int active = 0) {
        for (int i = 0; i < n; ++i) get("addNode");
        set("activeNode", Integer::intern(active));
    }
};

inline Value* I(int n) { return Integer::intern(n); }
inline Value* F(float f) { return Float::intern(f); }
inline Value* S(const char* s) { return new String(s); }
inline Value* P2(float x, float y) { return new Point2Value(x, y); }
inline Value* arrayOf(std::initializer_list<Value*> items) {
    auto* a = new Array(0);
    for (Value* v : items) a->append(v);
    return a;
}

// The host error a call raises, as printed; "no error" when it returns.
inline std::string errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (MAXScriptException& e) {
        return e.message();
    }
    return "no error";
}

// The pending update region of a window; empty when nothing was invalidated.
inline RECT updateRect(HWND window) {
    RECT r{};
    if (!GetUpdateRect(window, &r, FALSE)) return RECT{};
    return r;
}
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
