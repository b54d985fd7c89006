// gesture_fixture.h - the gestures without a window: a port and seam that log what they are asked.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "graph/graph.h"
#include "interaction/handlers.h"
#include "tests/support/schematic_parts.h"

struct LoggedEvent {
    std::string name;
    std::vector<int32_t> args;
    bool operator==(const LoggedEvent& o) const { return name == o.name && args == o.args; }
};

inline void PrintTo(const LoggedEvent& e, std::ostream* os) {
    *os << e.name << "(";
    for (size_t i = 0; i < e.args.size(); ++i) *os << (i ? "," : "") << e.args[i];
    *os << ")";
}

inline std::string eventName(UiEvent e) {
    switch (e) {
        case UiEvent::LButtonDown: return "LButtonDown";
        case UiEvent::LButtonUp: return "LButtonUp";
        case UiEvent::LButtonDblclk: return "LButtonDblclk";
        case UiEvent::MButtonDown: return "MButtonDown";
        case UiEvent::MButtonUp: return "MButtonUp";
        case UiEvent::rButtonDown: return "rButtonDown";
        case UiEvent::rButtonUp: return "rButtonUp";
        case UiEvent::mouseScroll: return "mouseScroll";
        case UiEvent::mouseMoved: return "mouseMoved";
        case UiEvent::keyboardDown: return "keyboardDown";
        case UiEvent::keyboardUp: return "keyboardUp";
        case UiEvent::nodeClicked: return "nodeClicked";
        case UiEvent::connectionStarted: return "connectionStarted";
        case UiEvent::connectionSelectionChanged: return "connectionSelectionChanged";
        case UiEvent::connectionChanged: return "connectionChanged";
        case UiEvent::connectToEmpty: return "connectToEmpty";
        case UiEvent::regionSelected: return "regionSelected";
        case UiEvent::socketValueChanged: return "socketValueChanged";
    }
    return "?";
}

inline std::string eventName(GraphEvent e) {
    switch (e) {
        case GraphEvent::connectionChanged: return "connectionChanged";
        case GraphEvent::preNodesDeleted: return "preNodesDeleted";
        case GraphEvent::nodesDeleted: return "nodesDeleted";
    }
    return "?";
}

// Stands in for the window and the script: one log for events from both roads,
// and a handler that runs inside every event as a script handler would.
struct LoggingPort : WindowPort, GraphSeam {
    std::vector<LoggedEvent> events;
    std::function<void(const std::string&)> handler;
    int captures = 0;
    int aboutBoxes = 0;

    void log(const std::string& name, const int32_t* args, int count) {
        events.push_back({name, std::vector<int32_t>(args, args + count)});
        if (handler) handler(name);
    }
    void raise(UiEvent e, const int32_t* args, int count) override { log(eventName(e), args, count); }
    void raiseEvent(GraphEvent e, const int32_t* args, int count) override { log(eventName(e), args, count); }
    void redraw(const RectI*) override {}
    void releaseBitmap(void*) override {}
    void takeFocus() override {}
    void capturePointer() override { ++captures; }
    void releasePointer() override { captures = 0; }
    void showAboutBox() override { ++aboutBoxes; }
    bool nudgeSceneController(Control&, float) override { return false; }
};

class GestureTest : public ::testing::Test, protected SchematicParts {
protected:
    LoggingPort port;

    GestureTest() { ctx.seam = &port; }
    ~GestureTest() override {
        port.handler = nullptr;
        clearGraph(ctx);
    }

    SchematicNode& nodeAtPos(float x, float y) {
        addNode(ctx);
        table.back()->position = {x, y};
        return *table.back();
    }
    SchematicSocket& input(SchematicNode& n) { return *addSocket(ctx, n, 0, "In", false); }
    SchematicSocket& output(SchematicNode& n) { return *addSocket(ctx, n, 1, "Out", false); }

    static PointerInput at(Vec2 p, KeyState keys = {}) {
        PointerInput in;
        in.x = int32_t(p.x);
        in.y = int32_t(p.y);
        in.keys = keys;
        return in;
    }
    // Middle of a socket's box on screen.
    static Vec2 centre(const SchematicSocket& s) {
        const Vec2 p = socketScreenPosition(s);
        const float half = s.radius * s.ownerNode->viewStateRef->zoom * 0.5f;
        return {p.x + half, p.y + half};
    }

    void press(Vec2 p, KeyState keys = {}) { onLeftPress(ctx, port, at(p, keys)); }
    void move(Vec2 p, KeyState keys = {}) { onPointerMove(ctx, port, at(p, keys)); }
    void release(Vec2 p, KeyState keys = {}) { onLeftRelease(ctx, port, at(p, keys)); }

    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : port.events) out.push_back(e.name);
        return out;
    }
};
