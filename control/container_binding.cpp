// container_binding.cpp - binding, release, takeover by another control, and the container's deletion.
#include "control/container_binding.h"

#include "control/schematic_control.h"
#include "controller/vantrel_controller.h"
#include "graph/graph.h"

void detachContainer(SchematicControl& control) {
    vantrelController* container = control.storageContainer;
    if (!container) return;
    // Only a bound control marks the script bitmaps the nodes were made from, and they
    // are never read again after conversion: no node may keep one nothing marks.
    for (SchematicNode* node : container->nodeTable) node->bitmapValue = nullptr;
    if (container->owner == &control) clearContainerOwner(*container);
    control.sceneWatch.unwatch(container);
    control.storageContainer = nullptr;
    // The gesture and selection pointers point at the container's sockets.
    control.graph.dragSocket = nullptr;
    control.graph.selectedConnection = nullptr;
    control.graph.pressedNode = nullptr;
    control.graph.nodeTable = nullptr;
    control.graph.tableBorrowed = false;
}

void releaseContainer(SchematicControl& control) {
    if (!control.storageContainer) return;
    detachContainer(control);
    control.ownTable = std::make_unique<SchematicGraph>();
    control.graph.nodeTable = control.ownTable.get();
}

void bindContainer(SchematicControl& control, vantrelController& container) {
    if (control.storageContainer == &container && container.owner == &control) return;

    if (control.storageContainer) {
        detachContainer(control);  // the old container keeps its nodes
    } else {
        clearGraph(control.graph);
        control.ownTable.reset();
        control.graph.nodeTable = nullptr;
        control.graph.dragSocket = nullptr;
        control.graph.selectedConnection = nullptr;
        control.graph.pressedNode = nullptr;
    }

    // Two controls never share one table: node geometry reads one control's view,
    // and the table must not outlive the view its nodes point at.
    if (container.owner && container.owner != &control) {
        SchematicControl* previous = container.owner;
        releaseContainer(*previous);
        previous->seam.redraw(nullptr);
    }

    setContainerOwner(container, &control, control.viewState.get(), &control.backgroundPath);
    control.sceneWatch.watch(&container);
    control.storageContainer = &container;
    control.viewState->zoom = container.containerView->zoom;
    control.viewState->pan = container.containerView->pan;
    control.backgroundPath = container.backgroundPath;
    control.graph.nodeTable = &container.nodeTable;
    control.graph.tableBorrowed = true;
    // Loaded nodes may point at scene objects; hear of their deletion as for our own.
    watchSceneReferences(control.sceneWatch, container.nodeTable);
}
