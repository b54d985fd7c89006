// connection_curves.cpp - the links of one output socket, drawn from the output side.
#include "render/connection_curves.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "graph/geometry.h"
#include "graph/hierarchy.h"
#include "render/gdi.h"
#include "render/line_batch.h"
#include "render/node_text.h"

namespace {
constexpr double kCurvesAboveZoom = 0.4;

// Halfway between two truncated coordinates, halving toward zero, without overflow.
LONG halfway(LONG from, LONG to) { return LONG(from + (int64_t(to) - from) / 2); }

// A corner offset from a coordinate that may already sit at the end of the int range.
LONG offsetBy(int base, int offset) {
    const int64_t sum = int64_t(base) + offset;
    return LONG(sum > INT32_MAX ? INT32_MAX : sum < INT32_MIN ? INT32_MIN : sum);
}

// Middle of the ancestor's left edge (links leave there) or right edge (links arrive).
Vec2 ancestorEdge(const SchematicNode& ancestor, bool rightEdge) {
    const Vec2 p = nodePositionClient(ancestor), s = nodeSizeClient(ancestor);
    return {rightEdge ? p.x + s.x : p.x, p.y + s.y * 0.5f};
}

bool samePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

void drawArrowPolygon(const SchematicSocket& socket, HDC dc, const POINT corners[4]) {
    gdi::ScopedSelect selectBrush(dc, gdi::PaintCache::current().solidBrush(socket.socketColor));
    gdi::ready(dc);
    Polygon(dc, corners, 4);
}

Vec2 socketCentre(const SchematicSocket& socket, float halfBox) {
    const Vec2 a = socketScreenPosition(socket);
    return {a.x + halfBox, a.y + halfBox};
}
}  // namespace

LinkCurve linkCurve(Vec2 s, Vec2 q) {
    const float d = (q.x - s.x) * 0.25f;
    LinkCurve c;
    c.points[0] = {truncToInt32(s.x), truncToInt32(s.y)};
    c.points[1] = {truncToInt32(s.x + d), truncToInt32(s.y)};
    c.points[2] = {truncToInt32(s.x + 3 * d), truncToInt32(q.y)};
    c.points[3] = {truncToInt32(q.x), truncToInt32(q.y)};
    c.middle = {halfway(c.points[0].x, c.points[3].x), halfway(c.points[0].y, c.points[3].y)};
    return c;
}

void drawOutputLinks(const GraphContext& graph, SchematicSocket& socket, HDC dc,
                     const int32_t* only, size_t onlyCount, LineBatch* batch) {
    SchematicNode* node = socket.ownerNode;
    if (!node) return;
    const SchematicViewState& view = *graph.viewState;
    SchematicNode* from = visibleAncestor(graph, *node);
    const bool fromParent = node->drawConnectionsFromParent && from;
    if (node->hidden && !fromParent) return;

    gdi::PaintCache& cache = gdi::PaintCache::current();
    const HPEN linkPen = cache.pen(PS_SOLID, 1, socket.socketColor);
    const HPEN selectedPen = socket.selectedLink != -1 ? cache.pen(PS_SOLID, 1, RGB(255, 255, 255)) : nullptr;
    gdi::ScopedSelect selectPen(dc, linkPen);

    const float z = view.zoom;
    // Half a default socket box, whatever this socket's radius.
    const float hs = linkEndInsetClient(z);
    const Vec2 s = fromParent ? ancestorEdge(*from, false) : socketCentre(socket, hs);
    const int arrowLength = truncToInt32(arrowLengthClient(z)), arrowHalfWidth = truncToInt32(arrowHalfWidthClient(z));

    const size_t count = only ? onlyCount : socket.links.size();
    for (size_t k = 0; k < count; ++k) {
        const size_t u = only ? size_t(only[k]) : k;
        if (u >= socket.links.size()) continue;
        SchematicSocket* target = socket.links[u];
        SchematicNode* peer = target ? target->ownerNode : nullptr;
        if (!peer) continue;
        SchematicNode* to = peer->parent ? visibleAncestor(graph, *peer) : nullptr;
        const bool toParent = peer->drawConnectionsFromParent && to;
        if (peer->hidden && !toParent) continue;
        // Both ends inside the same visible node: the link would run within it.
        if (from && to && from == to) continue;
        const Vec2 q = toParent ? ancestorEdge(*to, true) : socketCentre(*target, hs);

        const HPEN pen = socket.selectedLink == int32_t(u) && selectedPen ? selectedPen : linkPen;
        const bool weighted = view.drawWeights && u < socket.linkWeights.size();
        // A weight's caption would come between two links of a run; below the caption
        // zoom it draws nothing.
        if (batch && double(z) <= kCurvesAboveZoom && (!weighted || double(z) <= kHideCaptionsAtZoom)) {
            // A line of no length draws no pixel.
            const POINT ends[2] = {{truncToInt32(s.x), truncToInt32(s.y)}, {truncToInt32(q.x), truncToInt32(q.y)}};
            if (!samePoint(ends[0], ends[1])) batch->polyline(pen, ends, 2);
            const POINT mid{truncToInt32(s.x + (q.x - s.x) * 0.5f), truncToInt32(s.y + (q.y - s.y) * 0.5f)};
            POINT corners[4];
            linkArrowCorners(ends[0].x, ends[0].y, mid.x, mid.y, arrowLength, arrowHalfWidth, corners);
            if (samePoint(corners[1], corners[2])) {
                // No width, so nothing to fill: Polygon draws the outline alone, out to the
                // base and back (the sides of no length draw nothing).
                const POINT outline[3] = {corners[0], corners[1], corners[0]};
                if (!samePoint(corners[0], corners[1])) batch->polyline(pen, outline, 3);
            } else if (pen == linkPen) {
                batch->polygon(pen, cache.solidBrush(socket.socketColor), corners, 4);
            } else {
                batch->flush();
                selectPen.swap(pen);
                drawArrowPolygon(socket, dc, corners);
            }
            continue;
        }
        if (batch) batch->flush();

        selectPen.swap(pen);
        POINT middle;
        gdi::readyForLines(dc);
        if (double(z) > kCurvesAboveZoom) {
            const LinkCurve curve = linkCurve(s, q);
            PolyBezier(dc, curve.points, 4);
            middle = curve.middle;
        } else {
            MoveToEx(dc, truncToInt32(s.x), truncToInt32(s.y), nullptr);
            LineTo(dc, truncToInt32(q.x), truncToInt32(q.y));
            middle = {truncToInt32(s.x + (q.x - s.x) * 0.5f), truncToInt32(s.y + (q.y - s.y) * 0.5f)};
        }
        drawLinkArrow(socket, dc, truncToInt32(s.x), truncToInt32(s.y), middle.x, middle.y,
                      arrowLength, arrowHalfWidth);

        // A weight list shorter than links breaks the records' invariant; draw no weight then.
        if (weighted) {
            char text[16];
            std::snprintf(text, sizeof text, "%d", int(socket.linkWeights[u]));
            const float fx = s.x + (q.x - s.x) / 3, fy = s.y + (q.y - s.y) / 3;
            const RectF box{fx - kWeightBoxHalfWidth, fy - kWeightBoxHalfHeight, fx + kWeightBoxHalfWidth,
                            fy + kWeightBoxHalfHeight};
            drawNodeText(*node, view, dc, box, text, DT_CENTER, true);
        }
    }
}

