// selection.cpp - selection queries and interactive deletion.
#include "graph/selection.h"

#include "graph/link_ops.h"
#include "graph/node_ops.h"
#include "graph/records.h"

namespace {

void raise(GraphContext& ctx, GraphEvent event, const int32_t* args = nullptr, int count = 0) {
    if (ctx.seam) ctx.seam->raiseEvent(event, args, count);
}

void redrawAll(GraphContext& ctx) {
    if (ctx.seam) ctx.seam->redraw(nullptr);
}

// Removes the selected link; false when the selection no longer names a link.
bool deleteSelectedConnection(GraphContext& ctx) {
    SchematicSocket* output = ctx.selectedConnection;
    const int32_t at = output->selectedLink;
    if (at < 0 || size_t(at) >= output->links.size()) {
        output->selectedLink = -1;
        ctx.selectedConnection = nullptr;
        return false;
    }
    SchematicSocket* input = output->links[size_t(at)];
    disconnectSockets(ctx, *output, *input);
    output->selectedLink = -1;
    ctx.selectedConnection = nullptr;
    // Arguments and bookkeeping first: the handler may delete either node.
    const int32_t args[6] = {nodeIndexOf(ctx, output->ownerNode) + 1,
                             nodeIndexOf(ctx, input->ownerNode) + 1,
                             input->index + 1,
                             output->index + 1,
                             0,
                             int32_t(input->links.size())};
    raise(ctx, GraphEvent::connectionChanged, args, 6);
    redrawAll(ctx);
    return true;
}

} // namespace

bool selectOnly(GraphContext& ctx, int32_t index) {
    if (!ctx.nodeTable) return false;
    auto& table = *ctx.nodeTable;
    if (index >= 0 && size_t(index) >= table.size()) return false;
    for (size_t i = 0; i < table.size(); ++i) table[i]->selected = int32_t(i) == index;
    return true;
}

int32_t lastSelectedIndex(const GraphContext& ctx) {
    if (!ctx.nodeTable) return -1;
    for (size_t i = ctx.nodeTable->size(); i-- > 0;)
        if ((*ctx.nodeTable)[i]->selected) return int32_t(i);
    return -1;
}

int32_t selectionCount(const GraphContext& ctx) {
    if (!ctx.nodeTable) return 0;
    int32_t count = 0;
    for (const SchematicNode* node : *ctx.nodeTable) count += node->selected ? 1 : 0;
    return count;
}

void deleteSelection(GraphContext& ctx) {
    if (!ctx.viewState || !ctx.viewState->allowUIDelete) return;
    if (ctx.selectedConnection && deleteSelectedConnection(ctx)) return;

    raise(ctx, GraphEvent::preNodesDeleted);
    // The handler above may have changed the table; read it only now.
    ctx.deletedNodeIndices.clear();
    if (ctx.nodeTable) {
        for (size_t i = ctx.nodeTable->size(); i-- > 0;) {
            if (!(*ctx.nodeTable)[i]->selected) continue;
            deleteNode(ctx, int32_t(i));
            ctx.deletedNodeIndices.push_back(int32_t(i));
        }
    }
    ctx.viewState->activeNode = -1;
    ctx.viewState->activeSocket = -1;
    redrawAll(ctx);
    if (!ctx.deletedNodeIndices.empty()) raise(ctx, GraphEvent::nodesDeleted);
}
