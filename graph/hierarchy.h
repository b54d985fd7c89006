// hierarchy.h - parents and children, and hiding along links.
#pragma once
#include <cstdint>

#include "graph/graph_context.h"
#include "graph/records.h"

// Moves node under parent (null detaches). With keepPlace the node stays where it
// is on screen. Refuses, changing nothing, when parent is the node itself or one
// of its descendants: a parent cycle would have no top and no screen place.
bool setParent(SchematicNode& node, SchematicNode* parent, bool keepPlace);
// Lists node, which has no parent, under parent without the cycle check: for callers
// that know no cycle can form (the loader tracks its trees itself).
void adoptChild(SchematicNode& node, SchematicNode& parent);
// True when candidate is found on node's parent chain; safe on cyclic chains.
bool isAncestor(const SchematicNode* candidate, const SchematicNode& node);
// Nearest ancestor that is not hidden, or null. At most one step per node in the
// table, so a parent cycle that came from elsewhere (a file) cannot hang it.
SchematicNode* visibleAncestor(const GraphContext& ctx, const SchematicNode& node);
SchematicNode* visibleAncestor(const SchematicNode& node, size_t stepBound);
// Sets hidden = value on every node linked to socket's node, directly or through
// other nodes, without passing through stop.
void hideConnected(SchematicSocket& socket, const SchematicNode* stop, uint8_t value,
                   bool root);
