// script_values.cpp - printing, tracing and calling the engine's own values.
#include "host/maxscript/script_values.h"
#include "host/maxscript/engine_start.h"

#include <cstdio>
#include <set>

#include "host/maxscript/call_args.h"
#include "host/maxscript/engine.h"
#include "host/maxscript/interp.h"

ValueMetaClass MAXScriptFunction_class("MAXScriptFunction");
ValueMetaClass StructDef_class("StructDef");
ValueMetaClass StructInstance_class("Struct");
ValueMetaClass Box_class("Box");

namespace {
ValueMetaClass Unsupplied_class("UnsuppliedClass");

class Unsupplied : public Value {
public:
    Unsupplied() { tag = &Unsupplied_class; }
    void sprin1(CharStream* s) override { s->puts("unsupplied"); }
};

std::set<Chunk*>& live_chunks() {
    static auto* chunks = new std::set<Chunk*>;
    return *chunks;
}
void mark_chunks() {
    for (Chunk* c : live_chunks())
        for (Value* v : c->constants) heap_detail::trace(v);
}
}  // namespace

void root_parsed_chunks() { gc_add_root_marker(mark_chunks); }

Value* unsupplied_value() {
    static Unsupplied u;
    return &u;
}

void register_chunk(Chunk* c) { live_chunks().insert(c); }
Chunk::~Chunk() { live_chunks().erase(this); }

void Box::gc_trace() {
    Value::gc_trace();
    heap_detail::trace(value);
}

// ---- functions ----

ScriptFunction::ScriptFunction(FnProto* p, std::shared_ptr<Chunk> c) : proto(p), chunk(std::move(c)) {
    tag = &MAXScriptFunction_class;
}

Value* ScriptFunction::apply(Value** arg_list, int count) {
    if (!proto->lenient) return interp::call_script(this, arg_list, count, nullptr);
    // An event handler: its error is reported here, and the control carries on.
    interp::SavePoint saved = interp::save();
    try {
        return interp::call_script(this, arg_list, count, nullptr);
    } catch (MAXScriptException& e) {
        interp::restore(saved);
        report_runtime_error(e.message());
    } catch (std::bad_alloc&) {
        interp::restore(saved);
        report_runtime_error("-- Runtime error: out of memory");
    }
    return &undefined;
}

void ScriptFunction::sprin1(CharStream* s) { s->printf("%s()", proto->name.c_str()); }

void ScriptFunction::gc_trace() {
    Value::gc_trace();
    for (Value* v : upvals) heap_detail::trace(v);
    heap_detail::trace(owner);
}

// ---- structs ----

StructDef::StructDef(StructDefNode* n) : name(n->name), node(n), members(n->members) { tag = &StructDef_class; }

int StructDef::member_index(Value* n) {
    for (size_t i = 0; i < members.size(); ++i)
        if (members[i] == n) return static_cast<int>(i);
    return -1;
}

Value* StructDef::apply(Value** args, int count) {
    int positional = positional_count(args, count);
    if (positional > static_cast<int>(members.size()))
        throw ArgCountError(name->to_string(), static_cast<int>(members.size()), positional);
    int base = interp::sp;
    auto* s = new StructInstance(this);
    interp::push(s);
    s->fields.assign(members.size(), &undefined);
    std::vector<bool> given(members.size(), false);
    for (int i = 0; i < positional; ++i) {
        s->fields[static_cast<size_t>(i)] = args[i];
        given[static_cast<size_t>(i)] = true;
    }
    for (int i = positional + 1; i + 1 < count; i += 2) {
        int m = member_index(args[i]);
        if (m < 0 || methods[static_cast<size_t>(m)]) {
            interp::sp = base;
            throw RuntimeError("no member " + print_form(args[i]) + " in struct " + name->to_string());
        }
        s->fields[static_cast<size_t>(m)] = args[i + 1];
        given[static_cast<size_t>(m)] = true;
    }
    try {
        for (size_t m = 0; m < members.size(); ++m) {
            if (methods[m]) s->fields[m] = methods[m];
            else if (!given[m] && defaults[m])
                s->fields[m] = interp::call_script(static_cast<ScriptFunction*>(defaults[m]), nullptr, 0, nullptr);
        }
        if (create_handler) interp::call_script(static_cast<ScriptFunction*>(create_handler), nullptr, 0, s);
    } catch (...) {
        interp::sp = base;
        throw;
    }
    interp::sp = base;
    return s;
}

