// draw_node.cpp - node bodies, title bars, bitmaps and captions, opaque or translucent.
#include "render/draw_node.h"

#include <algorithm>

#include "graph/geometry.h"
#include "host/core/core.h"
#include "render/draw_socket.h"
#include "render/gdi.h"
#include "render/line_batch.h"
#include "render/node_text.h"

ShadowColors shadowColors(COLORREF background) {
    // Darker than the background by an amount that grows as the background brightens.
    auto channel = [](int c, bool outline) {
        const int clamped = (std::min)(c, 254);
        const int d = 10 * (255 / (255 - clamped));
        const int fill = (std::max)(0, clamped - d);
        return outline ? (fill + d / 2) % 256 : fill;
    };
    const int r = GetRValue(background), g = GetGValue(background), b = GetBValue(background);
    return {RGB(channel(r, false), channel(g, false), channel(b, false)),
            RGB(channel(r, true), channel(g, true), channel(b, true))};
}

namespace {

constexpr float kTranslucentAboveZoom = 0.3f;

bool isPlain(const SchematicNode& node) { return node.nodeColor != 0; }

COLORREF darker(COLORREF c, int by) {
    return RGB((std::max)(0, GetRValue(c) - by), (std::max)(0, GetGValue(c) - by),
               (std::max)(0, GetBValue(c) - by));
}

// Screen geometry of one node, measured once per draw.
struct NodeBox {
    float x, y, w, h, z, e;
};

bool drawsTitleBar(const SchematicViewState& view, const SchematicNode& node, const NodeBox& b) {
    return !node.showBitmapOnly && view.drawMenuBars && captionOffsetClient(node, b.z).y < 5.0f && isPlain(node);
}

bool drawsBitmap(const SchematicNode& node) {
    return node.bitmapHandle && (!node.collapsed || node.showMiniBitmap);
}

// A body with corners of at most a pixel is a rectangle. With a one-pixel pen, one at
// most two pixels across one way is all outline, every pixel of it in the pen's colour,
// save a single pixel, which no GDI draws alike. Those are one or two straight spans.
struct BodySpans {
    int count = 0;
    POINT ends[2][2];
};
// RoundRect takes a corner's size either way round.
bool squareCorners(int e) { return e >= -1 && e <= 1; }

bool solidBody(int l, int t, int r, int b, int e, BodySpans& spans) {
    if (!squareCorners(e)) return false;
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    const int64_t w = int64_t(r) - l, h = int64_t(b) - t;
    if (w < 1 || h < 1 || (w == 1 && h == 1) || (w > 2 && h > 2)) return false;
    // Rows when it is low, columns when it is narrow; a span leaves out its far end.
    spans.count = int((std::min)(w, h));
    for (int i = 0; i < spans.count; ++i) {
        if (h <= w) {
            spans.ends[i][0] = {l, t + i};
            spans.ends[i][1] = {r, t + i};
        } else {
            spans.ends[i][0] = {l + i, t};
            spans.ends[i][1] = {l + i, b};
        }
    }
    return true;
}

void addSpans(LineBatch& batch, HPEN pen, const BodySpans& spans) {
    for (int i = 0; i < spans.count; ++i) batch.polyline(pen, spans.ends[i], 2);
}

// RoundRect in the plain paint; in a deferring one, Rectangle where the corners are too
// small to round (the same pixels, for less work).
void drawBody(HDC dc, int l, int t, int r, int b, int e) {
    if (squareCorners(e) && gdi::PaintCache::current().defers(dc))
        Rectangle(dc, l, t, r, b);
    else
        RoundRect(dc, l, t, r, b, e, e);
}

void drawShadow(HDC dc, const NodeBox& b, LineBatch* batch) {
    const ShadowColors colors = shadowColors(GetColorManager()->GetColor(kBackground));
    gdi::PaintCache& cache = gdi::PaintCache::current();
    const HPEN pen = cache.pen(PS_SOLID, 1, colors.outline);
    const int l = truncToInt32(b.x - kShadowOffset), t = truncToInt32(b.y + kShadowOffset),
              r = truncToInt32(b.x + b.w + kShadowOffset), bottom = truncToInt32(b.y + b.h + kShadowOffset);
    const int e = truncToInt32(b.e);
    BodySpans spans;
    if (batch && solidBody(l, t, r, bottom, e, spans)) {
        addSpans(*batch, pen, spans);
        return;
    }
    if (batch) batch->flush();
    gdi::ScopedSelect selectBrush(dc, cache.solidBrush(colors.fill));
    gdi::ScopedSelect selectPen(dc, pen);
    gdi::ready(dc);
    drawBody(dc, l, t, r, bottom, e);
}

// Below the caption zoom a body without title bar or bitmap is all that a node draws
// (no caption, no socket); when it is a solid span or two it goes into the batch.
bool batchedAsSpans(const SchematicViewState& view, const SchematicNode& node, const NodeBox& b,
                    LineBatch& batch) {
    if (double(view.zoom) > kHideCaptionsAtZoom || node.showBitmapOnly || drawsTitleBar(view, node, b) ||
        drawsBitmap(node) || (node.borderWidth != 0 && node.borderWidth != 1))
        return false;
    BodySpans spans;
    if (!solidBody(truncToInt32(b.x), truncToInt32(b.y), truncToInt32(b.x + b.w), truncToInt32(b.y + b.h),
                   truncToInt32(b.e), spans))
        return false;
    addSpans(batch, gdi::PaintCache::current().pen(PS_SOLID, node.borderWidth, node.borderColor), spans);
    return true;
}

void drawTitleBar(HDC dc, const SchematicNode& node, const NodeBox& b) {
    const int height = truncToInt32(b.z * kTitleBarHeight);
    const bool miniStrip = node.collapsed && node.showMiniBitmap;
    const int inset = miniStrip ? truncToInt32(miniTitleInsetClient(b.z)) : 0;
    gdi::ScopedSelect selectBrush(dc, gdi::PaintCache::current().solidBrush(
                                          node.selected ? RGB(255, 255, 255) : darker(node.nodeColor, 40)));
    gdi::ready(dc);
    Rectangle(dc, truncToInt32(b.x + float(inset)), truncToInt32(b.y), truncToInt32(b.x + b.w),
              truncToInt32(b.y + float(height)));
}

void drawNodeBitmap(HDC dc, const SchematicNode& node, const NodeBox& b) {
    HBITMAP image = static_cast<HBITMAP>(node.bitmapHandle);
    BITMAP bm{};
    if (GetObjectType(image) != OBJ_BITMAP || !GetObjectA(image, sizeof bm, &bm)) return;
    const bool expanded = !node.collapsed;
    const int side = truncToInt32(nodeBitmapSideClient(node, b.z));
    const int dw = b.w <= float(side) ? truncToInt32(b.w - 6) : side;
    const int dh = b.h <= float(side) ? truncToInt32(b.h - 6) : side;
    const int left = expanded ? truncToInt32(b.x + (b.w - float(dw)) * 0.5f) : truncToInt32(b.x + 4.0f);
    const int k = expanded ? 24 : 10;
    const int top = truncToInt32(float(truncToInt32(b.y + float(truncToInt32(float(k) * b.z)))) - 6 * b.z);

    gdi::MemoryDC source(dc);
    gdi::ScopedSelect selectImage(source.get(), image);
    StretchBlt(dc, left, top, dw, dh, source.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
}

void drawCaption(const GraphContext& graph, HDC dc, SchematicNode& node, const NodeBox& b) {
    const Vec2 offset = captionOffsetClient(node, b.z);
    const float nx = offset.x, ny = offset.y;
    float inset = 0.0f;
    UINT format = node.textAlign >= 0 && node.textAlign <= 2 ? UINT(node.textAlign) : DT_CENTER;
    if (node.collapsed && node.showMiniBitmap) {
        // Right-aligned beside the mini bitmap strip.
        format = DT_RIGHT;
        inset = miniCaptionInsetClient(b.z);
    }
    const RectF rect{b.x + nx, b.y + ny, b.x + nx + b.w - inset,
                     b.y + ny + float(truncToInt32(b.h))};
    drawNodeText(node, *graph.viewState, dc, rect, node.nodeName, format, true);
}

// The node with its title, bitmap, caption and sockets: everything but the shadow,
// shared by the opaque and the translucent path.
void drawNodeWithSockets(const GraphContext& graph, HDC dc, SchematicNode& node, const NodeBox& b) {
    const SchematicViewState& view = *graph.viewState;
    gdi::PaintCache& cache = gdi::PaintCache::current();
    HBRUSH brush = node.selected      ? cache.solidBrush(RGB(255, 255, 255))
                   : isPlain(node)    ? cache.solidBrush(node.nodeColor)
                                      : cache.hollowBrush();
    gdi::ScopedSelect selectBrush(dc, brush);
    gdi::ScopedSelect selectPen(dc, cache.pen(PS_SOLID, node.borderWidth, node.borderColor));

    const int e = truncToInt32(b.e);
    gdi::ready(dc);
    if (!node.showBitmapOnly)
        drawBody(dc, truncToInt32(b.x), truncToInt32(b.y), truncToInt32(b.x + b.w), truncToInt32(b.y + b.h), e);

    if (drawsTitleBar(view, node, b)) drawTitleBar(dc, node, b);

    if (drawsBitmap(node)) drawNodeBitmap(dc, node, b);

    if (node.showBitmapOnly) return;
    drawCaption(graph, dc, node, b);
    selectPen.restore();
    selectBrush.restore();
    for (SchematicSocket* socket : node.inputs) drawSocket(graph, *socket, dc);
    for (SchematicSocket* socket : node.outputs) drawSocket(graph, *socket, dc);
}

// Draws the node on a surface holding a copy of what lies beneath it, then blends
// the surface back with constant alpha.
void drawTranslucent(const GraphContext& graph, HDC dc, SchematicNode& node, const NodeBox& b) {
    const SchematicViewState& view = *graph.viewState;
    // The surface only needs to reach the view's far edges, however large the node.
    const int surfaceW = (std::min)(truncToInt32(b.x + b.w + 1), view.viewRect.right + 1);
    const int surfaceH = (std::min)(truncToInt32(b.y + b.h + 1), view.viewRect.bottom + 1);

    gdi::MemoryDC surfaceDC(dc);
    gdi::Bitmap surface(surfaceDC ? CreateCompatibleBitmap(dc, surfaceW, surfaceH) : nullptr);
    if (!surface) {
        drawNodeWithSockets(graph, dc, node, b);  // no memory for a surface: draw it opaque
        return;
    }
    gdi::ScopedSelect selectSurface(surfaceDC.get(), surface);
    SetBkMode(surfaceDC.get(), TRANSPARENT);

    const float dx = b.x < 0 ? -b.x : 0.0f, dy = b.y < 0 ? -b.y : 0.0f;
    const float a = b.z < 0.9f ? 1.0f : 0.0f;
    const int X = truncToInt32(b.x + dx), Y = truncToInt32(b.y + dy);
    const int W = (std::min)(truncToInt32(b.w - dx + a), surfaceW - X);
    const int H = (std::min)(truncToInt32(b.h - dy + a), surfaceH - Y);
    // A fresh bitmap holds no picture; without this its corners would blend in as black.
    gdi::blit(surfaceDC.get(), X, Y, W, H, dc, X, Y, SRCCOPY);

    drawNodeWithSockets(graph, surfaceDC.get(), node, b);

    BLENDFUNCTION blend{AC_SRC_OVER, 0,
                        BYTE(truncToInt32((1.0f - view.nodeTransparency) * 255.0f) & 0xFF), 0};
    if (!AlphaBlend(dc, X, Y, W, H, surfaceDC.get(), X, Y, W, H, blend))
        gdi::blit(dc, X, Y, W, H, surfaceDC.get(), X, Y, SRCCOPY);  // at least show the node
}

}  // namespace

void drawNode(const GraphContext& graph, SchematicNode& node, HDC dc, bool shadowPass, LineBatch* batch) {
    if (node.hidden) return;
    const SchematicViewState& view = *graph.viewState;
    const Vec2 size = nodeSizeClient(node), pos = nodePositionClient(node);
    const RectI& v = view.viewRect;
    if (float(v.right) < pos.x || pos.x + size.x < float(v.left) || float(v.bottom) < pos.y ||
        pos.y + size.y < float(v.top))
        return;

    const NodeBox box{pos.x, pos.y, size.x, size.y, view.zoom, node.edgeSize * view.zoom};
    const bool translucent = view.nodeTransparency >= 0.0f && !node.selected && isPlain(node) &&
                             view.zoom > kTranslucentAboveZoom;
    if (shadowPass) {
        if (isPlain(node) && !node.showBitmapOnly && !translucent) drawShadow(dc, box, batch);
        return;
    }
    if (batch && !translucent && batchedAsSpans(view, node, box, *batch)) return;
    if (batch) batch->flush();
    if (translucent)
        drawTranslucent(graph, dc, node, box);
    else
        drawNodeWithSockets(graph, dc, node, box);
}
