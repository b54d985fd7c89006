// builtins_bitmaps.cpp - script bitmaps: made, read from image files, read and written by rows.
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "host/win32/images.h"
#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace {

// Beyond this a size is a mistake in the script, not a picture worth the memory.
constexpr int kMaxSide = 16384;
constexpr long long kMaxPixels = 16LL * 1024 * 1024;

void check_size(const char* fn, int w, int h) {
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide || static_cast<long long>(w) * h > kMaxPixels)
        throw RuntimeError(std::string(fn) + ": bitmap size out of range: " + std::to_string(w) + "x" +
                           std::to_string(h));
}

// A new bitmap, or a runtime error when the memory is not there.
std::unique_ptr<Bitmap> new_bitmap(const char* fn, int w, int h) {
    check_size(fn, w, h);
    try {
        return std::make_unique<Bitmap>(w, h);
    } catch (const std::bad_alloc&) {
        throw RuntimeError(std::string(fn) + ": not enough memory for the bitmap");
    }
}

BMM_Color_64 pixel_of(COLORREF c) {
    auto wide = [](unsigned v) { return static_cast<WORD>(v * 257); };
    return {wide(c & 0xff), wide((c >> 8) & 0xff), wide((c >> 16) & 0xff), 0xffff};
}

Bitmap* bitmap_arg(const BuiltinArgs& a, int i) {
    Bitmap* bm = static_cast<MAXBitMap*>(a.instance(i, &MAXBitMap_class))->bm;
    if (!bm) throw RuntimeError(std::string(a.fn) + ": the bitmap has no image");
    return bm;
}

// bitmap 320 240 color:(color 0 0 0)
Value* bitmap(Value** args, int count) {
    BuiltinArgs a("bitmap", args, count);
    a.expect(2);
    const int w = a.integer(0), h = a.integer(1);
    Value* colour = a.key("color");
    const BMM_Color_64 fill = colour ? pixel_of(colour->to_colorref()) : BMM_Color_64{0, 0, 0, 0xffff};
    auto image = new_bitmap("bitmap", w, h);
    image->Fill(fill);
    return new MAXBitMap(image.release());
}

// openBitmap "file.png": undefined when the file is missing or not an image.
Value* openBitmap(Value** args, int count) {
    BuiltinArgs a("openBitmap", args, count);
    a.expect(1);
    const std::string path = a.text(0);
    int w = 0, h = 0, channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(stbi_load(path.c_str(), &w, &h, &channels, 4),
                                                     stbi_image_free);
    if (!pixels) return &undefined;
    auto image = new_bitmap("openBitmap", w, h);
    std::vector<BMM_Color_64> row(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        const stbi_uc* src = pixels.get() + static_cast<size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x)
            row[x] = {WORD(src[x * 4] * 257), WORD(src[x * 4 + 1] * 257), WORD(src[x * 4 + 2] * 257),
                      WORD(src[x * 4 + 3] * 257)};
        image->PutPixels(0, y, w, row.data());
    }
    return new MAXBitMap(image.release());
}

// setPixels bm [x, y] #(colours): the part of the row inside the image is written.
Value* setPixels(Value** args, int count) {
    BuiltinArgs a("setPixels", args, count);
    a.expect(3);
    Bitmap* bm = bitmap_arg(a, 0);
    const Point2 at = a[1]->to_point2();
    Array* colours = a.array(2);
    std::vector<BMM_Color_64> row;
    for (Value* c : elements_of(colours)) {
        if (!c) throw ConversionError(&undefined, "Color");
        row.push_back(pixel_of(c->to_colorref()));  // all converted before any is written
    }
    const int x = static_cast<int>(at.x), y = static_cast<int>(at.y);
    if (!(at.x >= 0) || !(at.y >= 0) || x >= bm->Width() || y >= bm->Height()) return &ok;
    const int n = std::min(static_cast<int>(row.size()), bm->Width() - x);
    if (n > 0) bm->PutPixels(x, y, n, row.data());
    return &ok;
}

// getPixels bm [x, y] n: up to n colours of the row, fewer where the row ends.
Value* getPixels(Value** args, int count) {
    BuiltinArgs a("getPixels", args, count);
    a.expect(3);
    Bitmap* bm = bitmap_arg(a, 0);
    const Point2 at = a[1]->to_point2();
    const int wanted = a.integer(2);
    auto* result = new Array(0);
    const int x = static_cast<int>(at.x), y = static_cast<int>(at.y);
    if (!(at.x >= 0) || !(at.y >= 0) || x >= bm->Width() || y >= bm->Height() || wanted < 1)
        return result;
    const int n = std::min(wanted, bm->Width() - x);
    std::vector<BMM_Color_64> row(static_cast<size_t>(n));
    bm->GetPixels(x, y, n, row.data());
    for (const BMM_Color_64& p : row)
        result->append(new ColorValue(float(p.r >> 8), float(p.g >> 8), float(p.b >> 8)));
    return result;
}

}  // namespace

void define_bitmap_builtins(BuiltinDefiner define) {
    define("bitmap", bitmap);
    define("openBitmap", openBitmap);
    define("setPixels", setPixels);
    define("getPixels", getPixels);
}
