// scene_ties.cpp - dropping a graph's pointers to scene objects the host deletes.
#include "control/scene_ties.h"

#include <algorithm>

#include "graph/records.h"
#include "host/scene_values.h"

SceneTies::~SceneTies() {
    for (ReferenceTarget* target : targets) target->RemoveDependent(owner);
}

void SceneTies::tie(ReferenceTarget* target) {
    if (!target || std::find(targets.begin(), targets.end(), target) != targets.end()) return;
    target->AddDependent(owner);
    targets.push_back(target);
}

bool SceneTies::forget(ReferenceTarget* target) {
    auto at = std::find(targets.begin(), targets.end(), target);
    if (at == targets.end()) return false;
    targets.erase(at);
    return true;
}

void clearSceneReferences(SchematicGraph& table, const ReferenceTarget* target) {
    for (SchematicNode* node : table) {
        if (node->sceneNode && static_cast<ReferenceTarget*>(node->sceneNode) == target)
            node->sceneNode = nullptr;
        for (auto* list : {&node->inputs, &node->outputs})
            for (SchematicSocket* socket : *list)
                if (socket->sceneController &&
                    static_cast<ReferenceTarget*>(socket->sceneController) == target)
                    socket->sceneController = nullptr;
    }
}

void tieSceneReferences(SceneTies& ties, const SchematicGraph& table) {
    for (SchematicNode* node : table) {
        if (node->sceneNode) ties.tie(node->sceneNode);
        for (auto* list : {&node->inputs, &node->outputs})
            for (SchematicSocket* socket : *list)
                if (socket->sceneController) ties.tie(socket->sceneController);
    }
}
