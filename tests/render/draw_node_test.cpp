// draw_node_test.cpp - node bodies, culling, translucency, shadows, title bars, bitmaps, captions.
#include "host/core/core.h"
#include "tests/render/paint_fixture.h"

namespace {
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Expected result of a constant-alpha blend of a over b.
COLORREF blend(COLORREF a, COLORREF b, int alpha) {
    auto ch = [alpha](int x, int y) { return (x * alpha + y * (255 - alpha)) / 255; };
    return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)),
               ch(GetBValue(a), GetBValue(b)));
}
}  // namespace

class DrawNode : public PaintTest {};

TEST_F(DrawNode, OpaqueNodeHasItsColourAndABlackOutline) {
    addNodeAt(50, 40);
    paint();
    EXPECT_EQ(pixel(100, 52), kNodeColor);
    EXPECT_EQ(pixel(50, 52), RGB(0, 0, 0)) << "left edge";
    EXPECT_EQ(pixel(149, 52), RGB(0, 0, 0)) << "right edge";
    EXPECT_EQ(pixel(150, 52), kViewBackground);
    EXPECT_EQ(pixel(50, 40), kViewBackground) << "rounded corner";
}

struct CullCase {
    float x, y;
    bool drawn;
};
std::ostream& operator<<(std::ostream& os, const CullCase& c) {
    return os << "node at (" << c.x << ", " << c.y << ")" << (c.drawn ? " drawn" : " culled");
}

class NodeCulling : public PaintTest, public ::testing::WithParamInterface<CullCase> {};

TEST_P(NodeCulling, NodesOutsideTheViewMakeNoGdiObject) {
    const CullCase c = GetParam();
    addNodeAt(c.x, c.y);  // 100 x 24
    const GdiCounters before = gdiCounters();
    paint();
    const int made = gdiCounters().made - before.made;
    if (c.drawn)
        EXPECT_GT(made, 0);
    else
        EXPECT_EQ(made, 0);
}

INSTANTIATE_TEST_SUITE_P(ViewEdges, NodeCulling,
                         ::testing::Values(CullCase{-100.5f, 50, false}, CullCase{-100, 50, true},
                                           CullCase{320, 50, true}, CullCase{320.5f, 50, false},
                                           CullCase{50, -24.5f, false}, CullCase{50, -24, true},
                                           CullCase{50, 200, true}, CullCase{50, 200.5f, false}));

struct AlphaCase {
    float transparency;
    int alpha;
};
std::ostream& operator<<(std::ostream& os, const AlphaCase& c) {
    return os << "nodeTransparency " << c.transparency << ", alpha " << c.alpha;
}

class Translucency : public PaintTest, public ::testing::WithParamInterface<AlphaCase> {};

TEST_P(Translucency, BodyBlendsWithConstantAlphaAndCornersStayClean) {
    const AlphaCase c = GetParam();
    view().nodeTransparency = c.transparency;
    addNodeAt(50, 40);
    addNodeAt(-50, 100);  // partly left of the view
    paint();
    const COLORREF expected = blend(kNodeColor, kViewBackground, c.alpha);
    EXPECT_LE(colorDistance(pixel(100, 52), expected), 1);
    EXPECT_LE(colorDistance(pixel(0, 112), expected), 1) << "visible part of a node cut by the edge";
    EXPECT_LE(colorDistance(pixel(25, 112), expected), 1);
    EXPECT_EQ(pixel(50, 40), kViewBackground) << "outside the rounded corner nothing is blended";
}

INSTANTIATE_TEST_SUITE_P(Alphas, Translucency,
                         ::testing::Values(AlphaCase{0.0f, 255}, AlphaCase{0.25f, 191},
                                           AlphaCase{0.5f, 127}));

TEST_F(DrawNode, TranslucentNodeBelowZoomPointNineLeavesItsWiderMarginClean) {
    view().nodeTransparency = 0.5f;
    view().zoom = 0.5f;
    addNodeAt(100, 80);  // screen (50, 40), 50 x 12
    paint();
    EXPECT_LE(colorDistance(pixel(75, 46), blend(kNodeColor, kViewBackground, 127)), 1);
    EXPECT_EQ(pixel(100, 46), kViewBackground);
    EXPECT_EQ(pixel(75, 52), kViewBackground);
}

TEST_F(DrawNode, SelectedNodeIsWhiteAndOpaqueEvenWhenTranslucencyIsOn) {
    view().nodeTransparency = 0.25f;
    addNodeAt(50, 40).selected = 1;
    paint();
    EXPECT_EQ(pixel(100, 52), RGB(255, 255, 255));
}

