// gdi_call_bench.cpp - what one GDI call of each kind the paint makes costs in this
// build, so the paint rows can be read against it (Wine's 32-bit GDI costs several
// times its 64-bit GDI per call, whatever the call draws).
#include <windows.h>

#include "bench/bench_graph.h"

namespace {

constexpr int kCalls = 20000;

template <class Call>
void report(const char* call, Call body) {
    int i = 0;
    const double ms = millisPerCall(kCalls, [&] { body(i++); });
    std::printf("gdi\t%s\t%s\t%.3f\n", call, buildName(), ms * 1000.0);
    std::fflush(stdout);
}

}  // namespace

int main() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 1280, 1024);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(200, 100, 50));
    HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
    HFONT font = CreateFontA(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, FF_SWISS, "");
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush), oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    auto x = [](int i) { return (i * 7) % 1200; };
    auto y = [](int i) { return (i * 13) % 1000; };

    report("SelectObject", [&](int i) { SelectObject(dc, i & 1 ? pen : GetStockObject(BLACK_PEN)); });
    SelectObject(dc, pen);
    report("MoveToEx + LineTo, 20 px", [&](int i) {
        MoveToEx(dc, x(i), y(i), nullptr);
        LineTo(dc, x(i) + 20, y(i) + 5);
    });
    report("PolyBezier, 160 px", [&](int i) {
        const POINT p[4] = {{x(i), y(i)}, {x(i) + 40, y(i)}, {x(i) + 120, y(i) + 30}, {x(i) + 160, y(i) + 30}};
        PolyBezier(dc, p, 4);
    });
    report("Polygon, arrowhead", [&](int i) {
        const POINT p[4] = {{x(i), y(i)}, {x(i) - 10, y(i) + 4}, {x(i) - 10, y(i) - 4}, {x(i), y(i)}};
        Polygon(dc, p, 4);
    });
    report("RoundRect, 100 x 60", [&](int i) { RoundRect(dc, x(i), y(i), x(i) + 100, y(i) + 60, 8, 8); });
    report("Rectangle, 9 x 9", [&](int i) { Rectangle(dc, x(i), y(i), x(i) + 9, y(i) + 9); });
    report("DrawTextA, 9 characters", [&](int i) {
        RECT box{x(i), y(i), x(i) + 100, y(i) + 16};
        DrawTextA(dc, "Node 1234", 9, &box, DT_CENTER);
    });

    SelectObject(dc, oldFont);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteObject(brush);
    DeleteObject(pen);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return 0;
}
