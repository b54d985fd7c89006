// vantrel_controller.cpp - the container's lifetime, its file data, and the value routines it ignores.
#include "controller/vantrel_controller.h"

#include "controller/container_chunks.h"
#include "graph/graph.h"
#include "host/scene/scene_values.h"

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
    ContainerSeam seam;
    GraphContext ctx = graphContext(&seam);
    clearGraph(ctx);  // last node first
}

void vantrelController::watchSceneReferences() { ::watchSceneReferences(watched, nodeTable); }

void vantrelController::sceneObjectDeleted(ReferenceTarget* target) { clearSceneReferences(nodeTable, target); }

void vantrelController::adoptLoadedSceneReferences() {
    // The host fills in whatever object the file names; one of another kind than the
    // field holds (a controller where a node belongs, say) is dropped, not kept.
    for (const SceneRefPatch& patch : loadedRefs) {
        ReferenceTarget* object = patch.object;
        if (patch.node) {
            patch.node->sceneNode =
                object && object->SuperClassID() == BASENODE_CLASS_ID ? static_cast<INode*>(object) : nullptr;
            watched.watch(patch.node->sceneNode);
        }
        if (patch.socket) {
            patch.socket->sceneController = object ? static_cast<Control*>(object->GetInterface(I_CONTROL)) : nullptr;
            watched.watch(patch.socket->sceneController);
        }
    }
    loadedRefs.clear();
}

RefResult vantrelController::NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) {
    return REF_DONTCARE;  // scene objects are heard through the watch
}

void vantrelController::GetClassName(MSTR& s, bool) const { s = _M("Vantrel Controller"); }

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
    loadedRefs.clear();
    loadedIntoEmptyTable = nodeTable.empty();
    return loadContainerChunks(*iload, nodeTable, *containerView, backgroundPath, storedNodeCount, nodeView,
                               loadedRefs);
}

RefTargetHandle vantrelController::Clone(RemapDir&) { return new vantrelController; }

void vantrelController::Copy(Control*) {}

void vantrelController::Extrapolate(Interval, TimeValue, void*, Interval&, int) {}

void vantrelController::GetValueLocalTime(TimeValue, void*, Interval&, GetSetMethod) {}

void vantrelController::SetValueLocalTime(TimeValue, void*, int, GetSetMethod) {}

void* vantrelController::CreateTempValue() { return new float(0.0f); }

void vantrelController::DeleteTempValue(void* val) { delete static_cast<float*>(val); }

void vantrelController::ApplyValue(void* val, void* delta) {
    *static_cast<float*>(val) += *static_cast<float*>(delta);
}

void vantrelController::MultiplyValue(void* val, float m) { *static_cast<float*>(val) *= m; }
