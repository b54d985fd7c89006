// fixture_obsolete.cpp - an extension built for an older plug-in interface; the host must refuse it.
#include "host/core/mchar.h"
#include "host/core/win_types.h"

extern "C" {
__declspec(dllexport) int fixture_obsolete_init_count = 0;
__declspec(dllexport) const MCHAR* LibDescription() { return _M("Vantrel host test extension, old SDK"); }
// Release 10900, interface 24: what a 2009-era SDK reported.
__declspec(dllexport) ULONG LibVersion() { return 0x2A941800; }
__declspec(dllexport) void LibInit() { ++fixture_obsolete_init_count; }
}
