// queries.cpp - counts, and the queries that take their argument through an assignment.
#include "script/properties.h"

#include "interaction/hit_test.h"

Value* readGetNodeCount(PropertyTarget& c) { return intValue(nodeCount(c)); }

Value* readGetSelectionCount(PropertyTarget& c) { return intValue(selectionCount(c.graph)); }

Value* readGetSocketCount(PropertyTarget& c) { return intValue(socketCount(c.graph)); }

Value* readGetActiveSocketType(PropertyTarget& c) {
    SchematicSocket* socket = activeSocket(c);
    return intValue(socket ? socket->direction : -1);
}

Value* readGetChildCount(PropertyTarget& c) {
    SchematicNode* node = activeNode(c);
    return node ? intValue(int32_t(node->children.size())) : &undefined;
}

Value* readGetDeletedNodeCount(PropertyTarget& c) {
    return intValue(int32_t(c.graph.deletedNodeIndices.size()));
}

Value* writeFindNodeByPos(PropertyTarget& c, Value* value) {
    const Vec2 p = toVec2(value);
    return numberValue(findNodeByPos(c.graph, p.x, p.y));
}

Value* writeChildIndex(PropertyTarget& c, Value* value) {
    const int k = toIndex(value);
    SchematicNode* node = activeNode(c);
    if (!node) return &undefined;
    if (k < 1 || size_t(k) > node->children.size()) return &false_value;
    return numberValue(nodeIndexOf(c.graph, node->children[size_t(k) - 1]));
}

Value* writeGetDeletedNodeIndex(PropertyTarget& c, Value* value) {
    const int k = toIndex(value);
    const auto& deleted = c.graph.deletedNodeIndices;
    if (k < 1 || size_t(k) > deleted.size()) return &false_value;
    return numberValue(deleted[size_t(k) - 1]);
}
