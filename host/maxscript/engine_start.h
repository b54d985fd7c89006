// engine_start.h - what the script engine registers when the host starts: its collector roots.
#pragma once

namespace interp {
void root_machine();  // the value stack and the call frames
}
void root_script_definitions();  // macros and change handlers
void root_parsed_chunks();       // the constants of every parsed tree still held
