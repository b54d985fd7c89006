// paint_target.h - what a paint draws from and into: the graph, its view, the back buffer, the background.
#pragma once
#include <windows.h>

#include "graph/graph_context.h"
#include "graph/records.h"
#include "render/gdi.h"

// The view's first layer: a flat colour, or a bitmap when it has a usable one.
struct Background {
    COLORREF color = 0;        // fill without a background bitmap
    gdi::KeptBrush brush;      // solid brush of color
    gdi::KeptBitmap bitmap;    // device bitmap of the script's backgroundBitmap
};

// The off-screen target of every paint: a memory context with a client-sized bitmap
// selected into it. The context goes first, so the bitmap is never deleted selected.
struct BackBuffer {
    gdi::KeptBitmap bitmap;
    gdi::KeptMemoryDC dc;

    // A buffer of the window's client size (none when width or height is 0 and GDI refuses).
    void rebuild(HWND window, int width, int height);
    void release();
};

// One paint's view of a control: nothing here is owned.
struct PaintTarget {
    GraphContext& graph;
    SchematicViewState& view;
    BackBuffer& buffer;
    const Background& background;
};
