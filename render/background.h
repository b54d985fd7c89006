// background.h - the first layer of every paint: flat colour, stretched or tiled bitmap.
#pragma once
#include <windows.h>

#include <cstdint>

class SchematicControl;

// Where a tile row or column starts in the bitmap so tiles follow the pan:
// (-trunc(pan)) mod size, in 0..size-1. size must be positive.
int32_t tilePhase(float pan, int32_t size);

// Covers the whole buffer: the control's background bitmap (tiled or stretched), or
// its background colour when it has no usable bitmap (none, or one that measures 0).
void drawBackground(const SchematicControl& control, HDC buffer);
