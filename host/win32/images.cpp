// images.cpp - bitmaps to device-independent bitmaps, and maps drawn through GDI.
#include "host/win32/images.h"

#include <algorithm>
#include <cstring>

ValueMetaClass MAXBitMap_class("BitMap");

namespace {

int rowBytes(int width, int depth) { return ((width * depth + 31) / 32) * 4; }

BYTE channel8(WORD c, const UWORD* gamma) {
    const BYTE v = static_cast<BYTE>(c >> 8);
    return gamma ? static_cast<BYTE>(gamma[v] & 0xff) : v;
}

}  // namespace

Bitmap::Bitmap(int width, int height)
    : width(std::max(0, width)), height(std::max(0, height)),
      pixels(static_cast<size_t>(this->width) * static_cast<size_t>(this->height)) {}

bool Bitmap::PutPixels(int x, int y, int count, const BMM_Color_64* source) {
    if (x < 0 || y < 0 || y >= height || count < 0 || count > width - x) return false;
    std::copy(source, source + count, pixels.begin() + (static_cast<size_t>(y) * width + x));
    return true;
}

bool Bitmap::GetPixels(int x, int y, int count, BMM_Color_64* target) const {
    if (x < 0 || y < 0 || y >= height || count < 0 || count > width - x) return false;
    auto from = pixels.begin() + (static_cast<size_t>(y) * width + x);
    std::copy(from, from + count, target);
    return true;
}

void Bitmap::Fill(BMM_Color_64 colour) { std::fill(pixels.begin(), pixels.end(), colour); }

PBITMAPINFO Bitmap::ToDib(int depth, UWORD* gamma, BOOL dither) {
    if (depth != 24 && depth != 32) return nullptr;
    const int stride = rowBytes(width, depth);
    const size_t imageSize = static_cast<size_t>(stride) * static_cast<size_t>(height);
    auto* dib = static_cast<PBITMAPINFO>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT,
                                                    sizeof(BITMAPINFOHEADER) + imageSize));
    if (!dib) return nullptr;
    BITMAPINFOHEADER& h = dib->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;  // positive: the first row in memory is the bottom one
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(depth);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(imageSize);

    BYTE* bits = reinterpret_cast<BYTE*>(dib) + sizeof(BITMAPINFOHEADER);
    const int step = depth / 8;
    for (int y = 0; y < height; ++y) {
        BYTE* row = bits + static_cast<size_t>(height - 1 - y) * stride;
        const BMM_Color_64* src = &pixels[static_cast<size_t>(y) * width];
        for (int x = 0; x < width; ++x) {
            BYTE* px = row + x * step;
            px[0] = channel8(src[x].b, gamma);
            px[1] = channel8(src[x].g, gamma);
            px[2] = channel8(src[x].r, gamma);
        }
    }
    return dib;
}

MAXBitMap::MAXBitMap(Bitmap* bitmap) : bm(bitmap) { tag = &MAXBitMap_class; }

MAXBitMap::~MAXBitMap() { delete bm; }

void MAXBitMap::sprin1(CharStream* s) {
    if (bm) s->printf("BitMap:%dx%d", bm->Width(), bm->Height());
    else s->puts("BitMap:");
}

Value* MAXBitMap::get_property(Value** arg_list, int count) {
    if (bm && count > 0) {
        if (arg_list[0] == Name::intern("width")) return Integer::intern(bm->Width());
        if (arg_list[0] == Name::intern("height")) return Integer::intern(bm->Height());
    }
    return Value::get_property(arg_list, count);
}

void GPort::DisplayMap(HDC hdc, Rect& dest, int xsrc, int ysrc, UBYTE* map, int bytesPerRow) {
    const int w = dest.w(), h = dest.h();
    if (!hdc || !map || w <= 0 || h <= 0 || xsrc < 0 || ysrc < 0 || bytesPerRow < (xsrc + w) * 3)
        return;
    // GDI wants B, G, R; the map holds R, G, B.
    const int stride = rowBytes(w, 24);
    std::vector<BYTE> bgr(static_cast<size_t>(stride) * h);
    for (int y = 0; y < h; ++y) {
        const UBYTE* src = map + static_cast<size_t>(ysrc + y) * bytesPerRow + xsrc * 3;
        BYTE* dst = &bgr[static_cast<size_t>(y) * stride];
        for (int x = 0; x < w; ++x) {
            dst[x * 3 + 0] = src[x * 3 + 2];
            dst[x * 3 + 1] = src[x * 3 + 1];
            dst[x * 3 + 2] = src[x * 3 + 0];
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down, like the map
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(hdc, dest.left, dest.top, w, h, 0, 0, 0, h, bgr.data(), &info,
                      DIB_RGB_COLORS);
}

GPort* GetGPort() {
    static GPort port;
    return &port;
}
