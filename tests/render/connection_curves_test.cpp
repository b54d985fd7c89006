// connection_curves_test.cpp - link curves, arrowheads, weights and links drawn from ancestors.
#include <cmath>

#include "tests/render/paint_fixture.h"

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
}  // namespace

class ConnectionCurves : public PaintTest {
protected:
    // A link whose ends sit at client points s and q, between two nodes far outside
    // the view (so only the link is drawn). Coordinates must be exact at the zoom.
    SchematicSocket& linkBetween(Vec2 s, Vec2 q, SchematicSocket* from = nullptr) {
        const float z = view().zoom, hs = z * 4.5f, x = -5000.0f * z;
        if (!from) {
            from = &addOutput(addNodeAt(-5000, 0));
            // Output boxes on the right side sit half an unscaled box further right.
            from->socketPosition = {(s.x - hs - 4.5f - x) / z, (s.y - hs) / z};
        }
        SchematicSocket& in = addInput(addNodeAt(-5000, 0));
        in.socketPosition = {(q.x - hs - x) / z, (q.y - hs) / z};
        connectSockets(*from, in);
        return *from;
    }

    // Pixels that the reference shows in `color` and the buffer does not, outside
    // discs of the given radius around arrowheads (which cover part of their curve).
    int missing(const ReferenceImage& ref, COLORREF color, std::initializer_list<POINT> heads = {},
                int radius = 8) const {
        int n = 0;
        for (int y = 0; y < kViewHeight; ++y)
            for (int x = 0; x < kViewWidth; ++x) {
                if (ref.pixel(x, y) != color || pixel(x, y) == color) continue;
                bool underHead = false;
                for (POINT h : heads) underHead |= std::hypot(x - h.x, y - h.y) <= radius;
                n += !underHead;
            }
        return n;
    }
    // Pixels in `color` in the buffer but not the reference, outside a disc around `around`.
    int strayOutside(const ReferenceImage& ref, COLORREF color, POINT around, int radius) const {
        int n = 0;
        for (int y = 0; y < kViewHeight; ++y)
            for (int x = 0; x < kViewWidth; ++x) {
                if (pixel(x, y) != color || ref.pixel(x, y) == color) continue;
                n += std::hypot(x - around.x, y - around.y) > radius;
            }
        return n;
    }
    int extraNear(const ReferenceImage& ref, COLORREF color, POINT around, int radius) const {
        int n = 0;
        for (int y = around.y - radius; y <= around.y + radius; ++y)
            for (int x = around.x - radius; x <= around.x + radius; ++x)
                n += pixel(x, y) == color && ref.pixel(x, y) != color;
        return n;
    }
    static void drawBezier(const ReferenceImage& ref, COLORREF color, std::initializer_list<POINT> p) {
        HPEN pen = CreatePen(PS_SOLID, 1, color);
        HGDIOBJ previous = SelectObject(ref.dc(), pen);
        PolyBezier(ref.dc(), p.begin(), DWORD(p.size()));
        SelectObject(ref.dc(), previous);
        DeleteObject(pen);
    }
};

TEST_F(ConnectionCurves, CurveRunsThroughQuarterPointsWithTheArrowTipAtItsMiddle) {
    linkBetween({10, 20}, {110, 60});
    paint();
    ReferenceImage ref(sc().backBuffer.dc.get(), kViewBackground);
    drawBezier(ref, kOutputColor, {{10, 20}, {35, 20}, {85, 60}, {110, 60}});
    EXPECT_EQ(missing(ref, kOutputColor), 0);
    EXPECT_EQ(strayOutside(ref, kOutputColor, {60, 40}, 12), 0) << "only the arrowhead is extra";
    EXPECT_EQ(pixel(60, 40), kOutputColor) << "tip";
    EXPECT_GE(extraNear(ref, kOutputColor, {55, 38}, 6), 12) << "a filled head, 10 long and 8 wide";
}

TEST_F(ConnectionCurves, BackwardLinkLeavesAndArrivesLevelWithoutOvershooting) {
    linkBetween({200, 30}, {60, 150});
    paint();
    ReferenceImage ref(sc().backBuffer.dc.get(), kViewBackground);
    drawBezier(ref, kOutputColor, {{200, 30}, {165, 30}, {95, 150}, {60, 150}});
    EXPECT_EQ(missing(ref, kOutputColor), 0);
    EXPECT_EQ(strayOutside(ref, kOutputColor, {130, 90}, 12), 0);
    EXPECT_EQ(count({0, 0, 60, kViewHeight}, kOutputColor), 0);
    EXPECT_EQ(count({201, 0, kViewWidth, kViewHeight}, kOutputColor), 0);
}

