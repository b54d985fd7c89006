// fixture_incomplete.cpp - an extension missing LibVersion and LibInit; the host must skip it.
extern "C" __declspec(dllexport) const char* LibDescription() { return "incomplete"; }
