// bitmap_properties.cpp - node and background bitmaps, and material swatches on nodes.
#include "script/properties.h"

#include <memory>
#include <new>

#include "host/core/errors.h"
#include "host/win32/images.h"
#include "host/win32/materials.h"

namespace {

constexpr int kSwatchSize = 88;
constexpr int kSwatchRowBytes = kSwatchSize * 3;
constexpr size_t kSwatchBytes = size_t(kSwatchRowBytes) * kSwatchSize;

// A window whose device context the device bitmaps are made for: the control's
// while it lives, else the screen's.
HWND deviceWindow(PropertyTarget& c) {
    return c.window && IsWindow(c.window) ? c.window : nullptr;
}

// The bitmap of a script value, or the host's type error naming the property.
Bitmap* bitmapOf(Value* value, const MCHAR* property) {
    if (!value->is_kind_of(class_tag(MAXBitMap))) throw TypeError(property, value, class_tag(MAXBitMap));
    return static_cast<MAXBitMap*>(value)->bm;
}

// A device bitmap made through a 32-bit DIB; null when the host cannot make one.
HBITMAP makeDeviceBitmap(PropertyTarget& c, Bitmap* bitmap) {
    if (!bitmap) return nullptr;
    PBITMAPINFO dib = bitmap->ToDib(32, nullptr, FALSE);
    if (!dib) return nullptr;
    HWND window = deviceWindow(c);
    HDC dc = GetDC(window);
    const BYTE* pixels = reinterpret_cast<const BYTE*>(dib) + dib->bmiHeader.biSize;
    HBITMAP handle = CreateDIBitmap(dc, &dib->bmiHeader, CBM_INIT, pixels, dib, DIB_RGB_COLORS);
    ReleaseDC(window, dc);
    LocalFree(dib);
    return handle;
}

}  // namespace

Value* readBitmapAsOk(PropertyTarget&) { return &ok; }

Value* writeNodeBitmap(PropertyTarget& c, Value* value) {
    const bool remove = value->tag == &Undefined_class;
    Bitmap* bitmap = remove ? nullptr : bitmapOf(value, _M("nodeBitmap"));
    SchematicNode* node = activeNode(c);
    if (!node) return &false_value;
    if (remove) {
        setNodeBitmap(c.graph, *node, nullptr, nullptr);
        return &true_value;
    }
    // Made before the old one goes, so a failure leaves the node as it was.
    HBITMAP handle = makeDeviceBitmap(c, bitmap);
    if (!handle) return &false_value;
    setNodeBitmap(c.graph, *node, handle, value);
    return &true_value;
}

Value* writeBackgroundBitmap(PropertyTarget& c, Value* value) {
    HBITMAP handle = makeDeviceBitmap(c, bitmapOf(value, _M("backgroundBitmap")));
    if (!handle) return &false_value;
    c.background.bitmap = gdi::KeptBitmap(handle);
    c.backgroundBitmapValue = value;
    return &true_value;
}

Value* writeSetRenderBall(PropertyTarget& c, Value* value) {
    MtlBase* material = value->to_mtlbase();
    SchematicNode* node = activeNode(c);
    if (!node) return &false_value;
    PStamp* stamp = material->CreatePStamp(PS_LARGE, TRUE);
    // A stamp of another size would not fit the buffer: no usable swatch either.
    if (!stamp || stamp->Width() != kSwatchSize || stamp->Height() != kSwatchSize)
        return &false_value;
    std::unique_ptr<BYTE[]> image(new (std::nothrow) BYTE[kSwatchBytes]);
    if (!image) return &undefined;
    stamp->GetImage(image.get());

    // A node without a bitmap has nothing to show the swatch in.
    if (!node->bitmapHandle) return &true_value;
    HWND window = deviceWindow(c);
    HDC windowDC = GetDC(window);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    HGDIOBJ previous = SelectObject(memoryDC, static_cast<HBITMAP>(node->bitmapHandle));
    Rect dest(0, 0, kSwatchSize, kSwatchSize);
    GetGPort()->DisplayMap(memoryDC, dest, 0, 0, image.get(), kSwatchRowBytes);
    SelectObject(memoryDC, previous);
    DeleteDC(memoryDC);
    ReleaseDC(window, windowDC);
    return &true_value;
}
