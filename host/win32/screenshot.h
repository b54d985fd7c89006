// screenshot.h - what a window or device context shows, saved as an RGB PNG file.
#pragma once
#include <windows.h>
#include "host/core/hostsdk_api.h"

// The window's client area: copied from the screen, then painted again through
// WM_PRINTCLIENT so windows that answer it are captured even when covered.
HOSTSDK_API bool saveWindowPng(HWND window, const char* path);
// width x height pixels from the top-left of a device context (a back buffer, say).
HOSTSDK_API bool saveDCPng(HDC source, int width, int height, const char* path);
