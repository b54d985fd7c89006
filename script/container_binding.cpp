// container_binding.cpp - binding, release, takeover by another control, and the container's deletion.
#include "script/container_binding.h"

#include "controller/vantrel_controller.h"
#include "graph/graph.h"
#include "script/property_target.h"

void detachContainer(PropertyTarget& control) {
    vantrelController* container = control.storageContainer;
    if (!container) return;
    // Only a bound control marks the script bitmaps the nodes were made from, and they
    // are never read again after conversion: no node may keep one nothing marks.
    for (SchematicNode* node : container->nodeTable) node->bitmapValue = nullptr;
    if (container->owner == &control) clearContainerOwner(*container);
    control.sceneWatch.unwatch(container);
    control.storageContainer = nullptr;
    // The gesture and selection pointers point at the container's sockets.
    control.dropTable();
}

void releaseContainer(PropertyTarget& control) {
    if (!control.storageContainer) return;
    detachContainer(control);
    control.useOwnTable();
}

void bindContainer(PropertyTarget& control, vantrelController& container) {
    if (control.storageContainer == &container && container.owner == &control) return;

    if (control.storageContainer)
        detachContainer(control);  // the old container keeps its nodes
    else
        control.dropTable();

    // Two controls never share one table: node geometry reads one control's view,
    // and the table must not outlive the view its nodes point at.
    if (container.owner && container.owner != &control) {
        PropertyTarget* previous = container.owner;
        releaseContainer(*previous);
        if (previous->graph.seam) previous->graph.seam->redraw(nullptr);
    }

    setContainerOwner(container, &control, control.viewState.get(), &control.backgroundPath);
    control.sceneWatch.watch(&container);
    control.storageContainer = &container;
    control.viewState->zoom = container.containerView->zoom;
    control.viewState->pan = container.containerView->pan;
    control.backgroundPath = container.backgroundPath;
    control.useLentTable(container.nodeTable);
    // Loaded nodes may point at scene objects; hear of their deletion as for our own.
    watchSceneReferences(control.sceneWatch, container.nodeTable);
}
