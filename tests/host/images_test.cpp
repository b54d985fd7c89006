// images_test.cpp - bitmaps as packed DIBs, material postage stamps, maps drawn by the port.
#include <gtest/gtest.h>

#include "host/core/errors.h"
#include "host/win32/images.h"
#include "host/win32/materials.h"

namespace {

BMM_Color_64 colour(BYTE r, BYTE g, BYTE b) { return {WORD(r * 257), WORD(g * 257), WORD(b * 257), 0}; }

const BYTE* dibPixels(PBITMAPINFO dib) { return reinterpret_cast<const BYTE*>(dib) + dib->bmiHeader.biSize; }

TEST(Images, ToDibPacksBottomUpRowsPaddedToFourBytes) {
    Bitmap bitmap(2, 2);
    BMM_Color_64 top[] = {colour(1, 2, 3), colour(4, 5, 6)};
    BMM_Color_64 bottom[] = {colour(7, 8, 9), colour(10, 11, 12)};
    ASSERT_TRUE(bitmap.PutPixels(0, 0, 2, top));
    ASSERT_TRUE(bitmap.PutPixels(0, 1, 2, bottom));
    EXPECT_FALSE(bitmap.PutPixels(1, 0, 2, top)) << "past the right edge";

    PBITMAPINFO dib = bitmap.ToDib(24);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->bmiHeader.biSize, 40u);
    EXPECT_EQ(dib->bmiHeader.biHeight, 2);
    EXPECT_EQ(dib->bmiHeader.biBitCount, 24);
    EXPECT_EQ(dib->bmiHeader.biSizeImage, 16u);  // 6 bytes a row padded to 8
    const BYTE expected24[] = {9, 8, 7, 12, 11, 10, 0, 0, 3, 2, 1, 6, 5, 4, 0, 0};
    EXPECT_EQ(std::vector<BYTE>(dibPixels(dib), dibPixels(dib) + 16),
              std::vector<BYTE>(expected24, expected24 + 16));
    LocalFree(dib);

    dib = bitmap.ToDib(32);
    ASSERT_NE(dib, nullptr);
    const BYTE expected32[] = {9, 8, 7, 0, 12, 11, 10, 0, 3, 2, 1, 0, 6, 5, 4, 0};
    EXPECT_EQ(std::vector<BYTE>(dibPixels(dib), dibPixels(dib) + 16),
              std::vector<BYTE>(expected32, expected32 + 16));
    LocalFree(dib);
    EXPECT_EQ(bitmap.ToDib(16), nullptr);
}

TEST(Images, ToDibMapsChannelsThroughTheGammaTable) {
    Bitmap bitmap(1, 1);
    bitmap.Fill(colour(10, 20, 30));
    UWORD gamma[256];
    for (int i = 0; i < 256; ++i) gamma[i] = UWORD(255 - i);
    PBITMAPINFO dib = bitmap.ToDib(32, gamma);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dibPixels(dib)[0], 225);
    EXPECT_EQ(dibPixels(dib)[1], 235);
    EXPECT_EQ(dibPixels(dib)[2], 245);
    LocalFree(dib);
}

TEST(Images, StandardMaterialStampsComeInThreeSizesAndFollowTheDiffuseColour) {
    StdMat material;
    EXPECT_EQ(material.CreatePStamp(PS_LARGE, FALSE), nullptr) << "not rendered yet";
    PStamp* large = material.CreatePStamp(PS_LARGE, TRUE);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(large->Width(), 88);
    EXPECT_EQ(large->Height(), 88);
    EXPECT_EQ(material.CreatePStamp(PS_LARGE, FALSE), large);
    EXPECT_EQ(material.CreatePStamp(PS_SMALL, TRUE)->Width(), 32);
    EXPECT_EQ(material.CreatePStamp(PS_TINY, TRUE)->Width(), 24);
    EXPECT_EQ(material.CreatePStamp(7, TRUE), nullptr);

    material.SetDiffuse(0x000000ff);  // red
    std::vector<BYTE> image(size_t(PStamp::RowBytes(88)) * 88);
    material.CreatePStamp(PS_LARGE, TRUE)->GetImage(image.data());
    const BYTE* centre = &image[size_t(44) * PStamp::RowBytes(88) + 44 * 3];
    EXPECT_GT(centre[0], 0);
    EXPECT_EQ(centre[1], 0);
    EXPECT_EQ(centre[2], 0);
}

TEST(Images, MaterialValuesConvertToTheirMaterialAndNothingElseDoes) {
    StdMat material;
    Value* value = MAXMaterial::intern(&material);
    EXPECT_EQ(MAXMaterial::intern(&material), value) << "one wrapper per material";
    EXPECT_EQ(value->to_mtlbase(), &material);
    Integer five(5);
    try {
        five.to_mtlbase();
        FAIL() << "no conversion error";
    } catch (ConversionError& e) {
        EXPECT_EQ(e.message(), "-- Unable to convert: 5 to type: material");
    }
}

TEST(Images, DisplayMapDrawsRgbTriplesTopRowFirst) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 2, 2);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target);
    UBYTE map[] = {255, 0, 0, 0, 255, 0, 0, 0, /* padding */ 0, 0, 255, 9, 9, 9};
    Rect dest(0, 0, 2, 2);
    GetGPort()->DisplayMap(dc, dest, 0, 0, map, 8);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(9, 9, 9));
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
}

}  // namespace
