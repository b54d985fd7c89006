// events.cpp - raiseEvent: the one road from the control to a script handler.
#include "control/schematic_control.h"

void SchematicControl::raiseEvent(Value* event, const int* args, int count) {
    // Called from window messages, outside any script frame: open one so the
    // argument values survive a collection a handler may trigger.
    if (!parent_rollout) return;
    // Only a handler that runs may change the graph: presses keep the spatial index.
    const bool handled = get_event_handler(event) != nullptr;
    ScopedMaxScriptEvaluationContext scriptContext;
    Value** argValues = nullptr;
    value_local_array(argValues, count > 0 ? count : 1);
    for (int i = 0; i < count; ++i) argValues[i] = Integer::intern(args[i]);
    run_event_handler(parent_rollout, event, argValues, count);
    if (handled) ++graph.generation;
}
