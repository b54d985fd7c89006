// background.h - the first layer of every paint: flat colour, stretched or tiled bitmap.
#pragma once
#include <windows.h>

#include <cstdint>

#include "render/paint_target.h"

// Where a tile row or column starts in the bitmap so tiles follow the pan:
// (-trunc(pan)) mod size, in 0..size-1. size must be positive.
int32_t tilePhase(float pan, int32_t size);

// Covers the whole buffer: the background bitmap (tiled or stretched as the view
// asks), or the background colour when there is no usable bitmap (none, or one that
// measures 0).
void drawBackground(const Background& background, const SchematicViewState& view, HDC buffer);
