// node_ops.h - node creation, destruction and lookup in the control's table.
#pragma once
#include <cstdint>

#include "graph/graph_context.h"
#include "graph/records.h"

// Appends a node named "node" that reads the control's view; returns the node count.
int32_t addNode(GraphContext& ctx);
// Destroys the node at index and closes the gap; false when index is out of range.
bool deleteNode(GraphContext& ctx, int32_t index);
// deleteNode on the active node, then no node or socket is active.
bool deleteActiveNode(GraphContext& ctx);
// Destroys every node of the control's own table; a borrowed table is left alone.
void clearGraph(GraphContext& ctx);
// Frees a node that is no longer (or never was) in a table: sockets and their
// links, children released in place and shown, parent's entry, bitmap.
void destroyNode(GraphContext& ctx, SchematicNode* node);

// Last table position holding node; -1 for null or absent.
int32_t nodeIndexOf(const SchematicGraph& table, const SchematicNode* node);
int32_t nodeIndexOf(const GraphContext& ctx, const SchematicNode* node);
// The same, trying guess first: where a scan or the index last saw the node.
int32_t nodeIndexOf(const GraphContext& ctx, const SchematicNode* node, int32_t guess);

// Points every node of the table at a control's view (a bound container's table).
void attachViewState(SchematicGraph& table, SchematicViewState* viewState);
// Replaces the node's device bitmap, releasing the one it held.
void setNodeBitmap(GraphContext& ctx, SchematicNode& node, void* bitmapHandle,
                   Value* bitmapValue);
