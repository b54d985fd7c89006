// node_ops.cpp - the only place nodes are made and freed.
#include "graph/node_ops.h"

#include <algorithm>

#include "graph/hierarchy.h"
#include "graph/socket_ops.h"

namespace {

void releaseBitmap(GraphContext& ctx, void* handle) {
    if (handle && ctx.seam) ctx.seam->releaseBitmap(handle);
}

void destroySockets(GraphContext& ctx, std::vector<SchematicSocket*>& list) {
    while (!list.empty()) {
        SchematicSocket* last = list.back();
        list.pop_back();
        destroySocket(ctx, last);
    }
}

} // namespace

int32_t addNode(GraphContext& ctx) {
    if (!ctx.nodeTable) return 0;
    auto* node = new SchematicNode;
    node->nodeName = "node";
    node->viewStateRef = ctx.viewState;
    ctx.nodeTable->push_back(node);
    return int32_t(ctx.nodeTable->size());
}

void destroyNode(GraphContext& ctx, SchematicNode* node) {
    if (!node) return;
    // A new node may get this address: the press must not take it for this one.
    if (ctx.pressedNode == node) ctx.pressedNode = nullptr;
    destroySockets(ctx, node->inputs);
    destroySockets(ctx, node->outputs);

    // Children become top-level where they are, and visible: a hidden child of a
    // deleted parent would otherwise be lost to the user.
    const std::vector<SchematicNode*> kids = node->children;
    for (size_t i = kids.size(); i-- > 0;) {
        SchematicNode* child = kids[i];
        if (child->parent != node) continue;
        child->hidden = 0;
        setParent(*child, nullptr, true);
    }
    node->children.clear();
    if (node->parent) setParent(*node, nullptr, false);

    releaseBitmap(ctx, node->bitmapHandle);
    delete node;
}

bool deleteNode(GraphContext& ctx, int32_t index) {
    if (!ctx.nodeTable || index < 0 || size_t(index) >= ctx.nodeTable->size()) return false;
    auto& table = *ctx.nodeTable;
    SchematicNode* node = table[size_t(index)];
    table.erase(table.begin() + index);
    destroyNode(ctx, node);
    return true;
}

bool deleteActiveNode(GraphContext& ctx) {
    if (!activeNodePtr(ctx)) return false;
    deleteNode(ctx, ctx.viewState->activeNode);
    ctx.viewState->activeNode = -1;
    ctx.viewState->activeSocket = -1;
    return true;
}

void clearGraph(GraphContext& ctx) {
    if (ctx.tableBorrowed || !ctx.nodeTable) return;
    auto& table = *ctx.nodeTable;
    while (!table.empty()) {
        SchematicNode* last = table.back();
        table.pop_back();
        destroyNode(ctx, last);
    }
}

int32_t nodeIndexOf(const SchematicGraph& table, const SchematicNode* node) {
    if (!node) return -1;
    for (size_t i = table.size(); i-- > 0;)
        if (table[i] == node) return int32_t(i);
    return -1;
}

int32_t nodeIndexOf(const GraphContext& ctx, const SchematicNode* node) {
    return ctx.nodeTable ? nodeIndexOf(*ctx.nodeTable, node) : -1;
}

int32_t nodeIndexOf(const GraphContext& ctx, const SchematicNode* node, int32_t guess) {
    if (!ctx.nodeTable || !node) return -1;
    const SchematicGraph& table = *ctx.nodeTable;
    if (guess >= 0 && size_t(guess) < table.size() && table[size_t(guess)] == node) return guess;
    return nodeIndexOf(table, node);
}

void attachViewState(SchematicGraph& table, SchematicViewState* viewState) {
    for (SchematicNode* node : table) node->viewStateRef = viewState;
}

void setNodeBitmap(GraphContext& ctx, SchematicNode& node, void* bitmapHandle,
                   Value* bitmapValue) {
    if (node.bitmapHandle != bitmapHandle) releaseBitmap(ctx, node.bitmapHandle);
    node.bitmapHandle = bitmapHandle;
    node.bitmapValue = bitmapValue;
}
