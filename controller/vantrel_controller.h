// vantrel_controller.h - the storage container: a float controller that carries a graph in the scene.
//   The extension includes this header to bind controls to a container without linking
//   this plug-in: all it may use here are fields, inline functions and virtuals.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "controller/container_chunks.h"
#include "controller/scene_watch.h"
#include "graph/node_ops.h"
#include "graph/records.h"
#include "host/scene/reference.h"

class PropertyTarget;  // the bound control, as its property side sees it

inline constexpr ULONG kVantrelControllerClassA = 0x4E9A62EA;
inline constexpr ULONG kVantrelControllerClassB = 0x5A1E0244;

class vantrelController : public StdControl, public SceneWatch::Listener {
public:
    PropertyTarget* owner = nullptr;                    // bound control; not owned
    int32_t storedNodeCount = 0;                        // node count of the last file read; informative
    SchematicGraph nodeTable;                           // the graph; its nodes are ours
    std::unique_ptr<SchematicViewState> containerView;  // zoom and pan between file and owner
    std::string backgroundPath;                         // the owner's, as of the last save or load
    // Where the owner keeps its view and background path; set and cleared with owner.
    SchematicViewState* ownerView = nullptr;
    std::string* ownerBackgroundPath = nullptr;

    vantrelController();
    ~vantrelController() override;

    // The table and view as the graph operations take them: the nodes are ours.
    GraphContext graphContext(GraphSeam* seam = nullptr) {
        GraphContext ctx;
        ctx.nodeTable = &nodeTable;
        ctx.viewState = containerView.get();
        ctx.seam = seam;
        return ctx;
    }

    // Depends on every scene node and controller the table points at, so that a deleted
    // one is cleared from the table whether or not a control is bound. Run after a load
    // and whenever a control lets go of the table.
    virtual void watchSceneReferences();
    // A watched scene object is being deleted: no node or socket keeps pointing at it.
    void sceneObjectDeleted(ReferenceTarget* target) override;
    // Gives the nodes and sockets of the last load the scene objects their file named,
    // each only when it is of the kind its field holds.
    virtual void adoptLoadedSceneReferences();

    void GetClassName(MSTR& s, bool localized = true) const override;
    SClass_ID SuperClassID() override;
    Class_ID ClassID() override;
    void DeleteThis() override;
    IOResult Save(ISave* isave) override;
    IOResult Load(ILoad* iload) override;
    RefTargetHandle Clone(RemapDir& remap) override;
    // A container replaced by another keeps its own graph: nothing to take over.
    void Copy(Control* from) override;

    // No keys and no value of its own: evaluating leaves the caller's value alone.
    void GetValueLocalTime(TimeValue t, void* val, Interval& valid, GetSetMethod method) override;
    void SetValueLocalTime(TimeValue t, void* val, int commit, GetSetMethod method) override;
    void* CreateTempValue() override;
    void DeleteTempValue(void* val) override;
    void ApplyValue(void* val, void* delta) override;
    void MultiplyValue(void* val, float m) override;
    void Extrapolate(Interval range, TimeValue t, void* val, Interval& valid, int type) override;

protected:
    RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                               RefMessage message, BOOL propagate) override;

private:
    class AfterLoad : public PostLoadCallback {
    public:
        explicit AfterLoad(vantrelController& container) : container(container) {}
        void proc(ILoad*) override {
            container.adoptLoadedSceneReferences();
            // Into an empty table, what the file named is all there is to watch, and the
            // adoption watched it; otherwise the older nodes are walked too.
            if (!container.loadedIntoEmptyTable) container.watchSceneReferences();
        }

    private:
        vantrelController& container;
    };
    SceneWatch watched{*this};           // scene objects the table points at
    std::deque<SceneRefPatch> loadedRefs;  // filled in by the host once the scene is read
    bool loadedIntoEmptyTable = false;     // the last load began with no nodes
    AfterLoad afterLoad{*this};
};

// A container is recognised by class identity alone, never by C++ type information.
inline bool isVantrelController(Control* control) {
    return control && control->SuperClassID() == CTRL_FLOAT_CLASS_ID &&
           control->ClassID() == Class_ID(kVantrelControllerClassA, kVantrelControllerClassB);
}

// The container side of binding, kept here so both plug-ins agree on it.
inline void setContainerOwner(vantrelController& container, PropertyTarget* owner,
                              SchematicViewState* view, std::string* backgroundPath) {
    container.owner = owner;
    container.ownerView = view;
    container.ownerBackgroundPath = backgroundPath;
    attachViewState(container.nodeTable, view);
}

// Without an owner the nodes read the container's own view, which lives as long as they do,
// and the container watches the scene objects the control tied while it was bound.
inline void clearContainerOwner(vantrelController& container) {
    container.owner = nullptr;
    container.ownerView = nullptr;
    container.ownerBackgroundPath = nullptr;
    attachViewState(container.nodeTable, container.containerView.get());
    container.watchSceneReferences();
}
