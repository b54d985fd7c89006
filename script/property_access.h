// property_access.h - what every property reader and writer shares.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

#include "script/property_target.h"
#include "graph/graph.h"
#include "host/core/errors.h"
#include "host/core/value.h"
#include "script/host_text.h"

// A reader answers a read of one name, a writer a write. Either may answer null
// to pass the name on to RolloutControl (width and height while closed).
using PropertyReader = Value* (*)(PropertyTarget& control);
using PropertyWriter = Value* (*)(PropertyTarget& control, Value* value);

// What a property's reader or writer may change that the spatial index must hear
// of: nothing, the active node (its records, sockets or links), or anything.
enum class Touches { nothing, activeNode, graph };

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

inline SchematicNode* activeNode(PropertyTarget& c) { return activeNodePtr(c.graph); }
inline SchematicSocket* activeSocket(PropertyTarget& c) { return activeSocketPtr(c.graph); }
inline SchematicGraph& nodeTable(PropertyTarget& c) { return *c.graph.nodeTable; }
inline int32_t nodeCount(PropertyTarget& c) {
    return c.graph.nodeTable ? int32_t(c.graph.nodeTable->size()) : 0;
}

// A script number naming a node, socket or link (1-based as the script counts). A
// non-finite number names nothing: it raises the conversion error wherever it is given,
// as activeNode = nan always did, instead of truncating to some index.
inline int toIndex(Value* v) {
    if (v->tag == &Float_class && !std::isfinite(static_cast<Float*>(v)->value))
        throw ConversionError(v, _M("Integer"));
    return v->to_int();
}
// One coordinate of a point that names things, made an inside (0-based) index.
inline int32_t indexPart(Value* whole, float part) {
    if (!std::isfinite(part)) throw ConversionError(whole, _M("Integer"));
    return truncToInt32(part - 1.0f);  // in floating point, then truncated
}

// Values of the script side.
inline Value* flagValue(uint8_t flag) { return bool_result(flag == 1); }
inline uint8_t toFlag(Value* v) { return v->to_bool() ? 1 : 0; }
inline Value* intValue(int32_t n) { return Integer::intern(n); }
// An inside index as the script numbers it: -1 (none) becomes 0.
inline Value* numberValue(int32_t index) { return Integer::intern(index + 1); }
inline Value* textValue(const std::string& s) { return new String(hostTextFromRecord(s).c_str()); }
// The value's text as a record keeps it; text the code page cannot hold raises.
inline std::string recordText(Value* v) {
    std::string bytes;
    if (!recordTextFromHost(v->to_string(), bytes)) throw ConversionError(v, _M("String of the system code page"));
    return bytes;
}
inline Value* pointValue(Vec2 v) { return new Point2Value(v.x, v.y); }
inline Value* pointValue(Vec2I v) { return new Point2Value(float(v.x), float(v.y)); }
inline Value* colourValue(uint32_t c) { return new ColorValue(COLORREF(c)); }
inline Vec2 toVec2(Value* v) {
    const Point2 p = v->to_point2();
    return {p.x, p.y};
}

// One field of the active node, socket or view state per template: a table row
// names the field, the answer when the write is done and the answer without a
// target. The field's record says what the row addresses (the active node or the
// active socket), its type which script value it reads and writes. Values are
// converted before anything is looked at, so a value of the wrong kind raises and
// changes nothing.
template <class Member> struct FieldOf;
template <class Record, class Type> struct FieldOf<Type Record::*> {
    using record = Record;
    using type = Type;
};

template <class Record> Record* addressed(PropertyTarget& c) {
    if constexpr (std::is_same_v<Record, SchematicNode>) return activeNode(c);
    else return activeSocket(c);
}

// Every uint32_t field of the records is a COLORREF colour.
inline Value* scriptValue(uint8_t flag) { return flagValue(flag); }
inline Value* scriptValue(uint32_t colour) { return colourValue(colour); }
inline Value* scriptValue(float number) { return Float::intern(number); }
inline Value* scriptValue(const std::string& text) { return textValue(text); }
inline Value* scriptValue(Vec2 point) { return pointValue(point); }
inline Value* scriptValue(Vec2I point) { return pointValue(point); }

template <class Type> Type fromScript(Value* v) {
    if constexpr (std::is_same_v<Type, uint8_t>) return toFlag(v);
    else if constexpr (std::is_same_v<Type, uint32_t>) return uint32_t(v->to_colorref());
    else if constexpr (std::is_same_v<Type, float>) return v->to_float();
    else if constexpr (std::is_same_v<Type, std::string>) return recordText(v);
    else if constexpr (std::is_same_v<Type, Vec2I>) {
        const Vec2 p = toVec2(v);
        return Vec2I{truncToInt32(p.x), truncToInt32(p.y)};
    } else return toVec2(v);
}

template <auto Field, Answer Missing = Answer::no>
Value* readField(PropertyTarget& c) {
    auto* record = addressed<typename FieldOf<decltype(Field)>::record>(c);
    return record ? scriptValue(record->*Field) : answer(Missing);
}

template <auto Field, Answer Done, Answer Missing = Answer::no>
Value* writeField(PropertyTarget& c, Value* value) {
    auto converted = fromScript<typename FieldOf<decltype(Field)>::type>(value);
    auto* record = addressed<typename FieldOf<decltype(Field)>::record>(c);
    if (!record) return answer(Missing);
    record->*Field = std::move(converted);
    return answer(Done);
}

template <auto Field>
Value* readViewFlag(PropertyTarget& c) {
    return flagValue(c.viewState.get()->*Field);
}

template <auto Field>
Value* writeViewFlag(PropertyTarget& c, Value* value) {
    c.viewState.get()->*Field = toFlag(value);
    return &ok;
}
