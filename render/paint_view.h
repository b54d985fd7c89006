// paint_view.h - painting the whole view through the back buffer.
#pragma once
#include <windows.h>

class SchematicControl;

// Draws the view into the back buffer and copies it to dc in one BitBlt.
void paintView(SchematicControl& control, HDC dc);
