// link_properties.cpp - the links of the active socket and the selected connection.
#include "script/properties.h"

namespace {

// Each link of the active socket through pick, in link order; empty without a socket.
template <class Pick>
Value* linkNumbers(PropertyTarget& c, Pick pick) {
    auto* numbers = new Array(0);
    if (SchematicSocket* socket = activeSocket(c))
        for (SchematicSocket* peer : socket->links) {
            const int32_t index = pick(peer);
            if (index >= 0) numbers->append(numberValue(index));
        }
    return numbers;
}

SchematicSocket* numbered(const std::vector<SchematicSocket*>& list, int32_t index) {
    for (SchematicSocket* s : list)
        if (s->index == index) return s;
    return nullptr;
}

}  // namespace

Value* readConnectingNodeIndices(PropertyTarget& c) {
    // A peer whose node is not in the table has no number and is left out.
    return linkNumbers(c, [&](SchematicSocket* peer) { return nodeIndexOf(c.graph, peer->ownerNode); });
}

Value* readConnectingSocketIndices(PropertyTarget& c) {
    return linkNumbers(c, [](SchematicSocket* peer) { return peer->index; });
}

Value* readSelectedConnectionIndex(PropertyTarget& c) {
    SchematicSocket* socket = activeSocket(c);
    return numberValue(socket ? socket->selectedLink : -1);
}

Value* readSelectedConnectionNodeAndSocket(PropertyTarget& c) {
    SchematicSocket* output = c.graph.selectedConnection;
    if (!output) return &false_value;
    return new Point2Value(float(nodeIndexOf(c.graph, output->ownerNode) + 1),
                           float(output->index + 1));
}

Value* writeToggleConnection(PropertyTarget& c, Value* value) {
    const Vec2 target = toVec2(value);
    const int32_t t = indexPart(value, target.x);
    const int32_t k = indexPart(value, target.y);
    SchematicNode* node = activeNode(c);
    if (!node) return &false_value;
    const int32_t active = c.viewState->activeSocket;
    if (t < 0 || t >= nodeCount(c) || active < 0 || active >= socketCount(*node)) return &false_value;
    SchematicNode* targetNode = nodeTable(c)[size_t(t)];
    if (k < 0 || k >= socketCount(*targetNode)) return &false_value;

    // Only an output may feed an input: either socket of the other kind refuses.
    SchematicSocket* input = numbered(targetNode->inputs, k);
    SchematicSocket* output = numbered(node->outputs, active);
    if (!input || !output) return &false_value;
    toggleLink(c.graph, *output, *input);
    nodeChanged(c.graph, t);  // the active node is told by the table
    return &true_value;
}

Value* writeSetConnectionWeight(PropertyTarget& c, Value* value) {
    const Vec2 linkAndWeight = toVec2(value);
    const int32_t link = indexPart(value, linkAndWeight.x);
    SchematicSocket* socket = activeSocket(c);
    if (!socket) return &false_value;
    if (link < 0 || size_t(link) >= socket->linkWeights.size()) return &false_value;
    socket->linkWeights[size_t(link)] = truncToInt32(linkAndWeight.y);
    return &true_value;
}

Value* writeGetConnectionWeight(PropertyTarget& c, Value* value) {
    const int k = toIndex(value);
    SchematicSocket* socket = activeSocket(c);
    if (!socket || k < 1 || size_t(k) > socket->linkWeights.size()) return &false_value;
    return intValue(socket->linkWeights[size_t(k) - 1]);
}
