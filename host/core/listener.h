// listener.h - the script listener: where the host reports errors it catches.
#pragma once
#include <string>
#include "host/core/value.h"

HOSTSDK_API CharStream* the_listener();
// Everything written to the listener since the last clear (tests read it).
HOSTSDK_API std::string listener_text();
HOSTSDK_API void listener_clear();
// Also copy listener output to stdout (the runner turns it on).
HOSTSDK_API void listener_echo(bool on);
