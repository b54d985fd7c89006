// keyboard.cpp - F12 shows the about box, Delete deletes; every key reaches script.
#include "graph/selection.h"
#include "interaction/gesture_support.h"
#include "interaction/handlers.h"

int onKeyDown(GraphContext&, WindowPort& port, uint32_t virtualKey) {
    if (virtualKey == kKeyF12) port.showAboutBox();
    raise(port, UiEvent::keyboardDown, {int32_t(virtualKey)});
    return 1;
}

int onKeyUp(GraphContext& ctx, WindowPort& port, uint32_t virtualKey) {
    if (virtualKey == kKeyDelete) {
        // The deletion reads the selected connection: make sure it is still ours.
        liveSelectedConnection(ctx);
        deleteSelection(ctx);
    }
    raise(port, UiEvent::keyboardUp, {int32_t(virtualKey)});
    return 1;
}
