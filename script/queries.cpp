// queries.cpp - counts, and the queries that take their argument through an assignment.
#include "script/properties.h"

#include "interaction/hit_test.h"

Value* readGetNodeCount(SchematicControl& c) { return intValue(nodeCount(c)); }

Value* readGetSelectionCount(SchematicControl& c) { return intValue(selectionCount(c.graph)); }

Value* readGetSocketCount(SchematicControl& c) { return intValue(socketCount(c.graph)); }

Value* readGetActiveSocketType(SchematicControl& c) {
    SchematicSocket* socket = activeSocket(c);
    return intValue(socket ? socket->direction : -1);
}

Value* readGetChildCount(SchematicControl& c) {
    SchematicNode* node = activeNode(c);
    return node ? intValue(int32_t(node->children.size())) : &undefined;
}

Value* readGetDeletedNodeCount(SchematicControl& c) {
    return intValue(int32_t(c.graph.deletedNodeIndices.size()));
}

Value* writeFindNodeByPos(SchematicControl& c, Value* value) {
    const Vec2 p = toVec2(value);
    return numberValue(findNodeByPos(c.graph, p.x, p.y));
}

Value* writeChildIndex(SchematicControl& c, Value* value) {
    const int k = toIndex(value);
    SchematicNode* node = activeNode(c);
    if (!node) return &undefined;
    if (k < 1 || size_t(k) > node->children.size()) return &false_value;
    return numberValue(nodeIndexOf(c.graph, node->children[size_t(k) - 1]));
}

Value* writeGetDeletedNodeIndex(SchematicControl& c, Value* value) {
    const int k = toIndex(value);
    const auto& deleted = c.graph.deletedNodeIndices;
    if (k < 1 || size_t(k) > deleted.size()) return &false_value;
    return numberValue(deleted[size_t(k) - 1]);
}
