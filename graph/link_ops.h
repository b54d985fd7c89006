// link_ops.h - links between an output and an input socket, with weights.
#pragma once
#include <cstddef>
#include <cstdint>

#include "graph/graph_context.h"
#include "graph/records.h"

inline constexpr int32_t kDefaultLinkWeight = 100;

// Appends the link to both sockets (the weight goes with the output).
// Refuses, changing nothing, unless output is an output and input an input.
bool connectSockets(SchematicSocket& output, SchematicSocket& input,
                    int32_t weight = kDefaultLinkWeight);
// Removes the link between a and b from both ends, duplicates included;
// false when a holds no entry for b.
bool disconnectSockets(GraphContext& ctx, SchematicSocket& a, SchematicSocket& b);
// Removes the link if present, else makes it; true when now connected.
bool toggleLink(GraphContext& ctx, SchematicSocket& output, SchematicSocket& input);

// Drops entry pos of socket.links (and its weight), keeping selectedLink on the
// same link and clearing the selected connection when its link goes.
void removeLinkEntry(GraphContext& ctx, SchematicSocket& socket, size_t pos);
