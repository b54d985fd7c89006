// paint_view_test.cpp - the paint pipeline: back buffer, background, layer order, overlays.
#include "tests/render/paint_fixture.h"

namespace {

// Column x, row y of the test pattern, recognisable after tiling.
COLORREF patternAt(int x, int y) { return RGB(x * 4, y * 4, 100); }

}  // namespace

class PaintView : public PaintTest {};

TEST_F(PaintView, PaintCoversTheWholeBufferAndCopiesItOnceLeavingNoGdiObject) {
    // Something of everything: translucent and opaque nodes, bitmaps, sockets with
    // labels, links with weights, shadows, title bars, captions and a rubber band.
    view().drawShadows = 1;
    view().drawMenuBars = 1;
    view().drawWeights = 1;
    view().showInfo = 1;
    view().nodeTransparency = 0.25f;
    SchematicNode& a = addNodeAt(20, 20);
    a.nodeName = "source";
    a.bitmapHandle = solidBitmap(8, 8, RGB(0, 0, 255));
    SchematicSocket& out = addOutput(a, "Output");
    SchematicNode& b = addNodeAt(180, 40, RGB(40, 60, 120));
    b.nodeName = "target";
    b.selected = 1;
    SchematicSocket& in = addInput(b, "Input");
    b.collapsed = 0;
    connectSockets(out, in);
    out.selectedLink = 0;
    graph().selectedConnection = &out;
    view().connecting = 1;
    graph().dragSocket = &out;
    view().dragPoint = {300, 180};
    dirtyBuffer();

    const GdiCounters before = gdiCounters();
    paint();
    const GdiCounters after = gdiCounters();

    // Each distinct pen, brush and font once per paint, and none kept for the next.
    EXPECT_GT(after.made - before.made, 5) << "the paint made its pens, brushes and fonts";
    paint();
    EXPECT_EQ(gdiCounters().made - after.made, after.made - before.made);
    EXPECT_EQ(after.live, 0);
    EXPECT_EQ(after.deletedWhileSelected, 0);
    EXPECT_EQ(after.windowBlits - before.windowBlits, 1);
    EXPECT_EQ(count({0, 0, kViewWidth, kViewHeight}, RGB(0, 0, 0)) < 2000, true)
        << "the black fill was painted over, outlines and text aside";
    EXPECT_EQ(pixel(kViewWidth - 1, 0), kViewBackground);
    EXPECT_EQ(view().dragScratch.x, 300.0f);
    EXPECT_EQ(view().dragScratch.y, 180.0f);
}

TEST_F(PaintView, PrintClientPaintsIntoTheGivenContextWithoutTouchingTheWindow) {
    addNodeAt(40, 40);
    ReferenceImage target(sc().backBuffer.dc.get(), RGB(0, 0, 0));
    const GdiCounters before = gdiCounters();
    SendMessageA(sc().window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target.dc()), PRF_CLIENT);
    const GdiCounters after = gdiCounters();
    EXPECT_EQ(target.pixel(5, 5), kViewBackground);
    EXPECT_EQ(target.pixel(90, 50), kNodeColor);
    EXPECT_EQ(after.windowBlits, before.windowBlits) << "the copy went to a memory context";
    EXPECT_EQ(after.live, 0);
}

TEST_F(PaintView, WithoutANodeTableNothingIsDrawnOrCopied) {
    dirtyBuffer();
    SchematicGraph* table = graph().nodeTable;
    graph().nodeTable = nullptr;
    const GdiCounters before = gdiCounters();
    paint();
    const GdiCounters after = gdiCounters();
    graph().nodeTable = table;
    EXPECT_EQ(pixel(10, 10), RGB(0, 0, 0));
    EXPECT_EQ(after.windowBlits, before.windowBlits);
}

TEST_F(PaintView, EmptyTableGetsBackgroundAndOverlaysButNoInfoText) {
    view().showInfo = 1;
    view().gestureFlags[kRegionActive] = 1;
    view().regionRect = {20, 30, 0, 0};
    view().dragPoint = {120, 90};
    dirtyBuffer();
    paint();
    const RECT infoStrip{0, kViewHeight - 20, kViewWidth, kViewHeight};
    EXPECT_EQ(countOther(infoStrip, kViewBackground), 0);
    EXPECT_EQ(pixel(20, 30), RGB(255, 255, 255)) << "region outline";

    // Any first node brings the info text, even one outside the view.
    addNodeAt(-5000, 0);
    paint();
    EXPECT_GT(countOther(infoStrip, kViewBackground), 20);
}

