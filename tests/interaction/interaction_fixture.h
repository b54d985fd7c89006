// interaction_fixture.h - an open rollout whose control gets real window messages.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "graph/graph.h"
#include "tests/support/plugin_session.h"

// Holds modifier keys down in the thread's keyboard state, where GetKeyState reads them.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<int> virtualKeys);
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved[256];
};

inline void PrintTo(const ReceivedEvent& e, std::ostream* os) {
    *os << e.name << "(";
    for (size_t i = 0; i < e.args.size(); ++i) *os << (i ? "," : "") << e.args[i];
    *os << ")";
}

class InteractionTest : public ::testing::Test {
protected:
    std::unique_ptr<TestRollout> ro;
    SchematicControl* sc = nullptr;
    HWND window = nullptr;

    void SetUp() override;
    void TearDown() override;

    // Records the twenty events in ro->events; call after any onEvent.
    void recordAllEvents();
    // Runs body inside every call of the event, before it is recorded (if recorded at all).
    void onEvent(const char* name, std::function<void(const std::vector<int>&)> body);
    std::vector<std::string> eventNames() const;
    void clearEvents() { ro->events.clear(); }

    // Graph building on the control's own table.
    SchematicGraph& table() { return *sc->graph.nodeTable; }
    SchematicViewState& view() { return *sc->graph.viewState; }
    SchematicNode& nodeAt(float x, float y, int width = 100);
    SchematicSocket& input(SchematicNode& n) { return *addSocket(sc->graph, n, 0, "In", false); }
    SchematicSocket& output(SchematicNode& n) { return *addSocket(sc->graph, n, 1, "Out", false); }
    // Middle of a socket's box, in client pixels.
    static POINT centre(const SchematicSocket& s);

    // Real messages to the control window, each with the MK_ flags a user's would carry.
    LRESULT send(UINT message, WPARAM wParam, int x, int y);
    LRESULT press(int x, int y) { return send(WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
    LRESULT press(POINT p) { return press(p.x, p.y); }
    LRESULT move(int x, int y, WPARAM buttons = MK_LBUTTON) { return send(WM_MOUSEMOVE, buttons, x, y); }
    LRESULT move(POINT p) { return move(p.x, p.y); }
    LRESULT release(int x, int y) { return send(WM_LBUTTONUP, 0, x, y); }
    LRESULT release(POINT p) { return release(p.x, p.y); }
    void click(int x, int y) { press(x, y), release(x, y); }
    // The press, release, double-click and release a user's double-click delivers.
    void doubleClick(int x, int y);
    // Wheel message at a client point (the message itself carries screen coordinates).
    LRESULT wheel(int x, int y, int delta);
    LRESULT key(UINT message, WPARAM virtualKey);
    void pressKey(WPARAM virtualKey) { key(WM_KEYDOWN, virtualKey), key(WM_KEYUP, virtualKey); }

    // The window's pending update region, then an empty one for the next check.
    HRGN takeUpdateRegion();
    bool regionCoversClient(HRGN region);
};
