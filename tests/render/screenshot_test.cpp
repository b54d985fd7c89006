// screenshot_test.cpp - the host's PNG capture of a control and of a back buffer.
#include <cstdio>
#include <memory>

#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

#include "host/win32/screenshot.h"
#include "tests/render/paint_fixture.h"

namespace {
struct Png {
    int width = 0, height = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> rgb{nullptr, stbi_image_free};
    COLORREF at(int x, int y) const {
        const unsigned char* p = rgb.get() + (size_t(y) * size_t(width) + size_t(x)) * 3;
        return RGB(p[0], p[1], p[2]);
    }
};

Png readPng(const char* path) {
    Png png;
    int channels = 0;
    png.rgb.reset(stbi_load(path, &png.width, &png.height, &channels, 3));
    return png;
}
}  // namespace

class Screenshot : public PaintTest {
protected:
    void SetUp() override {
        PaintTest::SetUp();
        CreateDirectoryA("test-output", nullptr);
        addNodeAt(40, 40, RGB(0, 0, 200));
    }
};

TEST_F(Screenshot, WindowCaptureShowsWhatTheControlPaints) {
    const char* path = "test-output/screenshot-window.png";
    std::remove(path);
    ASSERT_TRUE(saveWindowPng(sc().window, path));
    Png png = readPng(path);
    ASSERT_NE(png.rgb, nullptr);
    EXPECT_EQ(png.width, kViewWidth);
    EXPECT_EQ(png.height, kViewHeight);
    EXPECT_EQ(png.at(5, 5), kViewBackground);
    EXPECT_EQ(png.at(90, 52), RGB(0, 0, 200));
    EXPECT_EQ(png.at(40, 52), RGB(0, 0, 0));
}

TEST_F(Screenshot, HiddenWindowIsStillCapturedThroughItsPaintRoutine) {
    const char* path = "test-output/screenshot-hidden.png";
    ShowWindow(sc().window, SW_HIDE);
    ASSERT_TRUE(saveWindowPng(sc().window, path));
    Png png = readPng(path);
    ASSERT_NE(png.rgb, nullptr);
    EXPECT_EQ(png.at(90, 52), RGB(0, 0, 200));
}

TEST_F(Screenshot, BackBufferCaptureMatchesItsPixels) {
    paint();
    const char* path = "test-output/screenshot-buffer.png";
    ASSERT_TRUE(saveDCPng(sc().backBuffer.dc.get(), kViewWidth, kViewHeight, path));
    Png png = readPng(path);
    ASSERT_NE(png.rgb, nullptr);
    for (POINT p : {POINT{0, 0}, POINT{90, 52}, POINT{40, 52}, POINT{319, 199}})
        EXPECT_EQ(png.at(p.x, p.y), pixel(p.x, p.y)) << p.x << ", " << p.y;
}

TEST_F(Screenshot, RefusesWhatCannotBeCaptured) {
    EXPECT_FALSE(saveWindowPng(nullptr, "test-output/none.png"));
    EXPECT_FALSE(saveDCPng(sc().backBuffer.dc.get(), 0, 10, "test-output/none.png"));
    EXPECT_FALSE(saveWindowPng(sc().window, "no-such-folder/x.png"));
}