TEST_F(ConnectionCurves, SelectedLinkIsWhiteWithAnArrowStillFilledInTheSocketColour) {
    SchematicSocket& out = linkBetween({10, 20}, {110, 60});
    linkBetween({10, 20}, {110, 160}, &out);
    out.selectedLink = 0;
    paint();
    ReferenceImage ref(sc().backBuffer.dc.get(), kViewBackground);
    drawBezier(ref, kWhite, {{10, 20}, {35, 20}, {85, 60}, {110, 60}});
    drawBezier(ref, kOutputColor, {{10, 20}, {35, 20}, {85, 160}, {110, 160}});
    // The two curves share their first pixels, where the later (green) one wins.
    EXPECT_EQ(missing(ref, kWhite, {{60, 40}, {10, 20}}, 14), 0);
    EXPECT_EQ(missing(ref, kOutputColor, {{60, 90}}, 8), 0);
    EXPECT_GE(extraNear(ref, kOutputColor, {55, 38}, 6), 5) << "green fill inside a white outline";
}

TEST_F(ConnectionCurves, ZoomedOutLinksAreStraightAndTheirWeightsFollowTheCaptions) {
    view().drawWeights = 1;
    view().zoom = 0.25f;
    SchematicSocket& out = linkBetween({20, 20}, {220, 120});
    paint();
    ReferenceImage ref(sc().backBuffer.dc.get(), kViewBackground);
    HPEN pen = CreatePen(PS_SOLID, 1, kOutputColor);
    HGDIOBJ previous = SelectObject(ref.dc(), pen);
    MoveToEx(ref.dc(), 20, 20, nullptr);
    LineTo(ref.dc(), 220, 120);
    SelectObject(ref.dc(), previous);
    DeleteObject(pen);
    EXPECT_EQ(missing(ref, kOutputColor), 0);
    EXPECT_EQ(strayOutside(ref, kOutputColor, {120, 70}, 5), 0) << "a 2.5-pixel head at the middle";

    // The weight sits a third of the way along, centred in a 100 x 20 box.
    auto textPixelsAroundWeight = [&] {
        const float hs = view().zoom * 4.5f;
        const Vec2 a = socketScreenPosition(out), b = socketScreenPosition(*out.links[0]);
        const float fx = a.x + hs + (b.x - a.x) / 3, fy = a.y + hs + (b.y - a.y) / 3;
        int n = 0;
        for (int y = int(fy) - 10; y < int(fy) + 10; ++y)
            for (int x = int(fx) - 50; x < int(fx) + 50; ++x) {
                const COLORREF c = pixel(x, y);
                // Black text, smoothed into grey; neither background nor the green link.
                n += c != kViewBackground && GetGValue(c) < 190 &&
                     std::abs(GetRValue(c) - GetGValue(c)) < 20;
            }
        return n;
    };
    EXPECT_EQ(textPixelsAroundWeight(), 0) << "no weight at zoom 0.25";
    view().zoom = 0.35f;
    paint();
    EXPECT_GT(textPixelsAroundWeight(), 0) << "a weight at zoom 0.35";
}

TEST_F(ConnectionCurves, LinkWhoseEndsMeetDrawsWithoutDividingByZero) {
    linkBetween({100, 100}, {100, 100});
    const GdiCounters before = gdiCounters();
    paint();
    const GdiCounters after = gdiCounters();
    EXPECT_EQ(after.windowBlits - before.windowBlits, 1);
    EXPECT_EQ(after.live, 0);
}

TEST_F(ConnectionCurves, HiddenOutputNodeDrawsFromItsVisibleParentsLeftEdge) {
    SchematicNode& parent = addNodeAt(150, 50);  // left edge middle (150, 62)
    SchematicNode& child = addNodeAt(0, 0);
    ASSERT_TRUE(setParent(child, &parent, false));
    SchematicSocket& out = addOutput(child);
    connectSockets(out, addInput(addNodeAt(20, 120)));  // input centre (29, 148.5)
    child.hidden = 1;
    const RECT all{0, 0, kViewWidth, kViewHeight};
    paint();
    EXPECT_EQ(count(all, kOutputColor), 0) << "a hidden node's links need the switch";

    child.drawConnectionsFromParent = 1;
    paint();
    ReferenceImage ref(sc().backBuffer.dc.get(), kViewBackground);
    drawBezier(ref, kOutputColor, {{150, 62}, {119, 62}, {59, 148}, {29, 148}});
    EXPECT_EQ(missing(ref, kOutputColor, {{90, 105}}), 0);
    EXPECT_EQ(pixel(150, 62), kOutputColor);
}