TEST_F(PaintView, InfoTextTakesItsColourFromTheFirstNode) {
    view().showInfo = 1;
    sc().background.bitmap = gdi::KeptBitmap(solidBitmap(4, 4, RGB(0, 0, 0)));
    SchematicNode& first = addNodeAt(-5000, 0, RGB(20, 20, 80));
    const RECT infoStrip{0, kViewHeight - 20, kViewWidth, kViewHeight};
    auto brightPixels = [&] {
        int n = 0;
        for (int y = infoStrip.top; y < infoStrip.bottom; ++y)
            for (int x = infoStrip.left; x < infoStrip.right; ++x)
                n += GetGValue(pixel(x, y)) > 120;
        return n;
    };
    paint();
    EXPECT_GT(brightPixels(), 20) << "light grey text over a dark first node";
    first.nodeColor = kNodeColor;
    paint();
    EXPECT_EQ(brightPixels(), 0) << "black text over a light first node";
}

TEST_F(PaintView, StretchedBitmapCoversTheWholeView) {
    const COLORREF quadrant[2][2] = {{RGB(255, 0, 0), RGB(0, 255, 0)},
                                     {RGB(0, 0, 255), RGB(255, 255, 255)}};
    sc().background.bitmap = gdi::KeptBitmap(makeBitmap(2, 2, [&](int x, int y) { return quadrant[y][x]; }));
    dirtyBuffer();
    paint();
    EXPECT_EQ(pixel(10, 10), quadrant[0][0]);
    EXPECT_EQ(pixel(kViewWidth - 10, 10), quadrant[0][1]);
    EXPECT_EQ(pixel(10, kViewHeight - 10), quadrant[1][0]);
    EXPECT_EQ(pixel(kViewWidth - 1, kViewHeight - 1), quadrant[1][1]);
}

struct TileCase {
    float panX, panY, zoom;
    int firstColumn, firstRow;  // bitmap column and row seen at buffer pixel (0, 0)
};
std::ostream& operator<<(std::ostream& os, const TileCase& c) {
    return os << "pan (" << c.panX << ", " << c.panY << ") zoom " << c.zoom;
}

class TiledBackground : public PaintTest, public ::testing::WithParamInterface<TileCase> {};

TEST_P(TiledBackground, TilesStartAtThePanPhaseAndRepeat) {
    const TileCase c = GetParam();
    sc().background.bitmap = gdi::KeptBitmap(makeBitmap(64, 32, patternAt));
    view().tileBackground = 1;
    view().pan = {c.panX, c.panY};
    view().zoom = c.zoom;
    dirtyBuffer();
    paint();
    EXPECT_EQ(pixel(0, 0), patternAt(c.firstColumn, c.firstRow));
    const int toWrap = 64 - c.firstColumn;  // buffer column where bitmap column 0 shows
    EXPECT_EQ(pixel(toWrap - 1, 0), patternAt(63, c.firstRow));
    EXPECT_EQ(pixel(toWrap, 0), patternAt(0, c.firstRow));
    EXPECT_EQ(pixel(64, 32), patternAt(c.firstColumn, c.firstRow)) << "next tile, same phase";
    EXPECT_EQ(pixel(kViewWidth - 1, kViewHeight - 1),
              patternAt((c.firstColumn + kViewWidth - 1) % 64, (c.firstRow + kViewHeight - 1) % 32));
}

INSTANTIATE_TEST_SUITE_P(PanPhases, TiledBackground,
                         ::testing::Values(TileCase{-5, 0, 1, 5, 0}, TileCase{5, 0, 1, 59, 0},
                                           TileCase{-5.9f, 0, 1, 5, 0},
                                           TileCase{0, -40, 1, 0, 8}, TileCase{130, 7, 1, 62, 25},
                                           TileCase{-5, 0, 2.5f, 5, 0}));

TEST_F(PaintView, BackgroundBitmapThatMeasuresNothingFallsBackToTheFlatColour) {
    HBITMAP gone = solidBitmap(8, 8, RGB(255, 0, 0));
    DeleteObject(gone);
    sc().background.bitmap = gdi::KeptBitmap(gone);
    view().tileBackground = 1;
    dirtyBuffer();
    paint();
    sc().background.bitmap.release();  // deleted already
    EXPECT_EQ(pixel(0, 0), kViewBackground);
    EXPECT_EQ(pixel(kViewWidth - 1, kViewHeight - 1), kViewBackground);
}

TEST_F(PaintView, LinksLieAboveNodesByDefaultAndBeneathThemWhenTransparencyIsSet) {
    // A level link at y = 88 from x = 91 to 259 runs across the middle node.
    SchematicSocket& out = addOutput(addNodeAt(0, 60));
    SchematicSocket& in = addInput(addNodeAt(250, 60));
    connectSockets(out, in);
    addNodeAt(140, 70);
    paint();
    EXPECT_EQ(pixel(160, 88), kOutputColor);

    view().nodeTransparency = 0.0f;  // 0 counts: translucent path, alpha 255
    paint();
    EXPECT_EQ(pixel(160, 88), kNodeColor);
    EXPECT_EQ(pixel(130, 88), kOutputColor) << "the link outside the node is still drawn";
}