TEST_F(DrawNode, TranslucencyIsDroppedWhenZoomedFarOut) {
    view().nodeTransparency = 0.5f;
    view().zoom = 0.31f;
    addNodeAt(200, 200);  // screen (62, 62), 31 x 7.44
    paint();
    EXPECT_LE(colorDistance(pixel(75, 65), blend(kNodeColor, kViewBackground, 127)), 1);
    view().zoom = 0.3f;  // compared in single precision: 0.3 itself is opaque
    paint();
    EXPECT_EQ(pixel(75, 63), kNodeColor);
}

TEST_F(DrawNode, BlackNodeIsHollowWithoutShadowOrTranslucency) {
    view().drawShadows = 1;
    view().nodeTransparency = 0.5f;
    SchematicNode& node = addNodeAt(50, 40, RGB(0, 0, 0));
    paint();
    EXPECT_EQ(pixel(100, 52), kViewBackground) << "hollow body";
    EXPECT_EQ(pixel(50, 52), RGB(0, 0, 0)) << "opaque outline";
    EXPECT_EQ(pixel(49, 52), kViewBackground) << "no shadow";
    EXPECT_EQ(pixel(100, 64), kViewBackground) << "no shadow";

    node.selected = 1;
    paint();
    EXPECT_EQ(pixel(100, 52), RGB(255, 255, 255));
}

struct ShadowCase {
    COLORREF background, fill, outline;
};
std::ostream& operator<<(std::ostream& os, const ShadowCase& c) {
    return os << "background 0x" << std::hex << c.background;
}

class Shadow : public PaintTest, public ::testing::WithParamInterface<ShadowCase> {};

TEST_P(Shadow, ShadowColoursFollowTheInterfaceBackground) {
    const ShadowCase c = GetParam();
    InterfaceBackground scheme(c.background);
    view().drawShadows = 1;
    addNodeAt(50, 40);  // body (50, 40)-(150, 64); shadow (48, 42)-(152, 66)
    paint();
    EXPECT_EQ(pixel(48, 52), c.outline);
    EXPECT_EQ(pixel(49, 52), c.fill);
    EXPECT_EQ(pixel(151, 52), c.outline);
    EXPECT_EQ(pixel(100, 64), c.fill);
    EXPECT_EQ(pixel(100, 65), c.outline);
    EXPECT_EQ(pixel(100, 52), kNodeColor) << "the shadow lies beneath the body";
}

INSTANTIATE_TEST_SUITE_P(
    Backgrounds, Shadow,
    ::testing::Values(ShadowCase{RGB(197, 197, 197), RGB(157, 157, 157), RGB(177, 177, 177)},
                      ShadowCase{RGB(255, 255, 255), RGB(0, 0, 0), RGB(251, 251, 251)},
                      ShadowCase{RGB(50, 100, 150), RGB(40, 90, 130), RGB(45, 95, 140)}));

TEST_F(DrawNode, TranslucentAndBitmapOnlyNodesCastNoShadow) {
    view().drawShadows = 1;
    view().nodeTransparency = 0.5f;
    addNodeAt(50, 40);
    SchematicNode& opaque = addNodeAt(50, 120);
    opaque.selected = 1;
    SchematicNode& bitmapOnly = addNodeAt(200, 40);
    bitmapOnly.showBitmapOnly = 1;
    bitmapOnly.bitmapHandle = solidBitmap(4, 4, kBlue);
    paint();
    EXPECT_EQ(pixel(49, 52), kViewBackground);
    EXPECT_EQ(pixel(49, 132), RGB(157, 157, 157)) << "a selected node is opaque, so it has one";

    view().nodeTransparency = -1.0f;  // every body opaque: only bitmap-only stays shadowless
    paint();
    EXPECT_EQ(pixel(49, 52), RGB(157, 157, 157)) << "an opaque node has one";
    EXPECT_EQ(pixel(199, 60), kViewBackground) << "a bitmap-only node has none";
}

TEST_F(DrawNode, TitleBarIsFortyDarkerAndWhiteOnASelectedNode) {
    view().drawMenuBars = 1;
    SchematicNode& node = addNodeAt(50, 40);
    paint();
    EXPECT_EQ(pixel(100, 47), RGB(184, 158, 47));
    EXPECT_EQ(pixel(100, 54), RGB(0, 0, 0)) << "bar bottom, 15 pixels down";
    EXPECT_EQ(pixel(100, 58), kNodeColor);

    node.selected = 1;
    paint();
    EXPECT_EQ(pixel(100, 47), RGB(255, 255, 255));
    EXPECT_EQ(pixel(100, 54), RGB(0, 0, 0));

    node.selected = 0;
    node.nameOffset = {0, 5};  // a title pushed down this far leaves no room for the bar
    paint();
    EXPECT_EQ(pixel(100, 47), kNodeColor);
    EXPECT_EQ(pixel(100, 54), kNodeColor);
}

