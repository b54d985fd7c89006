// rubber_band.cpp - overlays drawn last, above the whole graph.
#include "render/rubber_band.h"

#include "graph/geometry.h"
#include "render/gdi.h"
#include "render/node_text.h"

void drawRubberBand(const GraphContext& graph, SchematicSocket& socket, HDC dc, float px, float py) {
    SchematicNode* owner = socket.ownerNode;
    if (!owner) return;
    gdi::ScopedSelect selectPen(dc, gdi::PaintCache::current().pen(PS_SOLID, 1, socket.socketColor));
    // Half the unscaled box: at other zooms the line starts off the box centre.
    const Vec2 a = socketScreenPosition(socket);
    gdi::readyForLines(dc);
    MoveToEx(dc, truncToInt32(a.x + socket.radius * 0.5f), truncToInt32(a.y + socket.radius * 0.5f),
             nullptr);
    LineTo(dc, truncToInt32(px), truncToInt32(py));
    drawNodeText(*owner, *graph.viewState, dc, RectF{px - 100, py - 15, px + 100, py + 5},
                 socket.socketDataClass, DT_CENTER, true);
}

void drawRegionRect(SchematicViewState& view, HDC dc) {
    gdi::ScopedSelect selectPen(dc, GetStockObject(WHITE_PEN));
    gdi::ScopedSelect selectBrush(dc, GetStockObject(NULL_BRUSH));
    gdi::ready(dc);
    Rectangle(dc, truncToInt32(view.regionRect[0]), truncToInt32(view.regionRect[1]),
              truncToInt32(view.dragPoint.x), truncToInt32(view.dragPoint.y));
    view.regionRect[2] = view.dragPoint.x;
    view.regionRect[3] = view.dragPoint.y;
}
