// socket_ops.cpp - socket lifecycle and the per-node socket numbering.
#include "graph/socket_ops.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "graph/geometry.h"
#include "graph/link_ops.h"

namespace {

constexpr int32_t kRowHeight = 16;
constexpr float kFirstRowY = 24.0f;

void redrawRect(GraphContext& ctx, const RectI& rect) {
    if (ctx.seam) ctx.seam->redraw(&rect);
}

} // namespace

void placeSocketAtSide(SchematicSocket& socket) {
    const float width = socket.ownerNode ? float(socket.ownerNode->width) : 0.0f;
    socket.socketPosition.x = isRightSide(socket) ? width - 2.0f * socket.radius
                                                  : socket.radius * 0.5f;
}

SchematicSocket* addSocket(GraphContext& ctx, SchematicNode& node, int32_t direction,
                           const std::string& name, bool redraw) {
    auto made = std::make_unique<SchematicSocket>();
    SchematicSocket* socket = made.get();
    // Stored directions come from files too; only 0 and 1 may reach the record.
    socket->direction = direction == 1 ? 1 : 0;
    socket->ownerNode = &node;
    socket->socketName = name;
    socket->socketColor = socket->direction == 1 ? rgb(30, 255, 30) : rgb(255, 30, 30);
    // The node owns it once listed; until then a failed allocation frees it here.
    (socket->direction == 1 ? node.outputs : node.inputs).push_back(socket);
    made.release();
    socket->index = socketCount(node) - 1;
    socket->socketPosition.y = float(kRowHeight * socket->index) + kFirstRowY;
    placeSocketAtSide(*socket);
    node.height += kRowHeight;
    if (redraw) redrawRect(ctx, nodeScreenRect(node));
    return socket;
}

void forgetSocket(GraphContext& ctx, const SchematicSocket* socket) {
    if (ctx.dragSocket == socket) ctx.dragSocket = nullptr;
    if (ctx.selectedConnection == socket) ctx.selectedConnection = nullptr;
}

void destroySocket(GraphContext& ctx, SchematicSocket* socket) {
    if (!socket) return;
    forgetSocket(ctx, socket);
    for (SchematicSocket* peer : socket->links) {
        if (!peer || peer == socket) continue;
        for (size_t i = peer->links.size(); i-- > 0;)
            if (peer->links[i] == socket) removeLinkEntry(ctx, *peer, i);
    }
    delete socket;
}

bool removeSocket(GraphContext& ctx, SchematicNode& node, int32_t index, bool redraw) {
    const int32_t countBefore = socketCount(node);
    if (index < 0 || index >= countBefore) return false;
    // Loaded files may carry gaps in the numbering: no socket, nothing to remove.
    auto owning = &node.inputs;
    auto at = std::find_if(owning->begin(), owning->end(),
                           [&](const SchematicSocket* s) { return s->index == index; });
    if (at == owning->end()) {
        owning = &node.outputs;
        at = std::find_if(owning->begin(), owning->end(),
                          [&](const SchematicSocket* s) { return s->index == index; });
        if (at == owning->end()) return false;
    }
    SchematicSocket* victim = *at;
    owning->erase(at);
    destroySocket(ctx, victim);
    for (auto* s : node.inputs)
        if (s->index > index) --s->index;
    for (auto* s : node.outputs)
        if (s->index > index) --s->index;

    // Only the last row can go; other sockets keep their rows, leaving a gap.
    if (countBefore == index + 1) node.height -= kRowHeight;
    if (redraw) {
        // The row that went lies below the node as it is now, a row high on screen.
        const float zoom = node.viewStateRef ? node.viewStateRef->zoom : 1.0f;
        RectI rect = nodeScreenRect(node);
        rect.bottom += int32_t(std::ceil(float(kRowHeight) * zoom));
        redrawRect(ctx, rect);
    }
    return true;
}

SchematicSocket* findSocket(const SchematicNode& node, int32_t index) {
    for (auto* s : node.inputs)
        if (s->index == index) return s;
    for (auto* s : node.outputs)
        if (s->index == index) return s;
    return nullptr;
}

int32_t ownerIndexOfSocket(const SchematicGraph& table, const SchematicSocket* socket) {
    if (!socket) return -1;
    for (size_t i = 0; i < table.size(); ++i) {
        const SchematicNode* node = table[i];
        if (std::find(node->inputs.begin(), node->inputs.end(), socket) != node->inputs.end() ||
            std::find(node->outputs.begin(), node->outputs.end(), socket) != node->outputs.end())
            return int32_t(i);
    }
    return -1;
}

int32_t ownerIndexOfSocket(const GraphContext& ctx, const SchematicSocket* socket) {
    return ctx.nodeTable ? ownerIndexOfSocket(*ctx.nodeTable, socket) : -1;
}

int32_t ownerIndexOfSocket(const GraphContext& ctx, const SchematicSocket* socket, int32_t guess) {
    if (!ctx.nodeTable || !socket) return -1;
    const SchematicGraph& table = *ctx.nodeTable;
    // Only the node at guess is read: the socket may have been freed.
    if (guess >= 0 && size_t(guess) < table.size()) {
        const SchematicNode* node = table[size_t(guess)];
        if (std::find(node->inputs.begin(), node->inputs.end(), socket) != node->inputs.end() ||
            std::find(node->outputs.begin(), node->outputs.end(), socket) != node->outputs.end())
            return guess;
    }
    return ownerIndexOfSocket(table, socket);
}

int32_t socketCount(const SchematicNode& node) {
    return int32_t(node.inputs.size() + node.outputs.size());
}

int32_t setSocketFlipped(SchematicSocket& socket, uint8_t flipped) {
    socket.flipped = flipped ? 1 : 0;
    placeSocketAtSide(socket);
    return socket.flipped;
}

void setNodeSize(SchematicNode& node, float width, float height) {
    node.width = truncToInt32(width);
    node.height = truncToInt32(height);
    for (auto* s : node.inputs)
        if (isRightSide(*s)) placeSocketAtSide(*s);
    for (auto* s : node.outputs)
        if (isRightSide(*s)) placeSocketAtSide(*s);
}

SchematicNode* activeNodePtr(const GraphContext& ctx) {
    if (!ctx.nodeTable || !ctx.viewState) return nullptr;
    const int32_t active = ctx.viewState->activeNode;
    if (active < 0 || size_t(active) >= ctx.nodeTable->size()) return nullptr;
    return (*ctx.nodeTable)[size_t(active)];
}

SchematicSocket* activeSocketPtr(const GraphContext& ctx) {
    SchematicNode* node = activeNodePtr(ctx);
    if (!node) return nullptr;
    const int32_t active = ctx.viewState->activeSocket;
    if (active < 0 || active >= socketCount(*node)) return nullptr;
    return findSocket(*node, active);
}

int32_t socketCount(const GraphContext& ctx) {
    const SchematicNode* node = activeNodePtr(ctx);
    return node ? socketCount(*node) : 0;
}

int32_t setSocketFlipped(GraphContext& ctx, uint8_t flipped) {
    SchematicSocket* socket = activeSocketPtr(ctx);
    return socket ? setSocketFlipped(*socket, flipped) : -1;
}

bool setNodeSize(GraphContext& ctx, float width, float height) {
    SchematicNode* node = activeNodePtr(ctx);
    if (!node) return false;
    setNodeSize(*node, width, height);
    return true;
}
