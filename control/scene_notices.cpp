// scene_notices.cpp - what the control does when a scene object it depends on is deleted.
#include "script/container_binding.h"
#include "control/schematic_control.h"
#include "controller/vantrel_controller.h"

void SchematicControl::sceneObjectDeleted(ReferenceTarget* target) {
    // The bound container is going away; its nodes still exist while we hear this.
    if (storageContainer && target == static_cast<ReferenceTarget*>(storageContainer)) {
        releaseContainer(*this);
        seam.redraw(nullptr);
        return;
    }
    if (graph.nodeTable) clearSceneReferences(*graph.nodeTable, target);
}