TEST_F(DrawNode, ExpandedNodeShowsItsBitmapBelowTheTitle) {
    SchematicNode& node = addNodeAt(50, 40);
    node.bitmapHandle = solidBitmap(16, 16, kBlue);
    paint();
    // 80 x 80 at (x + 10, y + 18) in a node now 104 high.
    EXPECT_EQ(count({50, 40, 150, 144}, kBlue), 6400);
    EXPECT_EQ(pixel(60, 58), kBlue);
    EXPECT_EQ(pixel(139, 137), kBlue);
    EXPECT_EQ(pixel(59, 58), kNodeColor);
    EXPECT_EQ(pixel(60, 57), kNodeColor);
    EXPECT_EQ(pixel(100, 143), RGB(0, 0, 0)) << "bottom outline of the taller body";
}

TEST_F(DrawNode, CollapsedNodeShowsAMiniBitmapWithTheTitleBarBesideIt) {
    view().drawMenuBars = 1;
    SchematicNode& node = addNodeAt(50, 40);
    node.collapsed = 1;
    node.bitmapHandle = solidBitmap(16, 16, kBlue);
    paint();
    // A 40-pixel square at (x + 4, y + 4) in a node 24 + 26 high.
    EXPECT_EQ(count({50, 40, 150, 90}, kBlue), 1600);
    EXPECT_EQ(pixel(54, 44), kBlue);
    EXPECT_EQ(pixel(93, 83), kBlue);
    EXPECT_EQ(pixel(95, 47), kNodeColor);
    EXPECT_EQ(pixel(96, 47), RGB(0, 0, 0)) << "the bar starts 46 pixels in";
    EXPECT_EQ(pixel(120, 47), RGB(184, 158, 47));
}

TEST_F(DrawNode, BitmapOnlyNodeDrawsNothingButItsBitmap) {
    SchematicNode& node = addNodeAt(50, 40);
    node.nodeName = "MMMMMMMM";
    node.showBitmapOnly = 1;
    node.bitmapHandle = solidBitmap(16, 16, kBlue);
    paint();
    const RECT area{50, 40, 150, 144};
    EXPECT_EQ(count(area, kBlue), 6400);
    EXPECT_EQ(count(area, kBlue) + count(area, kViewBackground), 100 * 104)
        << "no body, outline or caption";
}

TEST_F(DrawNode, CaptionsHideAtQuarterZoomAndShowAtPointThree) {
    view().pan = {10, 10};
    SchematicNode& node = addNodeAt(0, 0);
    node.width = 1000;
    node.height = 200;
    node.nodeName = "MMMMMMMMMMMMMMMM";
    view().zoom = 0.25f;
    paint();
    const RECT inside{13, 13, 257, 57};
    EXPECT_EQ(countOther(inside, kNodeColor), 0);

    view().zoom = 0.3f;
    paint();
    EXPECT_GT(countOther(inside, kNodeColor), 0);
}

TEST_F(DrawNode, CaptionIsLightGreyOnlyOverADarkBodyAndTitleBarsWidenDark) {
    struct Case {
        COLORREF body;
        bool menuBars;
        COLORREF text;
    };
    const Case cases[] = {
        {RGB(99, 99, 99), false, RGB(200, 200, 200)},
        {RGB(99, 100, 99), false, RGB(0, 0, 0)},       // every channel must be dark
        {RGB(139, 139, 139), true, RGB(200, 200, 200)},  // the darker bar counts
        {RGB(139, 140, 139), true, RGB(0, 0, 0)},
        {RGB(0, 0, 0), false, RGB(0, 0, 0)},  // hollow: text over the background
    };
    SchematicNode& node = addNodeAt(50, 40);
    node.nodeName = "caption";
    for (const Case& c : cases) {
        node.nodeColor = c.body;
        view().drawMenuBars = c.menuBars;
        node.textColor = RGB(1, 2, 3);
        paint();
        EXPECT_EQ(node.textColor, c.text) << std::hex << "body 0x" << c.body << " bars " << c.menuBars;
    }
    // Zoomed out the caption is not drawn, so the colour is left alone.
    view().zoom = 0.25f;
    node.textColor = RGB(1, 2, 3);
    paint();
    EXPECT_EQ(node.textColor, RGB(1, 2, 3));
}
