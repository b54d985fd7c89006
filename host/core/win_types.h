// win_types.h - the Windows integer types of the host's interfaces, also where there is no Windows.
#pragma once
#if defined(_WIN32)
// On Windows every side sees <windows.h> before the host's classes, so names it
// redefines (GetClassName) are spelt the same in the host and in every plug-in.
#include <windows.h>
#else
#include <cstdint>
typedef unsigned short USHORT;
typedef unsigned short WORD;
typedef unsigned char BYTE;
typedef unsigned long ULONG;
typedef uint32_t DWORD;
typedef uint64_t ULONGLONG;
typedef DWORD COLORREF;
typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#endif
