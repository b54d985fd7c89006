// start_host.h - the host's one start-up call: every program that uses the host makes it first.
#pragma once
#include "host/core/hostsdk_api.h"

// Registers every subsystem in a fixed order (see start_host.cpp); later calls do nothing.
HOSTSDK_API void start_host();
