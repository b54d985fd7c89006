// paint_view.h - painting the whole view through the back buffer.
#pragma once
#include <windows.h>

class SchematicControl;

// Redraws the whole view into the back buffer, in layers (background, info text,
// shadows, links and nodes in the order nodeTransparency asks for, the gesture
// overlay) and copies it to dc in one BitBlt. Without a node table nothing is drawn.
// Never throws: it runs inside the window procedure.
void paintView(SchematicControl& control, HDC dc);
