// storage_container.h - the storageContainer property: binding a graph to a scene controller.
#pragma once
#include "host/value.h"

class SchematicControl;

// The bound container as a controller value; undefined while none is bound.
Value* readStorageContainer(SchematicControl& control);
// Binds a float controller (true), refuses any other controller (false), releases
// on undefined (true). A value that is no controller raises the conversion error.
Value* writeStorageContainer(SchematicControl& control, Value* value);