SchematicNode* weightedLinkOwner(const GraphContext& graph, SchematicSocket& socket) {
    SchematicNode* node = socket.ownerNode;
    const SchematicViewState& view = *graph.viewState;
    if (!node || !view.drawWeights || double(view.zoom) <= kHideCaptionsAtZoom) return nullptr;
    SchematicNode* from = visibleAncestor(graph, *node);
    if (node->hidden && !(node->drawConnectionsFromParent && from)) return nullptr;
    for (size_t u = 0; u < socket.links.size() && u < socket.linkWeights.size(); ++u) {
        SchematicSocket* target = socket.links[u];
        SchematicNode* peer = target ? target->ownerNode : nullptr;
        if (!peer) continue;
        SchematicNode* to = visibleAncestor(graph, *peer);
        if (peer->hidden && !(peer->drawConnectionsFromParent && to)) continue;
        if (from && to && from == to) continue;
        return node;
    }
    return nullptr;
}

void linkArrowCorners(int x0, int y0, int x1, int y1, int length, int halfWidth, POINT corners[4]) {
    // No length and no width: every corner is the tip, as below, where the floats hold the
    // distances exactly.
    constexpr int64_t kExact = int64_t(1) << 24;
    const int64_t ax = int64_t(x1) - x0, ay = int64_t(y1) - y0;
    if (length == 0 && halfWidth == 0 && ax > -kExact && ax < kExact && ay > -kExact && ay < kExact) {
        corners[0] = corners[1] = corners[2] = corners[3] = {x1, y1};
        return;
    }
    const float dx = float(int64_t(x1) - x0), dy = float(int64_t(y1) - y0);
    int l = truncToInt32(std::sqrt(dx * dx + dy * dy));
    if (l == 0) l = 1;
    const float len = float(l);
    const float k = float(int64_t(l) - length) / len;
    const float bx = k * dx, by = k * dy;
    const float hw = float(halfWidth);
    corners[0] = {x1, y1};
    corners[1] = {offsetBy(x0, truncToInt32(bx - hw * dy / len)), offsetBy(y0, truncToInt32(by + hw * dx / len))};
    corners[2] = {offsetBy(x0, truncToInt32(bx + hw * dy / len)), offsetBy(y0, truncToInt32(by - hw * dx / len))};
    corners[3] = {x1, y1};
}

void drawLinkArrow(const SchematicSocket& socket, HDC dc, int x0, int y0, int x1, int y1,
                   int length, int halfWidth) {
    POINT corners[4];
    linkArrowCorners(x0, y0, x1, y1, length, halfWidth, corners);
    drawArrowPolygon(socket, dc, corners);
}
