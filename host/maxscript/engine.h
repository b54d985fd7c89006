// engine.h - running script text and files, the listener, and how errors are printed.
#pragma once
#include <cstdio>
#include <string>

#include "host/core/value.h"

// Defines the globals and built-ins once; every entry point calls it.
HOSTSDK_API void engine_init();
// Runs a whole file; false (after printing why) when it did not run to its end.
HOSTSDK_API bool run_script_file(const char* path);
// Runs text; *result (when given) is the last expression's value, rooted until the next run.
HOSTSDK_API bool run_script_text(const std::string& text, const std::string& file, Value** result, bool quiet);
// Reads expressions from in, printing each result as the listener does, until end of input.
HOSTSDK_API void run_listener(std::FILE* in);

// The listener's last result (what ? reads).
HOSTSDK_API Value* listener_last_result();

// Prints an uncaught runtime error with where it happened and the call stack.
void report_runtime_error(const std::string& message);
// The engine's own built-ins (the ones that need the evaluator).
void define_engine_builtins();
