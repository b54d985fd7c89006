// geometry.h - where nodes and sockets sit, in graph units and client pixels.
#pragma once
#include <cstdint>

#include "graph/records.h"

// Float to int32 toward zero, saturating; NaN gives 0.
int32_t truncToInt32(float value);

// Outputs that are not flipped and flipped inputs sit on the right edge.
bool isRightSide(const SchematicSocket& socket);

// Width and height; times zoom when screen is set. Hidden nodes measure (-1, -1).
Vec2 nodeSize(const SchematicNode& node, bool screen);
// Top-left corner; client pixels when screen is set.
Vec2 nodePosition(const SchematicNode& node, bool screen);
// Client-pixel rectangle, every edge truncated.
RectI nodeScreenRect(const SchematicNode& node);
// Top-left of the socket box in client pixels.
Vec2 socketScreenPosition(const SchematicSocket& socket);
