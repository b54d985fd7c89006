// shader_request.cpp - the call texts sent to the companion shader library.
#include "script/shader_request.h"

const MCHAR* const kAddShaderNodeRequest = _M("kelvori.addShaderNode kelvori.lastShaderNodeIndex; return_ ok");

HostText processInputRequest(const HostText& output, const HostText& socket, const HostText& parameters) {
    HostText text = _M("kelvori.processInput \"");
    text += output;
    text += _M("\" ");
    text += socket;
    text += _M(" socketIndex:");
    text += parameters;
    text += _M(" alwaysProcess:#(");
    text += socket;
    text += _M(") functionParameters:#(");
    text += parameters;
    text += _M(")");
    return text;
}