TEST_F(ConnectionCurves, VisibleNodesWithTheSwitchAlsoUseTheirParentsEdges) {
    SchematicNode& parent = addNodeAt(150, 20);
    SchematicNode& child = addNodeAt(0, 60);  // at (150, 80), visible
    ASSERT_TRUE(setParent(child, &parent, false));
    child.drawConnectionsFromParent = 1;
    SchematicSocket& out = addOutput(child);
    out.socketIsHidden = 1;
    SchematicNode& target = addNodeAt(20, 150);
    connectSockets(out, addInput(target));
    paint();
    ReferenceImage fromParent(sc().backBuffer.dc.get(), kViewBackground);
    drawBezier(fromParent, kOutputColor, {{150, 32}, {119, 32}, {59, 178}, {29, 178}});
    EXPECT_EQ(missing(fromParent, kOutputColor, {{90, 105}}), 0)
        << "from the parent's left edge, not the child's socket";

    // And at the input end, links arrive at the middle of the ancestor's right edge.
    SchematicNode& holder = addNodeAt(200, 120);  // right edge middle (300, 132)
    SchematicNode& inner = addNodeAt(0, 0);
    ASSERT_TRUE(setParent(inner, &holder, false));
    inner.hidden = 1;
    inner.drawConnectionsFromParent = 1;
    SchematicSocket& source = addOutput(addNodeAt(20, 20));  // centre (111, 48.5)
    connectSockets(source, addInput(inner));
    paint();
    ReferenceImage toParent(sc().backBuffer.dc.get(), kViewBackground);
    drawBezier(toParent, kOutputColor, {{111, 48}, {158, 48}, {252, 132}, {300, 132}});
    EXPECT_EQ(missing(toParent, kOutputColor, {{205, 90}}), 0);
}

TEST_F(ConnectionCurves, LinkBetweenChildrenOfOneVisibleParentIsNotDrawn) {
    const COLORREF magenta = RGB(255, 0, 255);
    SchematicNode& parent = addNodeAt(20, 20);
    SchematicNode& a = addNodeAt(0, 60);
    SchematicNode& b = addNodeAt(180, 60);
    ASSERT_TRUE(setParent(a, &parent, false));
    ASSERT_TRUE(setParent(b, &parent, false));
    SchematicSocket& out = addOutput(a);
    out.socketColor = magenta;
    out.socketIsHidden = 1;
    connectSockets(out, addInput(b));
    const RECT all{0, 0, kViewWidth, kViewHeight};
    paint();
    EXPECT_EQ(count(all, magenta), 0);

    ASSERT_TRUE(setParent(b, nullptr, true));
    paint();
    EXPECT_GT(count(all, magenta), 50);
}

TEST_F(ConnectionCurves, ParentLoopFromOutsideDoesNotHangThePaint) {
    // setParent refuses loops; a damaged file could still bring one.
    SchematicNode& a = addNodeAt(20, 20);
    SchematicNode& b = addNodeAt(200, 20);
    a.parent = &b;
    b.parent = &a;
    a.hidden = b.hidden = 1;
    a.drawConnectionsFromParent = b.drawConnectionsFromParent = 1;
    connectSockets(addOutput(a), addInput(addNodeAt(20, 120)));
    const GdiCounters before = gdiCounters();
    paint();
    EXPECT_EQ(gdiCounters().windowBlits - before.windowBlits, 1);
    a.parent = b.parent = nullptr;
}

TEST_F(ConnectionCurves, LinkFarOffToTheRightLeavesTheViewUntouched) {
    // Both ends saturate at the largest client x; the arrowhead's corners must not
    // wrap around to the far left and smear a band across the view.
    view().pan = {3.0e9f, 0.0f};
    SchematicSocket& out = addOutput(addNodeAt(20, 20));
    connectSockets(out, addInput(addNodeAt(20, 150)));
    out.socketColor = RGB(255, 0, 255);
    paint();
    EXPECT_EQ(countOther({0, 0, kViewWidth, kViewHeight}, kViewBackground), 0);
}
