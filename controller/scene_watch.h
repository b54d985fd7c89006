// scene_watch.h - a reference holder that hears when a scene object it refers to is deleted.
//   Both plug-ins use it (the extension without linking this one), so it lives here whole.
#pragma once
#include <unordered_map>
#include <vector>

#include "graph/records.h"
#include "host/scene/scene_values.h"

// Watches any number of scene objects without keeping them alive. The owner
// hears of each watched object's deletion once, while the object still exists.
class SceneWatch : public ReferenceMaker {
public:
    class Listener {
    public:
        virtual void sceneObjectDeleted(ReferenceTarget* target) = 0;

    protected:
        ~Listener() = default;
    };

    explicit SceneWatch(Listener& listener) : listener(listener) {}
    ~SceneWatch() override { DeleteAllRefsFromMe(); }
    SceneWatch(const SceneWatch&) = delete;
    SceneWatch& operator=(const SceneWatch&) = delete;

    // Starts watching target (once, however often it is asked).
    void watch(ReferenceTarget* target) {
        if (!target || watches(target)) return;
        int slot = static_cast<int>(slots.size());
        if (!freeSlots.empty()) {
            slot = freeSlots.back();
            freeSlots.pop_back();
        } else {
            slots.push_back(nullptr);
        }
        ReplaceReference(slot, target, FALSE);
    }
    void unwatch(ReferenceTarget* target) {
        auto at = slotOf.find(target);
        if (at != slotOf.end()) ReplaceReference(at->second, nullptr, FALSE);
    }
    bool watches(ReferenceTarget* target) const { return slotOf.count(target) != 0; }

    int NumRefs() override { return static_cast<int>(slots.size()); }
    RefTargetHandle GetReference(int i) override {
        return i >= 0 && i < NumRefs() ? slots[static_cast<size_t>(i)] : nullptr;
    }
    // Scene objects belong to the scene: watching never keeps one.
    BOOL IsRealDependency(ReferenceTarget*) override { return FALSE; }

protected:
    void SetReference(int i, RefTargetHandle target) override {
        if (i < 0 || i >= NumRefs()) return;
        ReferenceTarget*& slot = slots[static_cast<size_t>(i)];
        if (slot) {
            slotOf.erase(slot);
            freeSlots.push_back(i);
        }
        slot = target;
        if (target) slotOf[target] = i;
    }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle target, PartID&, RefMessage message,
                               BOOL) override {
        if (message == REFMSG_TARGET_DELETED && watches(target)) listener.sceneObjectDeleted(target);
        return REF_SUCCEED;
    }

private:
    Listener& listener;
    std::vector<ReferenceTarget*> slots;  // the reference table; null slots are free
    std::vector<int> freeSlots;
    std::unordered_map<ReferenceTarget*, int> slotOf;
};

// Clears every sceneNode and sceneController of the table that points at target.
inline void clearSceneReferences(SchematicGraph& table, const ReferenceTarget* target) {
    for (SchematicNode* node : table) {
        if (node->sceneNode && static_cast<ReferenceTarget*>(node->sceneNode) == target) node->sceneNode = nullptr;
        for (auto* list : {&node->inputs, &node->outputs})
            for (SchematicSocket* socket : *list)
                if (socket->sceneController && static_cast<ReferenceTarget*>(socket->sceneController) == target)
                    socket->sceneController = nullptr;
    }
}

// Watches every scene node and controller the table points at.
inline void watchSceneReferences(SceneWatch& watch, const SchematicGraph& table) {
    for (SchematicNode* node : table) {
        watch.watch(node->sceneNode);
        for (auto* list : {&node->inputs, &node->outputs})
            for (SchematicSocket* socket : *list) watch.watch(socket->sceneController);
    }
}
