// addressing.cpp - which node and socket the single-item properties address.
#include "script/properties.h"

// Script numbers are 1-based and 0 means none. Negative numbers address nothing
// and are refused like numbers past the end, so no index outside a table is stored.

Value* readActiveNode(PropertyTarget& c) { return numberValue(c.viewState->activeNode); }

Value* writeActiveNode(PropertyTarget& c, Value* value) {
    const int n = toIndex(value);
    if (n < 0 || n > nodeCount(c)) return &false_value;
    c.viewState->activeNode = n - 1;
    return &true_value;
}

Value* readActiveSocket(PropertyTarget& c) { return numberValue(c.viewState->activeSocket); }

Value* writeActiveSocket(PropertyTarget& c, Value* value) {
    const int n = toIndex(value);
    SchematicNode* node = activeNode(c);
    if (!node || n < 0 || n > socketCount(*node)) return &false_value;
    c.viewState->activeSocket = n - 1;
    return &true_value;
}

Value* readSelectedNodeIndex(PropertyTarget& c) { return numberValue(lastSelectedIndex(c.graph)); }

Value* writeSelectedNodeIndex(PropertyTarget& c, Value* value) {
    const int n = toIndex(value);
    if (n < 0) return &false_value;
    // Only the selection hints need the news: the others were deselected.
    nodeChanged(c.graph, n - 1);
    return bool_result(selectOnly(c.graph, n - 1));
}
