// background.cpp - flat, stretched and tiled backgrounds.
#include "render/background.h"

#include "graph/geometry.h"
#include "render/gdi.h"

int32_t tilePhase(float pan, int32_t size) {
    // In 64 bits: the negation of a pan saturated at INT32_MIN must not overflow.
    int64_t phase = -int64_t(truncToInt32(pan)) % size;
    if (phase < 0) phase += size;
    return int32_t(phase);
}

namespace {

// A 2 x 2 sheet of the bitmap lets every tile be one whole copy at a fixed phase.
void drawTiled(HDC buffer, HDC source, int w, int h, const SchematicViewState& view) {
    gdi::MemoryDC sheetDC(source);
    gdi::Bitmap sheet(CreateCompatibleBitmap(source, 2 * w, 2 * h));
    gdi::ScopedSelect selectSheet(sheetDC.get(), sheet);
    for (int x = 0; x <= w; x += w)
        for (int y = 0; y <= h; y += h) gdi::blit(sheetDC.get(), x, y, w, h, source, 0, 0, SRCCOPY);

    const int ox = tilePhase(view.pan.x, w), oy = tilePhase(view.pan.y, h);
    const RectI& r = view.viewRect;
    for (int x = 0; x < r.right; x += w)
        for (int y = 0; y < r.bottom; y += h)
            gdi::blit(buffer, x, y, w, h, sheetDC.get(), ox, oy, SRCCOPY);
}

}  // namespace

void drawBackground(const Background& background, const SchematicViewState& view, HDC buffer) {
    const RectI& r = view.viewRect;
    BITMAP bm{};
    HBITMAP image = background.bitmap.get();
    // A bitmap that measures nothing would make the tiling loops step by zero.
    const bool usable = image && GetObjectType(image) == OBJ_BITMAP &&
                        GetObjectA(image, sizeof bm, &bm) && bm.bmWidth > 0 && bm.bmHeight > 0;
    if (!usable) {
        RECT all{r.left, r.top, r.right, r.bottom};
        FillRect(buffer, &all, background.brush.get());
        return;
    }

    gdi::MemoryDC source(buffer);
    gdi::ScopedSelect selectImage(source.get(), image);
    if (view.tileBackground)
        drawTiled(buffer, source.get(), bm.bmWidth, bm.bmHeight, view);
    else
        StretchBlt(buffer, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), 0, 0,
                   bm.bmWidth, bm.bmHeight, SRCCOPY);
}
