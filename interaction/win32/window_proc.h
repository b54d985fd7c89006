// window_proc.h - the control window's message trampoline.
#pragma once
#include <windows.h>

LRESULT CALLBACK schematicWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
