// scene_ties.h - the scene objects a graph points at, watched so none is used after deletion.
#pragma once
#include <vector>

#include "graph/graph_context.h"
#include "host/reference.h"

// The control depends on every scene node and controller that a node or socket
// is tied to, so the host tells it when one is deleted.
class SceneTies {
public:
    explicit SceneTies(ReferenceMaker* owner) : owner(owner) {}
    ~SceneTies();
    SceneTies(const SceneTies&) = delete;
    SceneTies& operator=(const SceneTies&) = delete;

    // Starts listening to target (once, however often it is tied).
    void tie(ReferenceTarget* target);
    // target is being deleted; true when it was tied.
    bool forget(ReferenceTarget* target);

private:
    ReferenceMaker* owner;
    std::vector<ReferenceTarget*> targets;
};

// Clears every sceneNode and sceneController of the table that points at target.
void clearSceneReferences(SchematicGraph& table, const ReferenceTarget* target);
// Ties every scene node and controller the table points at.
void tieSceneReferences(SceneTies& ties, const SchematicGraph& table);
