// shader_bridge.cpp - generateHLSL and dragDropShaderNode: requests run through the
// host's script runner for the companion shader library.
#include <string>

#include "host/errors.h"
#include "host/script_runner.h"
#include "script/properties.h"
#include "script/shader_request.h"

namespace {

// Runs text with quiet errors; the string it leaves, or "" for anything else.
std::string runForText(const std::string& text) {
    FPValue result;
    result.Init();
    std::string answer;
    try {
        if (ExecuteMAXScriptScript(text.c_str(), TRUE, &result) && result.type == TYPE_STRING && result.s)
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
Value* writeGenerateHLSL(SchematicControl&, Value* value) {
    auto* elements = value->tag == &Array_class ? static_cast<Array*>(value) : nullptr;
    if (!elements || elements->size() < 3) throw TypeError("generateHLSL", value, &Array_class);
    // All three converted before anything runs, so a bad element runs nothing.
    const std::string output = elements->data[0]->to_string();
    const std::string socket = elements->data[1]->to_string();
    const std::string parameters = elements->data[2]->to_string();
    return new String(runForText(processInputRequest(output, socket, parameters)).c_str());
}

Value* readDragDropShaderNode(SchematicControl&) {
    runForText(kAddShaderNodeRequest);
    return &true_value;
}