TEST_F(PaintView, DrawLayersOrderNodesWhateverTheirTableOrder) {
    const COLORREF red = RGB(200, 0, 0), blue = RGB(0, 0, 200), green = RGB(0, 160, 0);
    addNodeAt(50, 50, red).drawLayer = 2;
    addNodeAt(80, 60, blue).drawLayer = 0;
    addNodeAt(200, 50, green).drawLayer = 5;

    paint();
    EXPECT_EQ(pixel(110, 66), blue) << "table order: the later node is on top";
    EXPECT_EQ(pixel(250, 62), green);

    view().useDrawLayers = 1;
    paint();
    EXPECT_EQ(pixel(110, 66), red) << "layer 2 covers layer 0";
    EXPECT_EQ(pixel(250, 62), kViewBackground) << "a node on layer 5 is not drawn with layers on";
}

TEST_F(PaintView, DrawLastIndexPutsThatNodeOnTop) {
    const COLORREF red = RGB(200, 0, 0), blue = RGB(0, 0, 200);
    addNodeAt(50, 50, red);
    addNodeAt(80, 60, blue);
    view().drawLastIndex = 0;
    paint();
    EXPECT_EQ(pixel(110, 66), red);

    view().drawLastIndex = 2;  // the node count: nothing extra
    const GdiCounters before = gdiCounters();
    paint();
    const int madeAtCount = gdiCounters().made - before.made;
    EXPECT_EQ(pixel(110, 66), blue);

    view().drawLastIndex = -1;
    const GdiCounters again = gdiCounters();
    paint();
    EXPECT_EQ(gdiCounters().made - again.made, madeAtCount) << "no node was drawn twice";
}

TEST_F(PaintView, RegionSelectionOverlayWinsOverTheRubberBand) {
    SchematicNode& node = addNodeAt(-5000, 0);
    SchematicSocket& out = addOutput(node);
    graph().dragSocket = &out;
    view().connecting = 1;
    view().dragPoint = {120, 90};
    view().gestureFlags[kRegionActive] = 1;
    view().regionRect = {20, 30, 0, 0};
    paint();
    const RECT all{0, 0, kViewWidth, kViewHeight};
    EXPECT_EQ(count(all, kOutputColor), 0) << "no rubber-band link";
    EXPECT_EQ(pixel(20, 30), RGB(255, 255, 255));
    EXPECT_EQ(pixel(119, 60), RGB(255, 255, 255));
    EXPECT_EQ(pixel(70, 89), RGB(255, 255, 255));
    EXPECT_EQ(pixel(70, 60), kViewBackground) << "hollow inside";
    EXPECT_EQ(view().regionRect[2], 120.0f);
    EXPECT_EQ(view().regionRect[3], 90.0f);

    view().gestureFlags[kRegionActive] = 0;
    paint();
    EXPECT_GT(count(all, kOutputColor), 50);
    EXPECT_EQ(view().dragScratch.x, 120.0f);
}

TEST_F(PaintView, RubberBandStartsHalfAnUnscaledBoxFromTheSocketCorner) {
    view().zoom = 2.0f;
    SchematicNode& node = addNodeAt(10, 10, RGB(0, 0, 0));  // hollow body
    SchematicSocket& out = addOutput(node);
    out.socketIsHidden = 1;
    // Box corner (20 + 2 * 82 + 4.5, 20 + 2 * 24) = (188.5, 68); start (193, 72).
    graph().dragSocket = &out;
    view().connecting = 1;
    view().dragPoint = {300, 72};
    paint();
    EXPECT_EQ(pixel(193, 72), kOutputColor);
    EXPECT_EQ(pixel(192, 72), kViewBackground);
    EXPECT_EQ(pixel(299, 72), kOutputColor);
}

TEST_F(PaintView, ResizingTheWindowRebuildsTheBackBuffer) {
    for (SIZE size : {SIZE{200, 120}, SIZE{300, 260}}) {
        SetWindowPos(sc().window, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        pumpMessages();
        BITMAP bm{};
        GetObjectA(sc().backBuffer.bitmap.get(), sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, size.cx);
        EXPECT_EQ(bm.bmHeight, size.cy);
        EXPECT_EQ(view().viewRect.right, size.cx);
        EXPECT_EQ(view().viewRect.bottom, size.cy);
        // Only what shows is painted: the rollout may cut the grown window off.
        RECT shown{};
        HDC windowDC = GetDC(sc().window);
        GetClipBox(windowDC, &shown);
        ReleaseDC(sc().window, windowDC);
        ASSERT_GT(shown.right, 0);
        ASSERT_GT(shown.bottom, 0);
        EXPECT_EQ(pixel(shown.right - 1, shown.bottom - 1), kViewBackground) << "the resize repainted";
    }
}
