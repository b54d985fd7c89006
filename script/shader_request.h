// shader_request.h - the call texts sent to the companion shader library.
#pragma once
#include <string>

// kelvori.processInput "<output>" <socket> socketIndex:<parameters>
//     alwaysProcess:#(<socket>) functionParameters:#(<parameters>)
// Each text goes in unchanged; only the first is framed by double quotes.
std::string processInputRequest(const std::string& output, const std::string& socket,
                                const std::string& parameters);

// Asks the library to add the shader node it last offered.
extern const char* const kAddShaderNodeRequest;
