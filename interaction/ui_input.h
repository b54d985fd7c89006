// ui_input.h - pointer, wheel and key input as the window procedure decodes it.
#pragma once
#include <cstdint>

// Modifier keys as they stood when the message was decoded.
struct KeyState {
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
};

// One mouse message in client pixels; the handlers never look at raw parameters.
struct PointerInput {
    int32_t x = 0, y = 0;         // client pixels
    KeyState keys;
    int32_t wheelDelta = 0;       // signed wheel rotation; wheel messages only
};

// Virtual-key codes with a built-in action.
inline constexpr uint32_t kKeyDelete = 0x2E;
inline constexpr uint32_t kKeyF12 = 0x7B;
