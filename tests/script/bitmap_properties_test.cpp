// bitmap_properties_test.cpp - node and background bitmaps and material swatches, by pixel.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "host/win32/images.h"
#include "host/win32/materials.h"
#include "tests/script/script_session.h"

namespace {

// A script bitmap whose pixel (x, y) is colour(x, y).
Value* makeBitmap(int w, int h, const std::function<COLORREF(int, int)>& colour) {
    auto* bitmap = new Bitmap(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = colour(x, y);
            BMM_Color_64 px{WORD(GetRValue(c) * 257), WORD(GetGValue(c) * 257),
                            WORD(GetBValue(c) * 257), 0xffff};
            bitmap->PutPixels(x, y, 1, &px);
        }
    return new MAXBitMap(bitmap);
}

// Pixel (x, y) of a device bitmap, read back through GetDIBits.
COLORREF pixelOf(void* handle, int x, int y) {
    auto bitmap = static_cast<HBITMAP>(handle);
    BITMAP bm{};
    if (!GetObjectA(bitmap, sizeof bm, &bm)) return CLR_INVALID;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(size_t(bm.bmWidth) * bm.bmHeight);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, bm.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != bm.bmHeight) return CLR_INVALID;
    const uint32_t bgra = pixels[size_t(y) * bm.bmWidth + x];
    return RGB((bgra >> 16) & 0xff, (bgra >> 8) & 0xff, bgra & 0xff);
}

SIZE sizeOf(void* handle) {
    BITMAP bm{};
    GetObjectA(static_cast<HBITMAP>(handle), sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
}

COLORREF pattern(int x, int y) { return RGB(40 * x + 10, 100 * y + 20, 7 * (x + y) + 1); }

// A map with no preview image.
class PlainMap : public MtlBase {};

}  // namespace

