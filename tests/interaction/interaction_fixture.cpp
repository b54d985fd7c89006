// interaction_fixture.cpp - message sending, held keys and event recording for the Wine tests.
#include "tests/interaction/interaction_fixture.h"

#include <cstring>

#include "host/core/function.h"

namespace {
const char* const kAllEvents[] = {
    "LButtonDown", "LButtonUp", "LButtonDblclk", "MButtonDown", "MButtonUp",
    "mouseScroll", "mouseMoved", "rButtonDown", "rButtonUp", "nodeClicked",
    "connectionChanged", "nodesDeleted", "regionSelected", "keyboardDown", "keyboardUp",
    "preNodesDeleted", "connectToEmpty", "connectionStarted", "socketValueChanged",
    "connectionSelectionChanged"};
}  // namespace

HeldKeys::HeldKeys(std::initializer_list<int> virtualKeys) {
    GetKeyboardState(saved);
    BYTE state[256];
    std::memcpy(state, saved, sizeof state);
    for (int vk : virtualKeys) state[vk] = 0x80;
    SetKeyboardState(state);
}

HeldKeys::~HeldKeys() { SetKeyboardState(saved); }

void InteractionTest::SetUp() {
    ro = std::make_unique<TestRollout>(400, 300);
    ASSERT_TRUE(ro->open());
    sc = &ro->control();
    window = sc->window;
    ASSERT_NE(window, nullptr);
}

void InteractionTest::TearDown() {
    if (GetCapture() == window) ReleaseCapture();
    ro.reset();
}

void InteractionTest::recordAllEvents() {
    // Events that already have a handler (from onEvent) record themselves.
    for (const char* name : kAllEvents)
        if (!ro->rollout().get_event_handler(Name::intern("sc"), Name::intern(name))) ro->recordEvents({name});
}

void InteractionTest::onEvent(const char* name, std::function<void(const std::vector<int>&)> body) {
    std::string eventName = name;
    TestRollout* rollout = ro.get();
    auto* handler = new NativeFunction(name, [rollout, eventName, body](Value** args, int count) -> Value* {
        std::vector<int> values;
        for (int i = 0; i < count; ++i) values.push_back(args[i]->to_int());
        body(values);
        rollout->events.push_back({eventName, values});
        return &ok;
    });
    ro->rollout().add_handler(Name::intern("sc"), Name::intern(name), handler);
}

std::vector<std::string> InteractionTest::eventNames() const {
    std::vector<std::string> out;
    for (const ReceivedEvent& e : ro->events) out.push_back(e.name);
    return out;
}

SchematicNode& InteractionTest::nodeAt(float x, float y, int width) {
    addNode(sc->graph);
    SchematicNode& n = *table().back();
    n.position = {x, y};
    n.width = width;
    return n;
}

POINT InteractionTest::centre(const SchematicSocket& s) {
    const Vec2 p = socketScreenPosition(s);
    const float half = s.radius * s.ownerNode->viewStateRef->zoom * 0.5f;
    return POINT{LONG(p.x + half), LONG(p.y + half)};
}

LRESULT InteractionTest::send(UINT message, WPARAM wParam, int x, int y) {
    // Tests write records directly, behind the spatial index's back.
    ++sc->graph.generation;
    return SendMessageA(window, message, wParam, MAKELPARAM(x, y));
}

void InteractionTest::doubleClick(int x, int y) {
    press(x, y);
    release(x, y);
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, x, y);
    release(x, y);
}

LRESULT InteractionTest::wheel(int x, int y, int delta) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    ++sc->graph.generation;
    return SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(p.x, p.y));
}

LRESULT InteractionTest::key(UINT message, WPARAM virtualKey) {
    ++sc->graph.generation;
    return SendMessageA(window, message, virtualKey, 1);
}

HRGN InteractionTest::takeUpdateRegion() {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(window, region, FALSE);
    ValidateRect(window, nullptr);
    return region;
}

bool InteractionTest::regionCoversClient(HRGN region) {
    RECT client;
    GetClientRect(window, &client);
    HRGN whole = CreateRectRgnIndirect(&client);
    const bool same = EqualRgn(region, whole);
    DeleteObject(whole);
    return same;
}
