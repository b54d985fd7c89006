// text_line.cpp - DrawTextA's layout of a single plain line, drawn with one ExtTextOutW.
// DrawTextA measures the line, asks for the font's metrics and converts the text before
// it draws; a paint with hundreds of captions spends most of its time there.
#include "render/text_line.h"

#include <cstdint>

namespace {
constexpr size_t kMaxLength = 256;
// Far beyond any view; coordinates past it are left to DrawTextA, whose arithmetic we
// would otherwise have to follow into overflow.
constexpr int32_t kMaxCoordinate = 1 << 24;

bool moderate(LONG v) { return v > -kMaxCoordinate && v < kMaxCoordinate; }
}  // namespace

bool drawTextLine(HDC dc, const std::string& text, const RECT& box, UINT format, const CharWidths& widths) {
    if (format > DT_RIGHT || text.empty() || text.size() > kMaxLength) return false;
    if (box.right <= box.left || box.bottom <= box.top) return false;
    if (!moderate(box.left) || !moderate(box.right) || !moderate(box.top) || !moderate(box.bottom)) return false;
    WCHAR wide[kMaxLength];
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        // '&' underlines the next character; control characters break or tab the line;
        // bytes above 0x7E depend on the code page.
        if (c < CharWidths::kFirst || c > CharWidths::kLast || c == '&') return false;
        wide[i] = WCHAR(c);
        width += widths.width[c - CharWidths::kFirst];
    }
    int x = box.left;
    if (format == DT_CENTER)
        x = (box.left + box.right - width) / 2;
    else if (format == DT_RIGHT)
        x = box.right - width;
    ExtTextOutW(dc, x, box.top, ETO_CLIPPED, &box, wide, UINT(text.size()), nullptr);
    return true;
}
