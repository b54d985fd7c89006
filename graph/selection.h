// selection.h - the selected nodes and the Delete-key operation.
#pragma once
#include <cstdint>

#include "graph/graph_context.h"

// Selects the node at index alone; a negative index clears the selection.
// False, selection untouched, when index is not below the node count.
bool selectOnly(GraphContext& ctx, int32_t index);
// Highest selected index, -1 when none.
int32_t lastSelectedIndex(const GraphContext& ctx);
int32_t selectionCount(const GraphContext& ctx);
// Deletes the selected connection if there is one, else every selected node.
void deleteSelection(GraphContext& ctx);
