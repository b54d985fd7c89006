// commands.cpp - the commands a script runs by reading a name.
#include "script/properties.h"

namespace {

Value* addActiveSocket(SchematicControl& c, int32_t direction, const char* name) {
    SchematicNode* node = activeNode(c);
    if (!node) return &false_value;
    addSocket(c.graph, *node, direction, name, true);
    return intValue(socketCount(*node));
}

}  // namespace

Value* readAddNode(SchematicControl& c) { return intValue(addNode(c.graph)); }

Value* readAddInSocket(SchematicControl& c) { return addActiveSocket(c, 0, "Input"); }

Value* readAddOutSocket(SchematicControl& c) { return addActiveSocket(c, 1, "Output"); }

Value* readDeleteActiveSocket(SchematicControl& c) {
    SchematicNode* node = activeNode(c);
    if (!node || !activeSocket(c)) return &false_value;
    if (!removeSocket(c.graph, *node, c.viewState->activeSocket, true)) return &false_value;
    // The highest remaining number, or none when the node has no socket left.
    c.viewState->activeSocket = socketCount(*node) - 1;
    return &true_value;
}

Value* readDeleteActiveNode(SchematicControl& c) { return bool_result(deleteActiveNode(c.graph)); }

Value* readRedrawView(SchematicControl& c) {
    if (c.graph.seam) c.graph.seam->redraw(nullptr);
    return &ok;
}

Value* readRedrawNode(SchematicControl& c) {
    SchematicNode* node = activeNode(c);
    if (node && c.graph.seam) {
        const RectI rect = nodeScreenRect(*node);
        c.graph.seam->redraw(&rect);
    }
    return &ok;
}
