// about_box.cpp - the F12 product credit in a plain message box.
#include "interaction/win32/about_box.h"

void showAboutBox() { MessageBoxA(nullptr, kAboutCredit, kAboutCaption, MB_OK); }
