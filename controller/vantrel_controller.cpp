// vantrel_controller.cpp - the container's lifetime, its file data, and the value routines it ignores.
#include "controller/vantrel_controller.h"

#include "controller/container_chunks.h"
#include "graph/graph.h"
#include "host/scene_values.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// The container has no window and no script: what reaches its seam is a node's
// device bitmap being freed with the node.
class ContainerSeam : public GraphSeam {
public:
    void redraw(const RectI*) override {}
    void raiseEvent(GraphEvent, const int32_t*, int) override {}
    void releaseBitmap(void* bitmapHandle) override {
#if defined(_WIN32)
        if (bitmapHandle) DeleteObject(static_cast<HGDIOBJ>(bitmapHandle));
#else
        (void)bitmapHandle;  // device bitmaps exist only on Windows
#endif
    }
};

}  // namespace

vantrelController::vantrelController() : containerView(std::make_unique<SchematicViewState>()) {}

vantrelController::~vantrelController() {
    // A bound control lets go of our table now, while every node still exists.
    DeleteAllRefsToMe();
    for (ReferenceTarget* target : watched) target->RemoveDependent(this);
    watched.clear();
    ContainerSeam seam;
    GraphContext ctx;
    ctx.nodeTable = &nodeTable;
    ctx.viewState = containerView.get();
    ctx.seam = &seam;
    clearGraph(ctx);  // last node first
}

void vantrelController::watchSceneReferences() {
    auto watch = [&](ReferenceTarget* target) {
        if (target && watched.insert(target).second) target->AddDependent(this);
    };
    for (SchematicNode* node : nodeTable) {
        watch(node->sceneNode);
        for (auto* list : {&node->inputs, &node->outputs})
            for (SchematicSocket* socket : *list) watch(socket->sceneController);
    }
}

void vantrelController::NotifyRefChanged(ReferenceTarget* target, PartID, RefMessage message) {
    if (message != REFMSG_TARGET_DELETED || watched.erase(target) == 0) return;
    for (SchematicNode* node : nodeTable) {
        if (node->sceneNode && static_cast<ReferenceTarget*>(node->sceneNode) == target)
            node->sceneNode = nullptr;
        for (auto* list : {&node->inputs, &node->outputs})
            for (SchematicSocket* socket : *list)
                if (socket->sceneController && static_cast<ReferenceTarget*>(socket->sceneController) == target)
                    socket->sceneController = nullptr;
    }
}

void vantrelController::GetClassName(std::string& s) { s = "Vantrel Controller"; }

SClass_ID vantrelController::SuperClassID() { return CTRL_FLOAT_CLASS_ID; }

Class_ID vantrelController::ClassID() {
    return Class_ID(kVantrelControllerClassA, kVantrelControllerClassB);
}

void vantrelController::DeleteThis() { delete this; }

IOResult vantrelController::Save(ISave* isave) {
    // The bound control's view is the live one; the file gets it as of now.
    if (owner && ownerView) {
        containerView->zoom = ownerView->zoom;
        containerView->pan = ownerView->pan;
    }
    if (owner && ownerBackgroundPath) backgroundPath = *ownerBackgroundPath;
    return saveContainerChunks(*isave, nodeTable, *containerView, backgroundPath);
}

IOResult vantrelController::Load(ILoad* iload) {
    SchematicViewState* nodeView = owner && ownerView ? ownerView : containerView.get();
    // The scene references are filled in only once the whole scene is read.
    iload->RegisterPostLoadCallback(&afterLoad);
    return loadContainerChunks(*iload, nodeTable, *containerView, backgroundPath, storedNodeCount, nodeView);
}

ReferenceTarget* vantrelController::Clone() { return new vantrelController; }

void vantrelController::GetValueLocalTime(TimeValue, void*, Interval&, GetSetMethod) {}

void vantrelController::SetValueLocalTime(TimeValue, void*, int, GetSetMethod) {}

void* vantrelController::CreateTempValue() { return new float(0.0f); }

void vantrelController::DeleteTempValue(void* val) { delete static_cast<float*>(val); }

void vantrelController::ApplyValue(void* val, void* delta) {
    *static_cast<float*>(val) += *static_cast<float*>(delta);
}

void vantrelController::MultiplyValue(void* val, float m) { *static_cast<float*>(val) *= m; }
