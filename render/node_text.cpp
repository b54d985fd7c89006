// node_text.cpp - the one caption routine every drawing step uses.
#include "render/node_text.h"

#include "graph/geometry.h"
#include "render/gdi.h"
#include "render/text_line.h"

namespace {
constexpr int kFontHeight = 14;
constexpr int kMaxFontHeight = 16;
}  // namespace

COLORREF nodeTextColor(const SchematicNode& node, const SchematicViewState& view) {
    const int r = GetRValue(node.nodeColor), g = GetGValue(node.nodeColor),
              b = GetBValue(node.nodeColor);
    // Title bars darken the node, so a lighter body already counts as dark.
    const int k = view.drawMenuBars ? 40 : 0;
    const bool dark = node.nodeColor != 0 && r - k < 100 && g - k < 100 && b - k < 100;
    return dark ? RGB(200, 200, 200) : RGB(0, 0, 0);
}

void drawNodeText(SchematicNode& node, const SchematicViewState& view, HDC dc, const RectF& rect,
                  const std::string& text, UINT format, bool scaleWithZoom) {
    if (scaleWithZoom && double(view.zoom) <= kHideCaptionsAtZoom) return;

    node.textColor = nodeTextColor(node, view);
    RECT box{truncToInt32(rect.left), truncToInt32(rect.top), truncToInt32(rect.right),
             truncToInt32(rect.bottom)};
    // The text is clipped to its box: a box outside what is being painted draws nothing.
    RECT clip, meet;
    gdi::PaintCache& cache = gdi::PaintCache::current();
    if (cache.clipBox(dc, &clip) != ERROR && !IntersectRect(&meet, &clip, &box)) return;

    gdi::ScopedBkMode transparent(dc, TRANSPARENT);
    gdi::ScopedTextColor colour(dc, node.textColor);
    int height = kFontHeight;
    if (scaleWithZoom) {
        height = truncToInt32(view.zoom * float(kFontHeight));
        if (height > kMaxFontHeight) height = kMaxFontHeight;
    }
    gdi::ScopedSelect selectFont(dc, cache.font(height));
    gdi::readyForText(dc);
    // The plain paint always asks DrawTextA, so the tests compare the two.
    const CharWidths* widths = cache.charWidths(dc, height);
    if (!widths || !drawTextLine(dc, text, box, format, *widths))
        DrawTextA(dc, text.c_str(), int(text.size()), &box, format);
}
