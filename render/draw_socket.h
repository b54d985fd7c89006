// draw_socket.h - one socket: its box, its label with the value, its separator line.
#pragma once
#include <windows.h>

#include <string>

#include "graph/graph_context.h"
#include "graph/records.h"

// The label as drawn: the name, and for an output showing its value " (value)".
std::string socketLabel(const SchematicSocket& socket);

// Draws the socket unless it is hidden, its node is collapsed or the view is zoomed out.
void drawSocket(const GraphContext& graph, SchematicSocket& socket, HDC dc);
