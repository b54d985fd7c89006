// container_binding.h - a control working on a storage container's node table instead of its own.
#pragma once

class PropertyTarget;
class vantrelController;

// Makes the container's table the control's: the previous container (or the
// control's own table) is let go, a control that owned this container goes back
// to a table of its own, and zoom, pan and background path come from the container.
void bindContainer(PropertyTarget& control, vantrelController& container);
// Lets go of the bound container, if any; the control starts a new, empty table of its own.
void releaseContainer(PropertyTarget& control);
// The container side only: its owner cleared, the control no longer its dependent,
// and the control left without a table (destruction).
void detachContainer(PropertyTarget& control);