TEST(BitmapProperties, NodeBitmapBecomesADeviceBitmapWithTheSamePixels) {
    ScriptSession s;
    s.addNodes(1, 1);
    Value* value = makeBitmap(3, 2, pattern);
    EXPECT_EQ(s.write("nodeBitmap", value), "true");
    SchematicNode& node = s.node(0);
    ASSERT_NE(node.bitmapHandle, nullptr);
    EXPECT_EQ(node.bitmapValue, value);
    EXPECT_EQ(sizeOf(node.bitmapHandle).cx, 3);
    EXPECT_EQ(sizeOf(node.bitmapHandle).cy, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(pixelOf(node.bitmapHandle, x, y), pattern(x, y)) << x << "," << y;
    EXPECT_EQ(s.read("nodeBitmap"), "OK");

    void* first = node.bitmapHandle;
    EXPECT_EQ(s.write("nodeBitmap", makeBitmap(1, 1, [](int, int) { return RGB(1, 2, 3); })), "true");
    EXPECT_EQ(GetObjectType(first), 0u) << "the replaced bitmap is released";
    EXPECT_EQ(pixelOf(node.bitmapHandle, 0, 0), RGB(1, 2, 3));
}

TEST(BitmapProperties, NodeBitmapUndefinedRemovesTheBitmap) {
    ScriptSession s;
    s.addNodes(1, 1);
    s.set("nodeBitmap", makeBitmap(2, 2, pattern));
    void* handle = s.node(0).bitmapHandle;
    EXPECT_EQ(s.write("nodeBitmap", &undefined), "true");
    EXPECT_EQ(s.node(0).bitmapHandle, nullptr);
    EXPECT_EQ(s.node(0).bitmapValue, nullptr);
    EXPECT_EQ(GetObjectType(handle), 0u);
}

TEST(BitmapProperties, AValueThatIsNoBitmapRaisesTheTypeErrorAndKeepsTheOldBitmap) {
    ScriptSession s;
    s.addNodes(1, 1);
    Value* value = makeBitmap(2, 2, pattern);
    s.set("nodeBitmap", value);
    s.set("backgroundBitmap", value);
    void* nodeHandle = s.node(0).bitmapHandle;
    HBITMAP backgroundHandle = s.sc.background.bitmap.get();

    EXPECT_EQ(errorOf([&] { s.set("nodeBitmap", I(5)); }),
              "-- Type error: nodeBitmap requires BitMap, got: 5");
    EXPECT_EQ(errorOf([&] { s.set("nodeBitmap", S("a.bmp")); }),
              "-- Type error: nodeBitmap requires BitMap, got: \"a.bmp\"");
    EXPECT_EQ(errorOf([&] { s.set("backgroundBitmap", I(5)); }),
              "-- Type error: backgroundBitmap requires BitMap, got: 5");
    EXPECT_EQ(errorOf([&] { s.set("backgroundBitmap", &undefined); }),
              "-- Type error: backgroundBitmap requires BitMap, got: undefined");

    EXPECT_EQ(s.node(0).bitmapHandle, nodeHandle);
    EXPECT_EQ(s.node(0).bitmapValue, value);
    EXPECT_EQ(pixelOf(nodeHandle, 1, 1), pattern(1, 1));
    EXPECT_EQ(s.sc.background.bitmap.get(), backgroundHandle);
    EXPECT_EQ(s.sc.backgroundBitmapValue, value);
    EXPECT_EQ(pixelOf(backgroundHandle, 1, 0), pattern(1, 0));
}

TEST(BitmapProperties, BackgroundBitmapIsReplacedAndWorksWithTheRolloutClosed) {
    ScriptSession s(false);
    EXPECT_EQ(s.write("backgroundBitmap", makeBitmap(4, 3, pattern)), "true");
    HBITMAP first = s.sc.background.bitmap.get();
    EXPECT_EQ(pixelOf(first, 3, 2), pattern(3, 2));
    EXPECT_EQ(s.write("backgroundBitmap", makeBitmap(2, 2, pattern)), "true");
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(sizeOf(s.sc.background.bitmap.get()).cx, 2);
    EXPECT_EQ(s.read("backgroundBitmap"), "OK");
}

TEST(BitmapProperties, BitmapValuesHeldOnlyByTheControlSurviveCollection) {
    ScriptSession s;
    s.addNodes(1, 1);
    Value* nodeValue = makeBitmap(2, 2, pattern);
    Value* backgroundValue = makeBitmap(2, 2, pattern);
    s.set("nodeBitmap", nodeValue);
    s.set("backgroundBitmap", backgroundValue);
    gc();
    EXPECT_TRUE(gc_is_live(nodeValue));
    EXPECT_TRUE(gc_is_live(backgroundValue));

    s.set("nodeBitmap", &undefined);
    gc();
    EXPECT_FALSE(gc_is_live(nodeValue)) << "no longer held, so collected";
    EXPECT_TRUE(gc_is_live(backgroundValue));
}

TEST(BitmapProperties, SetRenderBallDrawsAShadedBallOfTheDiffuseColourIntoTheNodeBitmap) {
    ScriptSession s;
    s.addNodes(1, 1);
    s.set("nodeBitmap", makeBitmap(100, 100, [](int, int) { return RGB(255, 255, 255); }));
    StdMat red;
    red.SetDiffuse(RGB(255, 0, 0));

    EXPECT_EQ(s.write("setRenderBall", MAXMaterial::intern(&red)), "true");
    void* handle = s.node(0).bitmapHandle;
    EXPECT_EQ(sizeOf(handle).cx, 100) << "the node bitmap keeps its size";
    EXPECT_EQ(pixelOf(handle, 0, 0), RGB(60, 60, 60)) << "the ground around the ball";
    EXPECT_EQ(pixelOf(handle, 87, 87), RGB(60, 60, 60));
    EXPECT_EQ(pixelOf(handle, 90, 90), RGB(255, 255, 255)) << "outside the swatch";
    const COLORREF centre = pixelOf(handle, 44, 44);
    EXPECT_GT(GetRValue(centre), 150);
    EXPECT_EQ(GetGValue(centre), 0);
    EXPECT_EQ(GetBValue(centre), 0);
    EXPECT_GT(GetRValue(pixelOf(handle, 30, 30)), GetRValue(pixelOf(handle, 58, 58)))
        << "lit from the upper left";
}

TEST(BitmapProperties, SetRenderBallNeedsANodeAndASwatch) {
    ScriptSession s;
    StdMat material;
    PlainMap map;
    s.addNodes(1);
    EXPECT_EQ(s.write("setRenderBall", MAXMaterial::intern(&material)), "false") << "no active node";
    s.set("activeNode", I(1));
    EXPECT_EQ(s.write("setRenderBall", MAXMaterial::intern(&map)), "false") << "no swatch";
    EXPECT_EQ(s.write("setRenderBall", MAXMaterial::intern(&material)), "true");
    EXPECT_EQ(s.node(0).bitmapHandle, nullptr) << "nothing to draw into, nothing made";
}
