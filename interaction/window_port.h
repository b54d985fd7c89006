// window_port.h - what the gestures need of the window they run in.
#pragma once
#include <cstdint>
#include <initializer_list>

class Control;

// Script events the gestures raise. Deletion events come from the graph itself.
enum class UiEvent {
    LButtonDown,
    LButtonUp,
    LButtonDblclk,
    MButtonDown,
    MButtonUp,
    rButtonDown,
    rButtonUp,
    mouseScroll,
    mouseMoved,
    keyboardDown,
    keyboardUp,
    nodeClicked,
    connectionStarted,
    connectionSelectionChanged,
    connectionChanged,
    connectToEmpty,
    regionSelected,
    socketValueChanged,
};

// The gestures are plain code over the graph; focus, capture, script events and
// host objects come through this port, so the same code runs in a window and in
// tests without one. Repaints go through the graph's own seam.
class WindowPort {
public:
    virtual ~WindowPort() = default;
    // Runs the script handler synchronously; it may change anything in the graph.
    virtual void raise(UiEvent event, const int32_t* args, int count) = 0;
    virtual void takeFocus() = 0;
    virtual void capturePointer() = 0;
    virtual void releasePointer() = 0;
    virtual void showAboutBox() = 0;
    // Adds step to a float controller's value at the scene's current time and
    // notifies its dependents; false, changing nothing, for any other controller.
    virtual bool nudgeSceneController(Control& controller, float step) = 0;
};

inline void raise(WindowPort& port, UiEvent event, std::initializer_list<int32_t> args = {}) {
    port.raise(event, args.begin(), int(args.size()));
}
