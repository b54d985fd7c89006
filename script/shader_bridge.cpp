// shader_bridge.cpp - generateHLSL and dragDropShaderNode: requests run through the
// host's script runner for the companion shader library.
#include <string>

#include "host/core/errors.h"
#include "host/core/script_runner.h"
#include "script/properties.h"
#include "script/shader_request.h"

namespace {

// Runs text with quiet errors; the string it leaves, or "" for anything else.
HostText runForText(const HostText& text) {
    FPValue result;
    result.Init();
    HostText answer;
    try {
        if (ExecuteMAXScriptScript(text.c_str(), MAXScript::ScriptSource::Dynamic, TRUE, &result) &&
            result.type == TYPE_STRING && result.s)
            answer = result.s;
    } catch (MAXScriptException&) {
        // Quiet errors: a failing library answers nothing, as a failed run does.
    }
    result.Free();
    return answer;
}

}  // namespace

// The library may read and write this control's properties, or delete its nodes,
// while the request runs: nothing of the control is held across the run.
Value* writeGenerateHLSL(PropertyTarget&, Value* value) {
    auto* elements = is_array(value) ? static_cast<Array*>(value) : nullptr;
    if (!elements || elements->size < 3) throw TypeError(_M("generateHLSL"), value, class_tag(Array));
    // All three converted before anything runs, so a bad element runs nothing.
    const HostText output = elements->data[0]->to_string();
    const HostText socket = elements->data[1]->to_string();
    const HostText parameters = elements->data[2]->to_string();
    return new String(runForText(processInputRequest(output, socket, parameters)).c_str());
}

Value* readDragDropShaderNode(PropertyTarget&) {
    runForText(kAddShaderNodeRequest);
    return &true_value;
}
