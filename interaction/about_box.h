// about_box.h - the F12 product credit.
#pragma once
#include <windows.h>

inline constexpr const char* kAboutCaption = "Information";
inline constexpr const char* kAboutCredit = "Vantrel Schematic Control - a node-graph editor for MAXScript";

// Shows the about box, or brings the one already open to the front. The box is
// modeless so the key press that opened it finishes at once (the script's
// keyboardDown handler still runs after the box is up); OK or the close button
// dismisses it, and it goes with the rollout window of the control that opened it.
void showAboutBox(HWND controlWindow);
