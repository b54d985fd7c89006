// paint_fixture.h - a control in an open rollout, painted for real, with pixel probes.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "graph/graph.h"
#include "tests/support/plugin_session.h"

inline constexpr COLORREF kViewBackground = RGB(197, 197, 197);
inline constexpr int kViewWidth = 320, kViewHeight = 200;
inline constexpr COLORREF kNodeColor = RGB(224, 198, 87);
inline constexpr COLORREF kInputColor = RGB(255, 30, 30);
inline constexpr COLORREF kOutputColor = RGB(30, 255, 30);

// The extension's paint counters, read through its exports.
struct GdiCounters {
    int live = 0;           // objects the paint code made and has not deleted
    int made = 0;           // objects made since load
    int windowBlits = 0;    // copies to a window
    int deletedWhileSelected = 0;
};
GdiCounters gdiCounters();

// Opens a 320 x 200 control with the info text off (tests that want it turn it on).
// A failing test leaves test-output/<suite>.<test>.png with the back buffer.
class PaintTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    SchematicControl& sc() { return ro.control(); }
    GraphContext& graph() { return ro.control().graph; }
    SchematicViewState& view() { return *ro.control().viewState; }

    // A node at graph position (x, y) with an empty title, so no caption is drawn.
    SchematicNode& addNodeAt(float x, float y, COLORREF color = kNodeColor);
    SchematicSocket& addInput(SchematicNode& node, const char* name = "");
    SchematicSocket& addOutput(SchematicNode& node, const char* name = "");

    // A real paint: invalidate, then let the window procedure handle WM_PAINT.
    void paint();
    // Fills the back buffer so a paint that skips pixels is seen.
    void dirtyBuffer(COLORREF color = RGB(0, 0, 0));
    COLORREF pixel(int x, int y) const { return GetPixel(ro.control().backBuffer.dc.get(), x, y); }
    // Pixels in [left, right) x [top, bottom) that are (or are not) the given colour.
    int count(RECT area, COLORREF color) const;
    int countOther(RECT area, COLORREF color) const;

    TestRollout ro{kViewWidth, kViewHeight};
};

// A device bitmap of w x h pixels whose colour at (x, y) is pick(x, y).
template <class Pick>
HBITMAP makeBitmap(int w, int h, Pick pick) {
    std::basic_string<DWORD> bits(size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = pick(x, y);
            bits[size_t(y) * size_t(w) + size_t(x)] =
                DWORD(GetBValue(c)) | DWORD(GetGValue(c)) << 8 | DWORD(GetRValue(c)) << 16;
        }
    return CreateBitmap(w, h, 1, 32, bits.data());
}
inline HBITMAP solidBitmap(int w, int h, COLORREF color) {
    return makeBitmap(w, h, [color](int, int) { return color; });
}

// Channel-wise distance, for blended colours.
int colorDistance(COLORREF a, COLORREF b);

// The interface background colour changed for one scope, as a user's colour scheme does.
class InterfaceBackground {
public:
    explicit InterfaceBackground(COLORREF color);
    ~InterfaceBackground();

private:
    COLORREF previous;
};

// A memory surface the size of the view for drawing what a paint is expected to show.
class ReferenceImage {
public:
    explicit ReferenceImage(HDC like, COLORREF fill);
    ~ReferenceImage();
    HDC dc() const { return dc_; }
    COLORREF pixel(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};
