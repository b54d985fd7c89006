// commands.cpp - the commands a script runs by reading a name.
#include "script/properties.h"

namespace {

Value* addActiveSocket(PropertyTarget& c, int32_t direction, const char* name) {
    SchematicNode* node = activeNode(c);
    if (!node) return &false_value;
    addSocket(c.graph, *node, direction, name, true);
    return intValue(socketCount(*node));
}

}  // namespace

Value* readAddNode(PropertyTarget& c) { return intValue(addNode(c.graph)); }

Value* readAddInSocket(PropertyTarget& c) { return addActiveSocket(c, 0, "Input"); }

Value* readAddOutSocket(PropertyTarget& c) { return addActiveSocket(c, 1, "Output"); }

Value* readDeleteActiveSocket(PropertyTarget& c) {
    SchematicNode* node = activeNode(c);
    if (!node || !activeSocket(c)) return &false_value;
    if (!removeSocket(c.graph, *node, c.viewState->activeSocket, true)) return &false_value;
    // The highest remaining number, or none when the node has no socket left.
    c.viewState->activeSocket = socketCount(*node) - 1;
    return &true_value;
}

Value* readDeleteActiveNode(PropertyTarget& c) { return bool_result(deleteActiveNode(c.graph)); }

Value* readRedrawView(PropertyTarget& c) {
    if (c.graph.seam) c.graph.seam->redraw(nullptr);
    return &ok;
}

Value* readRedrawNode(PropertyTarget& c) {
    SchematicNode* node = activeNode(c);
    if (node && c.graph.seam) {
        const RectI rect = nodeScreenRect(*node);
        c.graph.seam->redraw(&rect);
    }
    return &ok;
}
