// window_test.cpp - routing, focus, capture, keys, the about box and the right button.
#include <atomic>
#include <string>
#include <thread>

#include "host/core/core.h"
#include "tests/interaction/interaction_fixture.h"

namespace {

using Window = InteractionTest;
using Events = std::vector<ReceivedEvent>;

TEST_F(Window, PressesTakeFocusWhichSwitchesTheHostAcceleratorsOffUntilItLeaves) {
    SetFocus(nullptr);
    EXPECT_TRUE(AcceleratorsEnabled());
    press(5, 5);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_FALSE(AcceleratorsEnabled());
    release(5, 5);
    SetFocus(ro->rollout().page);
    EXPECT_TRUE(AcceleratorsEnabled());
    send(WM_RBUTTONDOWN, MK_RBUTTON, 5, 5);
    EXPECT_EQ(GetFocus(), window);
    send(WM_RBUTTONUP, 0, 5, 5);
    SetFocus(nullptr);
}

TEST_F(Window, EveryPressCapturesThePointerAndItsReleaseLetsGo) {
    for (auto [down, up, flag] : {std::tuple{WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON},
                                  std::tuple{WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON},
                                  std::tuple{WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON}}) {
        EXPECT_EQ(send(down, flag, 20, 20), 1);
        EXPECT_EQ(GetCapture(), window) << down;
        EXPECT_EQ(send(up, 0, 20, 20), 1);
        EXPECT_EQ(GetCapture(), nullptr) << up;
    }
}

TEST_F(Window, KeysReachScriptWithTheirCodesAndDeleteRunsBetweenThem) {
    recordAllEvents();
    EXPECT_EQ(key(WM_KEYDOWN, 'A'), 1);
    EXPECT_EQ(key(WM_KEYUP, 'A'), 1);
    EXPECT_EQ(ro->events, (Events{{"keyboardDown", {65}}, {"keyboardUp", {65}}}));

    // Nothing selected: the deletion is still announced, nothing is reported deleted.
    nodeAt(10, 10);
    clearEvents();
    pressKey(VK_DELETE);
    EXPECT_EQ(ro->events, (Events{{"keyboardDown", {46}}, {"preNodesDeleted", {}}, {"keyboardUp", {46}}}));

    nodeAt(200, 10);
    click(20, 20);  // selects node 1
    clearEvents();
    pressKey(VK_DELETE);
    EXPECT_EQ(ro->events, (Events{{"keyboardDown", {46}}, {"preNodesDeleted", {}}, {"nodesDeleted", {}},
                                  {"keyboardUp", {46}}}));
    ASSERT_EQ(table().size(), 1u);
    EXPECT_EQ(sc->graph.deletedNodeIndices, std::vector<int32_t>{0});

    table()[0]->selected = 1;
    view().allowUIDelete = 0;
    clearEvents();
    pressKey(VK_DELETE);
    EXPECT_EQ(eventNames(), (std::vector<std::string>{"keyboardDown", "keyboardUp"}));
    EXPECT_EQ(table().size(), 1u);
}

TEST_F(Window, DeleteRemovesALinkSelectedWithTheMouseAndKeepsTheNodes) {
    SchematicNode& a = nodeAt(20, 20);
    SchematicNode& b = nodeAt(200, 100);
    SchematicSocket& out = output(a);
    input(b);
    SchematicSocket& in = input(b);
    connectSockets(out, in);
    recordAllEvents();
    // The straight line from the input (204, 140) to the output (106, 44) passes (155, 92).
    click(155, 92);
    ASSERT_EQ(sc->graph.selectedConnection, &out);
    clearEvents();
    pressKey(VK_DELETE);
    EXPECT_EQ(ro->events, (Events{{"keyboardDown", {46}}, {"connectionChanged", {1, 2, 2, 1, 0, 0}},
                                  {"keyboardUp", {46}}}));
    EXPECT_TRUE(out.links.empty());
    EXPECT_EQ(table().size(), 2u);
}

// Stands in for the user in front of a modal box: waits for the first dialog
// window the thread shows, notes what it says and presses its OK button.
class BoxDismisser {
public:
    explicit BoxDismisser(DWORD thread) : thread(thread), worker([this] { run(); }) {}
    ~BoxDismisser() { worker.join(); }
    std::atomic<bool> dismissed{false};
    std::string caption, text;
    bool hasOwner = true, hasOk = false;

private:
    DWORD thread;
    std::thread worker;

