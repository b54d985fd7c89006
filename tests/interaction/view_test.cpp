// view_test.cpp - wheel zoom and middle-button pan through real messages.
#include "tests/interaction/interaction_fixture.h"

namespace {

using View = InteractionTest;

TEST_F(View, WheelStepsAreSinglePrecisionTenthsWithAFloorButNoCeiling) {
    recordAllEvents();
    view().zoom = 0.25f;
    view().pan = {10, 20};
    EXPECT_EQ(wheel(50, 50, -120), 1);
    EXPECT_EQ(view().zoom, 0.2f);
    EXPECT_EQ(view().pan.x, 10.0f);  // a reset step leaves the pan alone, even about the pointer
    EXPECT_EQ(view().pan.y, 20.0f);

    view().zoom = 1.0f;
    for (int i = 0; i < 8; ++i) wheel(50, 50, -120);
    EXPECT_EQ(view().zoom, 0.199999928f);  // not below 0.19: kept
    wheel(50, 50, -120);
    EXPECT_EQ(view().zoom, 0.2f);
    wheel(50, 50, -120);
    EXPECT_EQ(view().zoom, 0.2f);

    view().zoom = 1.0f;
    for (int i = 0; i < 10; ++i) wheel(50, 50, 120);
    EXPECT_EQ(view().zoom, 2.00000024f);
    EXPECT_EQ(ro->events.size(), 21u);
    for (const ReceivedEvent& e : ro->events) EXPECT_EQ(e, (ReceivedEvent{"mouseScroll", {}}));

    // A script may set 0.29: one step down is 0.189999998 in single precision, which is
    // below 0.19 even though it equals 0.19 written as a float.
    view().zoom = 0.29f;
    view().pan = {10, 20};
    wheel(50, 50, -120);
    EXPECT_EQ(view().zoom, 0.2f);
    EXPECT_EQ(view().pan.x, 10.0f);
}

TEST_F(View, EachMessageIsOneStepWhateverItsDelta) {
    view().zoomAboutMouse = 0;
    for (auto [delta, expected] : {std::pair{360, 1.1f}, std::pair{10, 1.1f}, std::pair{-1, 0.9f},
                                   std::pair{0, 0.9f}}) {
        view().zoom = 1.0f;
        wheel(50, 50, delta);
        EXPECT_EQ(view().zoom, expected) << delta;
    }
}

TEST_F(View, ZoomAboutThePointerKeepsTheGraphPointUnderIt) {
    view().pan = {13, -7};
    const float px = 150, py = 120;
    for (int delta : {120, 120, 120, -120, -120, -120, -120, -120, -120, -120}) {
        const float gx = (px - view().pan.x) / view().zoom;
        const float gy = (py - view().pan.y) / view().zoom;
        wheel(int(px), int(py), delta);
        EXPECT_NEAR(gx * view().zoom + view().pan.x, px, 1e-3) << view().zoom;
        EXPECT_NEAR(gy * view().zoom + view().pan.y, py, 1e-3) << view().zoom;
    }
    // Without zoomAboutMouse the pan stays, so the graph origin stays put.
    view().zoomAboutMouse = 0;
    const Vec2 pan = view().pan;
    wheel(int(px), int(py), 120);
    EXPECT_EQ(view().pan.x, pan.x);
    EXPECT_EQ(view().pan.y, pan.y);
}

TEST_F(View, WithZoomOffTheWheelOnlyRaisesItsEvent) {
    recordAllEvents();
    view().allowZoom = 0;
    takeUpdateRegion();
    wheel(50, 50, 120);
    EXPECT_EQ(view().zoom, 1.0f);
    HRGN region = takeUpdateRegion();
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), NULLREGION);
    DeleteObject(region);
    EXPECT_EQ(eventNames(), std::vector<std::string>{"mouseScroll"});

    view().allowZoom = 1;
    wheel(50, 50, 120);
    region = takeUpdateRegion();
    EXPECT_TRUE(regionCoversClient(region));
    DeleteObject(region);
}

TEST_F(View, AMiddleDragPansFromWhereItStartedAndTheNextOneGoesOn) {
    recordAllEvents();
    EXPECT_EQ(send(WM_MBUTTONDOWN, MK_MBUTTON, 100, 100), 1);
    move(130, 90, MK_MBUTTON);
    EXPECT_EQ(view().pan.x, 30.0f);
    EXPECT_EQ(view().pan.y, -10.0f);
    move(140, 95, MK_MBUTTON);
    EXPECT_EQ(send(WM_MBUTTONUP, 0, 140, 95), 1);
    EXPECT_EQ(view().pan.x, 40.0f);
    EXPECT_EQ(view().pan.y, -5.0f);
    // Moves after the release no longer pan; the next drag starts from the new pan.
    move(0, 0, 0);
    send(WM_MBUTTONDOWN, MK_MBUTTON, 10, 10);
    move(15, 20, MK_MBUTTON);
    send(WM_MBUTTONUP, 0, 15, 20);
    EXPECT_EQ(view().pan.x, 45.0f);
    EXPECT_EQ(view().pan.y, 5.0f);
    EXPECT_EQ(eventNames(), (std::vector<std::string>{"MButtonDown", "mouseMoved", "mouseMoved", "MButtonUp",
                                                      "mouseMoved", "MButtonDown", "mouseMoved", "MButtonUp"}));
}

TEST_F(View, WithPanOffAMiddleDragRaisesItsEventsButTheViewStaysStill) {
    recordAllEvents();
    view().allowPan = 0;
    send(WM_MBUTTONDOWN, MK_MBUTTON, 100, 100);
    move(150, 150, MK_MBUTTON);
    send(WM_MBUTTONUP, 0, 150, 150);
    EXPECT_EQ(view().pan.x, 0.0f);
    EXPECT_EQ(view().pan.y, 0.0f);
    EXPECT_EQ(eventNames(), (std::vector<std::string>{"MButtonDown", "mouseMoved", "MButtonUp"}));
}

TEST_F(View, TheMiddleButtonIsIgnoredDuringAConnectionDrag) {
    SchematicNode& a = nodeAt(20, 20);
    SchematicSocket& out = output(a);
    recordAllEvents();
    press(centre(out));
    clearEvents();
    EXPECT_EQ(send(WM_MBUTTONDOWN, MK_MBUTTON | MK_LBUTTON, 200, 200), 0);
    EXPECT_EQ(send(WM_MBUTTONUP, MK_LBUTTON, 200, 200), 0);
    EXPECT_TRUE(ro->events.empty());
    EXPECT_EQ(GetCapture(), window);
    EXPECT_FALSE(view().panning);
    EXPECT_EQ(sc->graph.dragSocket, &out);
    release(200, 200);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(View, AMiddlePressOnACollapsedNodesOutputPans) {
    SchematicNode& a = nodeAt(20, 20);
    SchematicSocket& out = output(a);
    const POINT p = centre(out);
    a.collapsed = 1;
    a.collapsedSize = {120, 60};  // the output's old place is still inside the node
    send(WM_MBUTTONDOWN, MK_MBUTTON, p.x, p.y);
    EXPECT_EQ(sc->graph.dragSocket, nullptr);
    EXPECT_TRUE(view().panning);
    send(WM_MBUTTONUP, 0, p.x, p.y);
}

}  // namespace
