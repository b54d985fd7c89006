// socket_ops.h - socket creation, numbering, removal and placement.
#pragma once
#include <cstdint>
#include <string>

#include "graph/graph_context.h"
#include "graph/records.h"

// Appends a socket (direction 1 output, anything else input), numbers it after
// every existing socket of the node, places it and grows the node by one row.
SchematicSocket* addSocket(GraphContext& ctx, SchematicNode& node, int32_t direction,
                           const std::string& name, bool redraw);
// Destroys the socket numbered index and closes the numbering gap; an index
// that no socket of the node carries changes nothing. True when removed.
bool removeSocket(GraphContext& ctx, SchematicNode& node, int32_t index, bool redraw);
// Unlinks the socket from every peer, drops control references to it, frees it.
void destroySocket(GraphContext& ctx, SchematicSocket* socket);
// Clears the control's drag socket and selected connection when they are socket.
void forgetSocket(GraphContext& ctx, const SchematicSocket* socket);

// First socket of inputs, then of outputs, numbered index; null when none.
SchematicSocket* findSocket(const SchematicNode& node, int32_t index);
// Table position of the node whose inputs or outputs hold the socket; -1 when none.
int32_t ownerIndexOfSocket(const SchematicGraph& table, const SchematicSocket* socket);
int32_t ownerIndexOfSocket(const GraphContext& ctx, const SchematicSocket* socket);
// The same, trying guess first: a gesture asks again and again about one socket.
int32_t ownerIndexOfSocket(const GraphContext& ctx, const SchematicSocket* socket, int32_t guess);
int32_t socketCount(const SchematicNode& node);

// Sets x from the socket's side: left edge, or right edge of the expanded node.
void placeSocketAtSide(SchematicSocket& socket);
// Moves the socket to the other side when the flag changes it; returns flipped.
int32_t setSocketFlipped(SchematicSocket& socket, uint8_t flipped);
// Stores the size (truncated) and moves right-side sockets to the new right edge.
void setNodeSize(SchematicNode& node, float width, float height);

// Script-addressed forms: null, false or -1 without a valid active node/socket.
SchematicNode* activeNodePtr(const GraphContext& ctx);
SchematicSocket* activeSocketPtr(const GraphContext& ctx);
int32_t socketCount(const GraphContext& ctx);
int32_t setSocketFlipped(GraphContext& ctx, uint8_t flipped);
bool setNodeSize(GraphContext& ctx, float width, float height);
