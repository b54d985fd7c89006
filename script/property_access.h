// property_access.h - what every property reader and writer shares.
#pragma once
#include <cstdint>
#include <string>

#include "control/schematic_control.h"
#include "graph/graph.h"
#include "host/value.h"

// A reader answers a read of one name, a writer a write. Either may answer null
// to pass the name on to RolloutControl (width and height while closed).
using PropertyReader = Value* (*)(SchematicControl& control);
using PropertyWriter = Value* (*)(SchematicControl& control, Value* value);

// The fixed answers the property tables give.
enum class Answer { yes, ok, no, undefined };  // true, ok, false, undefined

inline Value* answer(Answer a) {
    switch (a) {
        case Answer::yes: return &true_value;
        case Answer::ok: return &ok;
        case Answer::no: return &false_value;
        case Answer::undefined: break;
    }
    return &undefined;
}

inline SchematicNode* activeNode(SchematicControl& c) { return activeNodePtr(c.graph); }
inline SchematicSocket* activeSocket(SchematicControl& c) { return activeSocketPtr(c.graph); }
inline SchematicGraph& nodeTable(SchematicControl& c) { return *c.graph.nodeTable; }
inline int32_t nodeCount(SchematicControl& c) {
    return c.graph.nodeTable ? int32_t(c.graph.nodeTable->size()) : 0;
}

// Values of the script side.
inline Value* flagValue(uint8_t flag) { return bool_result(flag == 1); }
inline uint8_t toFlag(Value* v) { return v->to_bool() ? 1 : 0; }
inline Value* intValue(int32_t n) { return Integer::intern(n); }
// An inside index as the script numbers it: -1 (none) becomes 0.
inline Value* numberValue(int32_t index) { return Integer::intern(index + 1); }
inline Value* textValue(const std::string& s) { return new String(s.c_str()); }
inline Value* pointValue(Vec2 v) { return new Point2Value(v.x, v.y); }
inline Value* pointValue(Vec2I v) { return new Point2Value(float(v.x), float(v.y)); }
inline Value* colourValue(uint32_t c) { return new ColorValue(COLORREF_T(c)); }
inline Vec2 toVec2(Value* v) {
    const Point2 p = v->to_point2();
    return {p.x, p.y};
}

// One field of the active node, socket or view state per template: a table row
// names the field, the answer when the write is done and the answer without a
// target. Values are converted before anything is looked at, so a value of the
// wrong kind raises and changes nothing.

template <auto Field, Answer Missing>
Value* readNodeFlag(SchematicControl& c) {
    SchematicNode* node = activeNode(c);
    return node ? flagValue(node->*Field) : answer(Missing);
}

template <auto Field, Answer Done, Answer Missing = Answer::no>
Value* writeNodeFlag(SchematicControl& c, Value* value) {
    const uint8_t flag = toFlag(value);
    SchematicNode* node = activeNode(c);
    if (!node) return answer(Missing);
    node->*Field = flag;
    return answer(Done);
}

template <auto Field>
Value* readNodeText(SchematicControl& c) {
    SchematicNode* node = activeNode(c);
    return node ? textValue(node->*Field) : &false_value;
}

template <auto Field, Answer Done>
Value* writeNodeText(SchematicControl& c, Value* value) {
    const char* text = value->to_string();
    SchematicNode* node = activeNode(c);
    if (!node) return &false_value;
    node->*Field = text;
    return answer(Done);
}

template <auto Field>
Value* readNodePoint(SchematicControl& c) {
    SchematicNode* node = activeNode(c);
    return node ? pointValue(node->*Field) : &false_value;
}

template <auto Field, Answer Done>
Value* writeNodePoint(SchematicControl& c, Value* value) {
    const Vec2 p = toVec2(value);
    SchematicNode* node = activeNode(c);
    if (!node) return &false_value;
    node->*Field = p;
    return answer(Done);
}

template <auto Field>
Value* readSocketFlag(SchematicControl& c) {
    SchematicSocket* socket = activeSocket(c);
    return socket ? flagValue(socket->*Field) : &false_value;
}

template <auto Field, Answer Done, Answer Missing = Answer::no>
Value* writeSocketFlag(SchematicControl& c, Value* value) {
    const uint8_t flag = toFlag(value);
    SchematicSocket* socket = activeSocket(c);
    if (!socket) return answer(Missing);
    socket->*Field = flag;
    return answer(Done);
}

template <auto Field>
Value* readSocketText(SchematicControl& c) {
    SchematicSocket* socket = activeSocket(c);
    return socket ? textValue(socket->*Field) : &false_value;
}

template <auto Field>
Value* writeSocketText(SchematicControl& c, Value* value) {
    const char* text = value->to_string();
    SchematicSocket* socket = activeSocket(c);
    if (!socket) return &false_value;
    socket->*Field = text;
    return &true_value;
}

template <auto Field>
Value* readSocketPoint(SchematicControl& c) {
    SchematicSocket* socket = activeSocket(c);
    return socket ? pointValue(socket->*Field) : &false_value;
}

template <auto Field, Answer Done>
Value* writeSocketPoint(SchematicControl& c, Value* value) {
    const Vec2 p = toVec2(value);
    SchematicSocket* socket = activeSocket(c);
    if (!socket) return &false_value;
    socket->*Field = p;
    return answer(Done);
}

template <auto Field>
Value* readViewFlag(SchematicControl& c) {
    return flagValue(c.viewState.get()->*Field);
}

template <auto Field>
Value* writeViewFlag(SchematicControl& c, Value* value) {
    c.viewState.get()->*Field = toFlag(value);
    return &ok;
}
