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

// One kind of graph and view the comparison runs over.
struct EquivalenceCase {
    const char* name;
    int rounds;
    int maxNodes;
    std::vector<float> zooms;  // empty: randomView's own
    bool shadows;              // shadows on in every round (else as randomView picks)
};

class PaintEquivalence : public PaintTest {};

TEST_F(PaintEquivalence, AnyRegionOfAnyGraphPaintsTheSameBytesAsThePlainPaint) {
    const PaintFn plain = exported<PaintFn>("vantrelPaintStraightforward");
    const RegionFn region = exported<RegionFn>("vantrelPaintRegion");
    ASSERT_TRUE(plain && region);
    Pixels pixels(sc().backBuffer.dc.get());
    // Dense graphs at small zooms pile one-pixel bodies, lines and arrowheads of many
    // pens on one another, where the culled paint draws runs of them together.
    const EquivalenceCase cases[] = {
        {"any view", 300, 30, {}, false},
        {"dense, small zooms", 120, 120, {0.03f, 0.1f, 0.2f, 0.25f, 0.3f, 0.35f, 0.4f}, false},
        {"dense, small zooms, shadows", 60, 120, {0.03f, 0.1f, 0.2f, 0.3f}, true},
    };
    std::mt19937 rng(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    constexpr COLORREF kUntouched = RGB(1, 2, 3);

    for (const EquivalenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        int compared = 0;
        for (int round = 0; round < c.rounds; ++round) {
            clearGraph(graph());
            buildRandomGraph(graph(), rng, c.maxNodes, [] { return solidBitmap(6, 4, RGB(0, 0, 200)); });
            randomView(view(), rng);
            if (!c.zooms.empty()) view().zoom = c.zooms[size_t(pick(0, int(c.zooms.size()) - 1))];
            if (c.shadows) view().drawShadows = 1;
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
                            << "round " << round << " zoom " << view().zoom << " region (" << area.left << ","
                            << area.top << ")-(" << area.right << "," << area.bottom << ") pixel (" << x << ","
                            << y << ")" << (inside ? " differs from the plain paint" : " outside the region was painted");
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
        EXPECT_EQ(compared, 6 * c.rounds);
    }
    EXPECT_EQ(gdiCounters().deletedWhileSelected, 0);
}

}  // namespace
