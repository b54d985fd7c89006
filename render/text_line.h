// text_line.h - one line of plain text placed and clipped as DrawTextA places it, in one call.
#pragma once
#include <windows.h>

#include <string>

// Advance widths of the characters ' ' to '~' in one font.
struct CharWidths {
    static constexpr int kFirst = 0x20, kLast = 0x7E;
    int width[kLast - kFirst + 1] = {};
};

// Draws text into box as DrawTextA (dc, text, box, format) does when the text is one line
// of printable ASCII without '&' and format is DT_LEFT, DT_CENTER or DT_RIGHT alone: from
// the box's top, placed by the text's width, clipped to the box. widths are those of the
// font selected in dc. Answers false, drawing nothing, for any other text, format or box;
// DrawTextA must draw those (line breaks, mnemonics, code-page characters).
bool drawTextLine(HDC dc, const std::string& text, const RECT& box, UINT format, const CharWidths& widths);
