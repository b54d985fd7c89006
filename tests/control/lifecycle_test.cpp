// lifecycle_test.cpp - window creation, back buffer, reopening, enabling and collection.
#include <gtest/gtest.h>

#include "graph/graph.h"
#include "host/core/errors.h"
#include "tests/support/plugin_session.h"

namespace {
// Refuses the creation of every schematic window, as a failing CreateWindowEx would.
LRESULT CALLBACK refuseSchematicWindows(int code, WPARAM wParam, LPARAM lParam) {
    char className[64] = "";
    if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className) &&
        lstrcmpA(className, "SCHEMATIC_WINDOWCLASS") == 0)
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

SIZE bitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}
}  // namespace

TEST(ControlLifecycle, ConstructionStartsWithoutWindowAndWithEmptyOwnTable) {
    TestRollout ro;
    SchematicControl& sc = ro.control();
    EXPECT_EQ(sc.window, nullptr);
    ASSERT_NE(sc.graph.nodeTable, nullptr);
    EXPECT_TRUE(sc.graph.nodeTable->empty());
    EXPECT_FALSE(sc.graph.tableBorrowed);
    EXPECT_EQ(sc.storageContainer, nullptr);
    EXPECT_EQ(sc.background.color, RGB(197, 197, 197));
    EXPECT_EQ(GetObjectType(sc.background.brush.get()), DWORD(OBJ_BRUSH));
    EXPECT_EQ(sc.viewState->zoom, 1.0f);
    EXPECT_EQ(sc.viewState->activeNode, -1);
}

TEST(ControlLifecycle, OpeningCreatesChildWindowSizedByTheDeclaration) {
    TestRollout ro(320, 200);
    ASSERT_TRUE(ro.open());
    SchematicControl& sc = ro.control();
    ASSERT_NE(sc.window, nullptr);

    char className[64] = "";
    GetClassNameA(sc.window, className, sizeof className);
    EXPECT_STREQ(className, "SCHEMATIC_WINDOWCLASS");
    EXPECT_EQ(GetParent(sc.window), ro.rollout().page);
    LONG style = GetWindowLongA(sc.window, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(style & WS_GROUP);
    EXPECT_EQ(GetDlgCtrlID(sc.window), sc.control_ID);
    char title[64] = "";
    GetWindowTextA(sc.window, title, sizeof title);
    EXPECT_STREQ(title, "Schematic");

    RECT client;
    GetClientRect(sc.window, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_EQ(sc.viewState->viewRect.right, 320);
    EXPECT_EQ(sc.viewState->viewRect.bottom, 200);
    SIZE buffer = bitmapSize(sc.backBuffer.bitmap.get());
    EXPECT_EQ(buffer.cx, 320);
    EXPECT_EQ(buffer.cy, 200);
    EXPECT_EQ(GetObjectType(sc.backBuffer.dc.get()), DWORD(OBJ_MEMDC));
}

TEST(ControlLifecycle, PaintFillsTheBackBufferWithTheInterfaceBackground) {
    TestRollout ro(120, 80);
    ASSERT_TRUE(ro.open());
    SchematicControl& sc = ro.control();
    // Dirty the buffer so the paint has to cover it.
    RECT all{0, 0, 120, 80};
    FillRect(sc.backBuffer.dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InvalidateRect(sc.window, nullptr, FALSE);
    UpdateWindow(sc.window);
    EXPECT_EQ(GetPixel(sc.backBuffer.dc.get(), 0, 0), RGB(197, 197, 197));
    EXPECT_EQ(GetPixel(sc.backBuffer.dc.get(), 119, 79), RGB(197, 197, 197));
}

TEST(ControlLifecycle, ReopeningTheRolloutEmptiesTheControlsOwnGraph) {
    TestRollout ro;
    ASSERT_TRUE(ro.open());
    SchematicControl& sc = ro.control();
    addNode(sc.graph);
    addNode(sc.graph);
    ASSERT_EQ(sc.graph.nodeTable->size(), 2u);
    HWND first = sc.window;

    ro.close();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(sc.window, nullptr) << "the handle may be reused by another window";
    Value* redraw[] = {Name::intern("redrawView")};
    sc.get_property(redraw, 1);  // repaints nothing
    EXPECT_EQ(sc.graph.nodeTable->size(), 2u) << "closing alone keeps the graph";

    ASSERT_TRUE(ro.open());
    EXPECT_TRUE(IsWindow(sc.window));
    EXPECT_NE(sc.window, first);
    EXPECT_TRUE(sc.graph.nodeTable->empty());

    // A reopening whose window cannot be made still empties the graph and drops the buffer.
    addNode(sc.graph);
    ro.close();
    HHOOK hook = SetWindowsHookExA(WH_CBT, refuseSchematicWindows, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    ro.open();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(sc.window, nullptr);
    EXPECT_TRUE(sc.graph.nodeTable->empty());
    EXPECT_EQ(sc.backBuffer.dc.get(), nullptr);
    EXPECT_EQ(sc.backBuffer.bitmap.get(), nullptr);
}

TEST(ControlLifecycle, EnableChangeReachesTheWindowOnlyWhileOpen) {
    TestRollout ro;
    SchematicControl& sc = ro.control();
    Value* setEnabled[] = {&false_value, Name::intern("enabled")};
    sc.set_property(setEnabled, 2);  // closed: stored, nothing to enable
    EXPECT_FALSE(sc.enabled);

    ASSERT_TRUE(ro.open());
    EXPECT_FALSE(IsWindowEnabled(sc.window)) << "disabled while closed, so it opens disabled";
    setEnabled[0] = &true_value;
    sc.set_property(setEnabled, 2);
    EXPECT_TRUE(IsWindowEnabled(sc.window));
    setEnabled[0] = &false_value;
    sc.set_property(setEnabled, 2);
    EXPECT_FALSE(IsWindowEnabled(sc.window));
}

TEST(ControlLifecycle, CollectingTheControlFreesEverythingItOwns) {
    auto* ro = new TestRollout;
    ASSERT_TRUE(ro->open());
    SchematicControl* sc = &ro->control();
    addNode(sc->graph);
    SchematicNode* node = sc->graph.nodeTable->front();
    HBITMAP nodeBitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    node->bitmapHandle = nodeBitmap;
    HBRUSH brush = sc->background.brush.get();
    HDC buffer = sc->backBuffer.dc.get();
    HBITMAP bufferBitmap = sc->backBuffer.bitmap.get();

    ro->drop();
    gc();

    EXPECT_FALSE(gc_is_live(sc));
    EXPECT_EQ(GetObjectType(nodeBitmap), 0u) << "node bitmap released with its node";
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(buffer), 0u);
    EXPECT_EQ(GetObjectType(bufferBitmap), 0u);
    delete ro;
}

TEST(ControlLifecycle, ControlHeldByAnOpenRolloutSurvivesCollection) {
    TestRollout ro;
    ASSERT_TRUE(ro.open());
    gc();
    EXPECT_TRUE(gc_is_live(&ro.control()));
    EXPECT_TRUE(IsWindow(ro.control().window));
}
