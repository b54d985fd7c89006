// socket_properties.cpp - attributes of the active socket that need more than one field copy.
#include "script/properties.h"

#include "host/scene/scene_values.h"

Value* readSocketName(PropertyTarget& c) {
    SchematicSocket* socket = activeSocket(c);
    return textValue(socket ? socket->socketName : std::string());
}

Value* writeActiveSocketFlipped(PropertyTarget& c, Value* value) {
    return bool_result(setSocketFlipped(c.graph, toFlag(value)) >= 0);
}

Value* readActiveSocketValue(PropertyTarget& c) {
    SchematicSocket* socket = activeSocket(c);
    return Float::intern(socket ? socket->value : -1.0f);
}

Value* writeActiveSocketValue(PropertyTarget& c, Value* value) {
    const float v = value->to_float();
    SchematicSocket* socket = activeSocket(c);
    if (!socket) return Float::intern(-1.0f);
    socket->value = v;
    return Float::intern(v);
}

Value* readSceneController(PropertyTarget& c) {
    SchematicSocket* socket = activeSocket(c);
    if (!socket) return &false_value;
    return socket->sceneController ? MAXControl::intern(socket->sceneController) : &undefined;
}

Value* writeSceneController(PropertyTarget& c, Value* value) {
    Control* controller = value->to_controller();
    SchematicSocket* socket = activeSocket(c);
    if (!socket) return &false_value;
    c.sceneWatch.watch(controller);
    socket->sceneController = controller;
    return &ok;
}
