// shader_request.cpp - the call texts sent to the companion shader library.
#include "script/shader_request.h"

const char* const kAddShaderNodeRequest = "kelvori.addShaderNode kelvori.lastShaderNodeIndex; return_ ok";

std::string processInputRequest(const std::string& output, const std::string& socket,
                                const std::string& parameters) {
    std::string text = "kelvori.processInput \"";
    text += output;
    text += "\" ";
    text += socket;
    text += " socketIndex:";
    text += parameters;
    text += " alwaysProcess:#(";
    text += socket;
    text += ") functionParameters:#(";
    text += parameters;
    text += ")";
    return text;
}
