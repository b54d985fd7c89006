// storage_container.h - the storageContainer property: binding a control to a vantrelController.
#pragma once

class PropertyTarget;
class Value;

// The bound container as a controller value, or undefined.
Value* readStorageContainer(PropertyTarget& control);
// A vantrelController binds, undefined releases: true. A controller that is not
// a float controller: false, nothing changes. Other values raise a conversion error.
Value* writeStorageContainer(PropertyTarget& control, Value* value);
