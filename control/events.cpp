// events.cpp - raiseEvent: the one road from the control to a script handler.
#include "control/schematic_control.h"
#include "script/names.h"

namespace {
Value* eventName(UiEvent event) {
    switch (event) {
        case UiEvent::LButtonDown: return n_LButtonDown;
        case UiEvent::LButtonUp: return n_LButtonUp;
        case UiEvent::LButtonDblclk: return n_LButtonDblclk;
        case UiEvent::MButtonDown: return n_MButtonDown;
        case UiEvent::MButtonUp: return n_MButtonUp;
        case UiEvent::rButtonDown: return n_rButtonDown;
        case UiEvent::rButtonUp: return n_rButtonUp;
        case UiEvent::mouseScroll: return n_mouseScroll;
        case UiEvent::mouseMoved: return n_mouseMoved;
        case UiEvent::keyboardDown: return n_keyboardDown;
        case UiEvent::keyboardUp: return n_keyboardUp;
        case UiEvent::nodeClicked: return n_nodeClicked;
        case UiEvent::connectionStarted: return n_connectionStarted;
        case UiEvent::connectionSelectionChanged: return n_connectionSelectionChanged;
        case UiEvent::connectionChanged: return n_connectionChanged;
        case UiEvent::connectToEmpty: return n_connectToEmpty;
        case UiEvent::regionSelected: return n_regionSelected;
        case UiEvent::socketValueChanged: return n_socketValueChanged;
    }
    return nullptr;
}
}  // namespace

void SchematicControl::raise(UiEvent event, const int32_t* args, int count) {
    if (Value* name = eventName(event)) raiseEvent(name, args, count);
}

void SchematicControl::raiseEvent(Value* event, const int* args, int count) {
    // Called from window messages, outside any script frame: open one so the
    // argument values survive a collection a handler may trigger.
    if (!parent_rollout) return;
    ScopedMaxScriptEvaluationContext scriptContext;
    Value** argValues = nullptr;
    value_local_array(argValues, count > 0 ? count : 1);
    for (int i = 0; i < count; ++i) argValues[i] = Integer::intern(args[i]);
    // What a handler changes goes through the properties, which tell the spatial index.
    run_event_handler(parent_rollout, event, argValues, count);
}
