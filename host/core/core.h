// core.h - the host core: time, interface colours, keyboard accelerators.
#pragma once
#include "host/core/value.h"

typedef int TimeValue;  // ticks, 4800 a second
#define TIME_TICKSPERSEC 4800
#define TIME_NegInfinity TimeValue(0x80000000)
#define TIME_PosInfinity TimeValue(0x7fffffff)

class HOSTSDK_API Interface {
public:
    virtual ~Interface() = default;
    virtual TimeValue GetTime();
    virtual void SetTime(TimeValue t);

private:
    TimeValue now = 0;
};
HOSTSDK_API Interface* GetCOREInterface();

enum { kBackground = 0 };

class HOSTSDK_API IColorManager {
public:
    virtual ~IColorManager() = default;
    // Colour 0 is the interface background; unknown ids are black.
    virtual COLORREF GetColor(int id);
    // The user picked another interface colour; false for ids the host does not keep.
    virtual bool SetColor(int id, COLORREF color);

private:
    COLORREF background = 0x00C5C5C5;  // (197,197,197)
};
HOSTSDK_API IColorManager* GetColorManager();

// Host keyboard shortcuts; a control with focus switches them off.
HOSTSDK_API void DisableAccelerators();
HOSTSDK_API void EnableAccelerators();
HOSTSDK_API bool AcceleratorsEnabled();