    void run() {
        for (int i = 0; i < 1000 && !dismissed; ++i) {
            EnumThreadWindows(thread, &BoxDismisser::visit, reinterpret_cast<LPARAM>(this));
            if (!dismissed) Sleep(10);
        }
    }
    static BOOL CALLBACK collectText(HWND child, LPARAM self) {
        char buffer[256] = {};
        GetWindowTextA(child, buffer, sizeof buffer);
        reinterpret_cast<BoxDismisser*>(self)->text += std::string(buffer) + "\n";
        return TRUE;
    }
    static BOOL CALLBACK visit(HWND window, LPARAM selfParam) {
        auto* self = reinterpret_cast<BoxDismisser*>(selfParam);
        char cls[64] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (std::string(cls) != "#32770" || !IsWindowVisible(window)) return TRUE;
        char buffer[256] = {};
        GetWindowTextA(window, buffer, sizeof buffer);
        self->caption = buffer;
        self->hasOwner = GetWindow(window, GW_OWNER) != nullptr;
        self->hasOk = GetDlgItem(window, IDOK) != nullptr;
        EnumChildWindows(window, &BoxDismisser::collectText, selfParam);
        self->dismissed = true;
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return FALSE;
    }
};

TEST_F(Window, F12ShowsAModalAboutBoxAndRaisesTheKeyEventOnceItIsDismissed) {
    BoxDismisser user(GetCurrentThreadId());
    bool boxGoneAtEvent = false;
    onEvent("keyboardDown", [&](const std::vector<int>&) {
        boxGoneAtEvent = user.dismissed && !FindWindowA("#32770", "Information");
    });
    EXPECT_EQ(key(WM_KEYDOWN, VK_F12), 1);  // returns only when the box has gone
    EXPECT_EQ(ro->events, (Events{{"keyboardDown", {123}}}));
    EXPECT_TRUE(boxGoneAtEvent);
    ASSERT_TRUE(user.dismissed);  // its notes are complete once this is set
    EXPECT_EQ(user.caption, "Information");
    EXPECT_NE(user.text.find("Vantrel"), std::string::npos) << user.text;
    EXPECT_TRUE(user.hasOk);
    EXPECT_FALSE(user.hasOwner);
}

TEST_F(Window, ADoubleClickCollapsesTheTopmostNodeUnlessAModifierIsHeld) {
    SchematicNode& below = nodeAt(20, 20);
    SchematicNode& top = nodeAt(60, 30);
    recordAllEvents();
    doubleClick(70, 40);
    EXPECT_EQ(eventNames(), (std::vector<std::string>{"LButtonDown", "nodeClicked", "LButtonUp",
                                                      "LButtonDblclk", "LButtonUp"}));
    EXPECT_TRUE(top.collapsed);
    EXPECT_FALSE(below.collapsed);

    // The search stops at the topmost node even when it may not collapse.
    top.isCollapsible = 0;
    doubleClick(70, 40);
    EXPECT_TRUE(top.collapsed);
    EXPECT_FALSE(below.collapsed);

    top.isCollapsible = 1;
    for (int vk : {VK_CONTROL, VK_MENU, VK_SHIFT}) {
        HeldKeys held{vk};
        clearEvents();
        send(WM_LBUTTONDBLCLK, MK_LBUTTON, 70, 40);
        EXPECT_TRUE(top.collapsed) << vk;
        EXPECT_EQ(eventNames(), std::vector<std::string>{"LButtonDblclk"});
    }
    send(WM_LBUTTONUP, 0, 70, 40);
}

TEST_F(Window, TheRightButtonCancelsAConnectionDragWithoutTouchingTheSelection) {
    SchematicNode& a = nodeAt(20, 20);
    SchematicSocket& out = output(a);
    a.selected = 1;
    recordAllEvents();
    press(centre(out));
    ASSERT_TRUE(view().connecting);
    clearEvents();
    EXPECT_EQ(send(WM_RBUTTONDOWN, MK_RBUTTON | MK_LBUTTON, 200, 200), 1);
    EXPECT_FALSE(view().connecting);
    EXPECT_FALSE(view().leftButtonDown);
    EXPECT_EQ(sc->graph.dragSocket, nullptr);
    EXPECT_TRUE(a.selected);
    move(250, 250);
    send(WM_RBUTTONUP, 0, 250, 250);
    EXPECT_EQ(eventNames(), (std::vector<std::string>{"rButtonDown", "mouseMoved", "rButtonUp"}));
    EXPECT_FLOAT_EQ(a.position.x, 20.0f);
}

TEST_F(Window, AWindowOfTheClassWithoutAControlIsLeftToTheDefaultProcedure) {
    HWND stray = CreateWindowExA(0, "SCHEMATIC_WINDOWCLASS", "", WS_POPUP, 0, 0, 50, 50, nullptr,
                                 nullptr, PluginSession::get().module, nullptr);
    ASSERT_NE(stray, nullptr);
    EXPECT_EQ(SendMessageA(stray, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)), 0);
    EXPECT_EQ(SendMessageA(stray, WM_KEYDOWN, VK_F12, 1), 0);
    EXPECT_EQ(FindWindowA(nullptr, "Information"), nullptr);
    DestroyWindow(stray);
}

}  // namespace
