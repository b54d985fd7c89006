// scene_notices.cpp - what the control does when a scene object it depends on is deleted.
#include "control/container_binding.h"
#include "control/schematic_control.h"
#include "controller/vantrel_controller.h"
#include "control/scene_ties.h"

void SchematicControl::NotifyRefChanged(ReferenceTarget* target, PartID, RefMessage message) {
    if (message != REFMSG_TARGET_DELETED) return;
    // The bound container is going away; its nodes still exist while we hear this.
    if (storageContainer && target == static_cast<ReferenceTarget*>(storageContainer)) {
        releaseContainer(*this);
        seam.redraw(nullptr);
        return;
    }
    if (sceneTies.forget(target) && graph.nodeTable) clearSceneReferences(*graph.nodeTable, target);
}
