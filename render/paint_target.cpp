// paint_target.cpp - making and releasing the back buffer.
#include "render/paint_target.h"

void BackBuffer::rebuild(HWND window, int width, int height) {
    release();
    if (!window) return;
    HDC windowDC = GetDC(window);
    dc = gdi::KeptMemoryDC(windowDC);
    bitmap = gdi::KeptBitmap(CreateCompatibleBitmap(windowDC, width, height));
    SelectObject(dc.get(), bitmap.get());
    ReleaseDC(window, windowDC);
}

void BackBuffer::release() {
    dc.reset();
    bitmap.reset();
}
