// shader_request.h - the call texts sent to the companion shader library.
#pragma once
#include "script/host_text.h"

// kelvori.processInput "<output>" <socket> socketIndex:<parameters>
//     alwaysProcess:#(<socket>) functionParameters:#(<parameters>)
// Each text goes in unchanged; only the first is framed by double quotes.
HostText processInputRequest(const HostText& output, const HostText& socket, const HostText& parameters);

// Asks the library to add the shader node it last offered.
extern const MCHAR* const kAddShaderNodeRequest;
