// screenshot.cpp - capturing through a 32-bit DIB section and writing PNG with stb.
#include "host/win32/screenshot.h"

#include <cstdint>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace {

// A top-down 32-bit surface that device contexts can draw into.
class Capture {
public:
    Capture(int width, int height) : width(width), height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // negative: first row at the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (dc && bitmap) previous = SelectObject(dc, bitmap);
    }
    ~Capture() {
        if (previous) SelectObject(dc, previous);
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    bool ok() const { return dc && bitmap && bits; }

    bool writePng(const char* path) const {
        GdiFlush();  // drawing into a DIB section may still be queued
        std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
        const auto* pixel = static_cast<const uint8_t*>(bits);  // B, G, R, unused
        for (size_t i = 0, n = size_t(width) * size_t(height); i < n; ++i) {
            rgb[i * 3 + 0] = pixel[i * 4 + 2];
            rgb[i * 3 + 1] = pixel[i * 4 + 1];
            rgb[i * 3 + 2] = pixel[i * 4 + 0];
        }
        return stbi_write_png(path, width, height, 3, rgb.data(), width * 3) != 0;
    }

    int width, height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    void* bits = nullptr;
};

}  // namespace

bool saveDCPng(HDC source, int width, int height, const char* path) {
    if (!source || width <= 0 || height <= 0 || !path) return false;
    Capture capture(width, height);
    if (!capture.ok()) return false;
    if (!BitBlt(capture.dc, 0, 0, width, height, source, 0, 0, SRCCOPY)) return false;
    return capture.writePng(path);
}

bool saveWindowPng(HWND window, const char* path) {
    RECT client{};
    if (!window || !path || !IsWindow(window) || !GetClientRect(window, &client)) return false;
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return false;
    Capture capture(width, height);
    if (!capture.ok()) return false;
    // The screen copy stays for windows that ignore WM_PRINTCLIENT.
    if (HDC screen = GetDC(window)) {
        BitBlt(capture.dc, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        ReleaseDC(window, screen);
    }
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.dc), PRF_CLIENT);
    return capture.writePng(path);
}
