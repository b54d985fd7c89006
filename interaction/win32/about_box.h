// about_box.h - the F12 product credit.
#pragma once
#include <windows.h>

inline constexpr const char* kAboutCaption = "Information";
inline constexpr const char* kAboutCredit = "Vantrel Schematic Control - a node-graph editor for MAXScript";

// Shows the credit in a modal message box with no owner and returns once it is
// dismissed, so the key press that asked for it reaches script only afterwards.
void showAboutBox();
