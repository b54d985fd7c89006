// draw_socket.cpp - socket boxes, labels, values and separators.
#include "render/draw_socket.h"

#include <cmath>
#include <cstdio>

#include "graph/geometry.h"
#include "host/core/core.h"
#include "host/scene/reference.h"
#include "render/gdi.h"
#include "render/node_text.h"

namespace {
constexpr double kHideSocketsAtZoom = 0.4;

std::string formatValue(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The value a socket shows: its own, or its float controller's at the current time.
std::string valueText(const SchematicSocket& socket) {
    Control* controller = socket.sceneController;
    if (!controller) return formatValue(socket.value);
    if (controller->SuperClassID() != CTRL_FLOAT_CLASS_ID) return "";
    float v = 0.0f;
    Interval valid = FOREVER;
    controller->GetValue(GetCOREInterface()->GetTime(), &v, valid, CTRL_ABSOLUTE);
    return formatValue(std::floor(v * 1000.0f + 0.5f) / 1000.0f);
}

bool linkedIntoHiddenNode(const SchematicSocket& socket) {
    for (const SchematicSocket* peer : socket.links)
        if (peer && peer->ownerNode && peer->ownerNode->hidden) return true;
    return false;
}
}  // namespace

std::string socketLabel(const SchematicSocket& socket) {
    if (socket.direction != 1 || !socket.showValue) return socket.socketName;
    return socket.socketName + " (" + valueText(socket) + ")";
}

void drawSocket(const GraphContext& graph, SchematicSocket& socket, HDC dc) {
    SchematicNode* owner = socket.ownerNode;
    const SchematicViewState& view = *graph.viewState;
    if (socket.socketIsHidden || !owner || owner->collapsed || double(view.zoom) <= kHideSocketsAtZoom)
        return;

    const float z = view.zoom;
    const Vec2 a = socketScreenPosition(socket);
    const float s = z * socket.radius;

    const bool output = socket.direction == 1;
    const bool useHidden = !output && linkedIntoHiddenNode(socket);
    gdi::ScopedSelect selectBrush(dc, gdi::PaintCache::current().solidBrush(
                                          useHidden ? socket.hiddenLinkColor : socket.socketColor));
    const int l = truncToInt32(a.x), t = truncToInt32(a.y), r = truncToInt32(a.x + s),
              b = truncToInt32(a.y + s);
    gdi::ready(dc);
    if (output)
        Ellipse(dc, l, t, r, b);
    else
        Rectangle(dc, l, t, r, b);

    const float th = float(truncToInt32(z * kSocketLabelHeight));
    const float nodeWidth = nodeSizeClient(*owner).x;
    const bool labelOnRight = socketLabelOnRight(socket);
    const BoundsF box = socketLabelClient(socket, a, s, nodeWidth, z, th, labelOnRight);
    const RectF label{box.left, box.top, box.right, box.bottom};
    drawNodeText(*owner, view, dc, label, socketLabel(socket), labelOnRight ? DT_LEFT : DT_RIGHT,
                 true);

    if (socket.drawSeperator) {
        const float x = nodePositionClient(*owner).x;
        gdi::readyForLines(dc);
        MoveToEx(dc, truncToInt32(x), truncToInt32(label.top), nullptr);
        LineTo(dc, truncToInt32(x + nodeWidth), truncToInt32(label.top));
    }
}
