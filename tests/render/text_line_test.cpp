// text_line_test.cpp - the one-call caption line against DrawTextA, pixel for pixel.
#include <windows.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "render/text_line.h"

namespace {

constexpr int kWidth = 240, kHeight = 64;

// A 32-bit DIB section with a gradient, so blended glyph edges meet many colours.
class Canvas {
public:
    explicit Canvas(HFONT font) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        oldFont_ = SelectObject(dc_, font);
        SetBkMode(dc_, TRANSPARENT);
    }
    ~Canvas() {
        SelectObject(dc_, oldFont_);
        SelectObject(dc_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    void clear() {
        GdiFlush();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) bits_[y * kWidth + x] = uint32_t(x) | uint32_t(y * 4) << 8 | 0x800000u;
    }
    std::vector<uint32_t> pixels() {
        GdiFlush();
        return std::vector<uint32_t>(bits_, bits_ + kWidth * kHeight);
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ oldBitmap_, oldFont_;
    uint32_t* bits_ = nullptr;
};

HFONT captionFont(int height) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, FF_SWISS, "");
}

TEST(TextLine, DrawsWhatDrawTextDrawsForEveryPlainLine) {
    std::mt19937 rng(5);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int drawn = 0;
    for (int height = 4; height <= 16; ++height) {
        HFONT font = captionFont(height);
        Canvas expected(font), got(font);
        CharWidths widths;
        ASSERT_TRUE(GetCharWidth32W(got.dc(), CharWidths::kFirst, CharWidths::kLast, widths.width));
        for (int round = 0; round < 150; ++round) {
            std::string text(size_t(pick(1, 24)), ' ');
            for (char& c : text) c = char(pick(0x20, 0x7E));
            for (char& c : text)
                if (c == '&') c = ' ';
            // Boxes narrower and wider than the text, cut by the canvas edges, flat ones.
            RECT box{pick(-60, kWidth - 10), pick(-12, kHeight - 8), 0, 0};
            box.right = box.left + pick(1, 260);
            box.bottom = box.top + pick(1, 30);
            const UINT format = UINT(pick(0, 2));
            const COLORREF colour = RGB(pick(0, 255), pick(0, 255), pick(0, 255));
            SetTextColor(expected.dc(), colour);
            SetTextColor(got.dc(), colour);
            expected.clear();
            got.clear();
            DrawTextA(expected.dc(), text.c_str(), int(text.size()), &box, format);
            ASSERT_TRUE(drawTextLine(got.dc(), text, box, format, widths));
            ASSERT_EQ(got.pixels(), expected.pixels())
                << "\"" << text << "\" height " << height << " format " << format << " box (" << box.left << ","
                << box.top << ")-(" << box.right << "," << box.bottom << ")";
            ++drawn;
        }
        DeleteObject(font);
    }
    EXPECT_EQ(drawn, 13 * 150);
}

TEST(TextLine, LeavesEverythingElseToDrawText) {
    HFONT font = captionFont(14);
    Canvas canvas(font);
    CharWidths widths;
    ASSERT_TRUE(GetCharWidth32W(canvas.dc(), CharWidths::kFirst, CharWidths::kLast, widths.width));
    const RECT box{10, 10, 200, 40};
    struct Case {
        std::string text;
        UINT format;
        RECT box;
    } cases[] = {
        {"Save &As", DT_LEFT, box},          // a mnemonic underline
        {"two\nlines", DT_LEFT, box},        // a line break
        {"tab\there", DT_CENTER, box},       // a tab
        {"caf\xe9", DT_RIGHT, box},          // a code-page character
        {"", DT_LEFT, box},                  // nothing to measure
        {"plain", DT_CENTER | DT_SINGLELINE, box},  // any other flag
        {"plain", DT_LEFT, RECT{50, 10, 40, 40}},   // a box turned inside out
        {"plain", DT_LEFT, RECT{10, 10, 1 << 30, 40}},  // beyond any view
        {std::string(300, 'x'), DT_LEFT, box},     // longer than a caption line
    };
    for (const Case& c : cases) {
        canvas.clear();
        const std::vector<uint32_t> before = canvas.pixels();
        EXPECT_FALSE(drawTextLine(canvas.dc(), c.text, c.box, c.format, widths)) << c.text;
        EXPECT_EQ(canvas.pixels(), before) << c.text << " drew something";
    }
    DeleteObject(font);
}

}  // namespace
