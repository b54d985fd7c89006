// paint_view.h - painting the whole view through the back buffer.
#pragma once
#include <windows.h>

#include "render/paint_target.h"

// Redraws the update region (null: the whole view) of the back buffer, in layers
// (background, info text, shadows, links and nodes in the order nodeTransparency
// asks for, the gesture overlay), clipped to it and skipping what lies wholly
// outside it, and copies that region to dc in one BitBlt. Pixels outside it keep
// what the last paint left. Without a node table nothing is drawn.
// Never throws: it runs inside the window procedure.
void paintView(PaintTarget& target, HDC dc, const RECT* update = nullptr);
// For the tests: the same paint without the spatial index (every node and link
// visited), into the back buffer only; the culled paint's twin for comparison.
void paintStraightforward(PaintTarget& target);
