// window_client.h - what a schematic window's procedure needs of the control behind it.
#pragma once
#include <windows.h>

#include <cstdint>

#include "graph/graph_context.h"
#include "interaction/window_port.h"

// The window keeps a pointer to its client in its user data, handed over at
// creation. Everything a message leads to goes through these calls.
class WindowClient {
public:
    // The window the client shows itself in; none once it let go of it.
    virtual HWND clientWindow() const = 0;
    // The window is being destroyed and its handle may be reused from here on.
    virtual void windowDestroyed() = 0;
    // The graph the gestures work on.
    virtual GraphContext& clientGraph() = 0;
    // Paints the update region (null: all) into dc through the back buffer; never throws.
    virtual void paint(HDC dc, const RECT* update) = 0;
    // The client area changed size.
    virtual void resized() = 0;
    // Runs the script handler of a gesture's event.
    virtual void raise(UiEvent event, const int32_t* args, int count) = 0;

protected:
    ~WindowClient() = default;
};