void StructDef::sprin1(CharStream* s) {
    s->printf("#Struct:%s(", node->spelling.c_str());
    for (size_t i = 0; i < members.size(); ++i) s->printf(i ? ", %s" : "%s", node->member_spellings[i].c_str());
    s->puts(")");
}

void StructDef::gc_trace() {
    Value::gc_trace();
    heap_detail::trace(name);
    for (Value* v : defaults) heap_detail::trace(v);
    for (Value* v : methods) heap_detail::trace(v);
    heap_detail::trace(create_handler);
    heap_detail::trace(clone_handler);
}

StructInstance::StructInstance(StructDef* d) : def(d) { tag = &StructInstance_class; }

namespace {
// A private member answers only the instance's own methods.
void check_visible(StructInstance* s, int m, Value* name) {
    const auto& priv = s->def->node->is_private;
    if (static_cast<size_t>(m) < priv.size() && priv[static_cast<size_t>(m)] && interp::frame->self != s)
        throw RuntimeError("Attempt to access private member: " + std::string(name->to_string()) + " in " + s->def->node->spelling);
}
}  // namespace

Value* StructInstance::get_property(Value** args, int count) {
    int m = count > 0 ? def->member_index(args[0]) : -1;
    if (m < 0) throw UnknownPropertyError(this, count > 0 ? args[0] : nullptr);
    check_visible(this, m, args[0]);
    return fields[static_cast<size_t>(m)];
}

Value* StructInstance::set_property(Value** args, int count) {
    int m = count > 1 ? def->member_index(args[1]) : -1;
    if (m < 0) throw UnknownPropertyError(this, count > 1 ? args[1] : nullptr);
    check_visible(this, m, args[1]);
    fields[static_cast<size_t>(m)] = args[0];
    return args[0];
}

Value* copy_struct_instance(StructInstance* s) {
    int base = interp::sp;
    auto* c = new StructInstance(s->def);
    interp::push(c);
    c->fields = s->fields;
    try {
        if (s->def->clone_handler) interp::call_script(static_cast<ScriptFunction*>(s->def->clone_handler), nullptr, 0, c);
    } catch (...) {
        interp::sp = base;
        throw;
    }
    interp::sp = base;
    return c;
}

BOOL StructInstance::is_kind_of(ValueMetaClass* c) { return c == &StructInstance_class || Value::is_kind_of(c); }

Value* StructInstance::classOf_vf(Value** arg_list, int count) { return def; }

void StructInstance::sprin1(CharStream* s) {
    s->printf("(%s", def->node->spelling.c_str());
    for (size_t i = 0; i < fields.size(); ++i) {
        if (def->methods[i]) continue;
        s->printf(" %s:", def->node->member_spellings[i].c_str());
        fields[i]->sprin1(s);
    }
    s->puts(")");
}

void StructInstance::gc_trace() {
    Value::gc_trace();
    heap_detail::trace(def);
    for (Value* v : fields) heap_detail::trace(v);
}

// ---- errors ----

NoMethodError::NoMethodError(const char* op, Value* v) : op(op), operand(print_form(v)) {}

void NoMethodError::sprin1(CharStream* s) {
    s->printf("-- No \"\"%s\"\" function for %s", op.c_str(), operand.c_str());
}

void ScriptThrow::sprin1(CharStream* s) { s->printf("-- Runtime error: %s", text.c_str()); }
