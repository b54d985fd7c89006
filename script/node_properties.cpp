// node_properties.cpp - attributes of the active node that need more than one field copy.
#include "script/properties.h"

#include <algorithm>

#include "host/scene/scene_values.h"

Value* readSceneNode(PropertyTarget& c) {
    SchematicNode* node = activeNode(c);
    if (!node || !node->sceneNode) return &false_value;
    return MAXNode::intern(node->sceneNode);
}

Value* writeSceneNode(PropertyTarget& c, Value* value) {
    INode* sceneNode = value->to_node();
    SchematicNode* node = activeNode(c);
    if (!node) return &false_value;
    c.sceneWatch.watch(sceneNode);
    node->sceneNode = sceneNode;
    return &ok;
}

Value* writeActiveNodePosRelative(PropertyTarget& c, Value* value) {
    const Vec2 p = toVec2(value);
    SchematicNode* node = activeNode(c);
    if (!node) return &false_value;
    const SchematicViewState& view = *c.viewState;
    node->position = {(p.x - view.pan.x) / view.zoom, (p.y - view.pan.y) / view.zoom};
    return &true_value;
}

Value* readNodeSize(PropertyTarget& c) {
    SchematicNode* node = activeNode(c);
    return node ? pointValue(Vec2I{node->width, node->height}) : &false_value;
}

Value* writeNodeSize(PropertyTarget& c, Value* value) {
    const Vec2 size = toVec2(value);
    setNodeSize(c.graph, size.x, size.y);
    return &ok;
}

Value* readTextAlign(PropertyTarget& c) {
    SchematicNode* node = activeNode(c);
    return node ? numberValue(node->textAlign) : &false_value;
}

Value* writeTextAlign(PropertyTarget& c, Value* value) {
    const int align = value->to_int();
    SchematicNode* node = activeNode(c);
    if (!node || align < 1 || align > 3) return &false_value;
    node->textAlign = align - 1;
    return &true_value;
}

Value* readParentNode(PropertyTarget& c) {
    SchematicNode* node = activeNode(c);
    return node ? numberValue(nodeIndexOf(c.graph, node->parent)) : &undefined;
}

Value* writeParentNode(PropertyTarget& c, Value* value) {
    const int n = toIndex(value);
    SchematicNode* node = activeNode(c);
    if (!node || n < 0 || n > nodeCount(c)) return &false_value;
    SchematicNode* parent = n == 0 ? nullptr : nodeTable(c)[size_t(n) - 1];
    // setParent refuses the node itself and its descendants: no parent cycles.
    return bool_result(setParent(*node, parent, true));
}

Value* readViewAlign(PropertyTarget& c) {
    SchematicNode* node = activeNode(c);
    return node ? intValue(node->viewAlign) : &undefined;
}

Value* writeViewAlign(PropertyTarget& c, Value* value) {
    const int align = value->to_int();
    SchematicNode* node = activeNode(c);
    if (!node) return &false_value;
    node->viewAlign = align;
    return &ok;
}

Value* readDrawLayer(PropertyTarget& c) {
    SchematicNode* node = activeNode(c);
    return node ? numberValue(node->drawLayer) : &undefined;
}

Value* writeDrawLayer(PropertyTarget& c, Value* value) {
    const int layer = std::clamp(value->to_int(), 1, 3);
    SchematicNode* node = activeNode(c);
    if (!node) return &false_value;
    node->drawLayer = layer - 1;
    return &ok;
}
