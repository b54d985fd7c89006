// property_dispatch.h - the control's properties by name: one table per direction.
#pragma once
#include "script/property_target.h"

// The answer to a read of name, or null when the name is not the control's own (or
// is the window size while closed): the host's rollout control answers it then.
Value* readProperty(PropertyTarget& c, Value* name);
// The answer to a write of value to name, or null to pass it to the host likewise.
Value* writeProperty(PropertyTarget& c, Value* name, Value* value);
// Every name the control reads or writes, then the host's common ones (hostNames, an
// array or anything else), each once.
Value* propertyNames(Value* hostNames);
