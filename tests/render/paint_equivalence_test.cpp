// paint_equivalence_test.cpp - the culled, clipped paint of any region against the plain paint.
#include <algorithm>
#include <random>
#include <vector>

#include "tests/support/random_graph.h"
#include "tests/render/paint_fixture.h"

namespace {

using PaintFn = void (*)(SchematicControl*);
using RegionFn = void (*)(SchematicControl*, const RECT*);

template <class Fn>
Fn exported(const char* name) {
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(PluginSession::get().module, name)));
    EXPECT_NE(fn, nullptr) << name << " is not exported";
    return fn;
}

// The back buffer's pixels, copied out through a 32-bit DIB section.
class Pixels {
public:
    explicit Pixels(HDC like) : dc_(CreateCompatibleDC(like)) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kViewWidth, -kViewHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Pixels() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    std::vector<uint32_t> read(HDC source) {
        BitBlt(dc_, 0, 0, kViewWidth, kViewHeight, source, 0, 0, SRCCOPY);
        GdiFlush();
        return std::vector<uint32_t>(bits_, bits_ + kViewWidth * kViewHeight);
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    uint32_t* bits_ = nullptr;
};

class PaintEquivalence : public PaintTest {};

TEST_F(PaintEquivalence, AnyRegionOfAnyGraphPaintsTheSameBytesAsThePlainPaint) {
    const PaintFn plain = exported<PaintFn>("vantrelPaintStraightforward");
    const RegionFn region = exported<RegionFn>("vantrelPaintRegion");
    ASSERT_TRUE(plain && region);
    Pixels pixels(sc().backBuffer.dc.get());
    std::mt19937 rng(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    constexpr COLORREF kUntouched = RGB(1, 2, 3);
    int compared = 0;

    for (int round = 0; round < 300; ++round) {
        clearGraph(graph());
        buildRandomGraph(graph(), rng, 30, [] { return solidBitmap(6, 4, RGB(0, 0, 200)); });
        randomView(view(), rng);
        if (pick(0, 4) == 0 && !graph().nodeTable->empty() && !(*graph().nodeTable)[0]->outputs.empty()) {
            graph().dragSocket = (*graph().nodeTable)[0]->outputs[0];
            view().connecting = 1;
            view().dragPoint = {float(pick(0, kViewWidth)), float(pick(0, kViewHeight))};
        } else {
            graph().dragSocket = nullptr;
            view().connecting = 0;
        }
        ++graph().generation;

        for (SchematicNode* n : *graph().nodeTable) n->textColor = RGB(9, 9, 9);
        plain(&sc());
        const std::vector<uint32_t> expected = pixels.read(sc().backBuffer.dc.get());
        std::vector<uint32_t> expectedText;
        for (SchematicNode* n : *graph().nodeTable) expectedText.push_back(n->textColor);

        for (int r = 0; r < 6; ++r) {
            // Windows never asks for an empty region: each meets the buffer.
            RECT area{pick(-20, kViewWidth - 1), pick(-20, kViewHeight - 1), 0, 0};
            area.right = std::max(area.left + pick(1, r == 0 ? 400 : 90), 1L);
            area.bottom = std::max(area.top + pick(1, r == 0 ? 300 : 70), 1L);
            dirtyBuffer(kUntouched);
            const std::vector<uint32_t> before = pixels.read(sc().backBuffer.dc.get());
            for (SchematicNode* n : *graph().nodeTable) n->textColor = RGB(9, 9, 9);
            region(&sc(), &area);
            const std::vector<uint32_t> got = pixels.read(sc().backBuffer.dc.get());
            for (int y = 0; y < kViewHeight; ++y)
                for (int x = 0; x < kViewWidth; ++x) {
                    const size_t i = size_t(y) * kViewWidth + size_t(x);
                    const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
                    ASSERT_EQ(got[i], inside ? expected[i] : before[i])
                        << "round " << round << " region (" << area.left << "," << area.top << ")-("
                        << area.right << "," << area.bottom << ") pixel (" << x << "," << y << ")"
                        << (inside ? " differs from the plain paint" : " outside the region was painted");
                }
            for (size_t n = 0; n < expectedText.size(); ++n)
                ASSERT_EQ((*graph().nodeTable)[n]->textColor, expectedText[n]) << "round " << round << " node " << n << " hidden " << int((*graph().nodeTable)[n]->hidden)
                    << " bitmapOnly " << int((*graph().nodeTable)[n]->showBitmapOnly) << " zoom " << view().zoom
                    << " weights " << int(view().drawWeights) << " layers " << int(view().useDrawLayers)
                    << " layer " << (*graph().nodeTable)[n]->drawLayer << " align " << (*graph().nodeTable)[n]->viewAlign
                    << " pos " << nodePositionClient(*(*graph().nodeTable)[n]).x << "," << nodePositionClient(*(*graph().nodeTable)[n]).y;
            ASSERT_EQ(gdiCounters().live, 0);
            ++compared;
        }
    }
    EXPECT_EQ(compared, 1800);
    EXPECT_EQ(gdiCounters().deletedWhileSelected, 0);
}

}  // namespace
