// definitions.cpp - what macroScript, when, plugin, attributes and tool definitions make:
// the macro table macros.run runs, change handlers, and scripted class definitions.
#include <cctype>
#include <vector>

#include "host/maxscript/engine_start.h"
#include "host/core/errors.h"
#include "host/core/function.h"
#include "host/maxscript/builtin_args.h"
#include "host/maxscript/count_guard.h"
#include "host/maxscript/grammar_values.h"
#include "host/maxscript/interp.h"
#include "host/maxscript/operators.h"

using namespace interp;

namespace {

ValueMetaClass ChangeHandler_class("ChangeHandler");
ValueMetaClass ScriptedClass_class("ScriptedClass");

// Macro categories and names match as the host's do: without regard to case.
bool same_name(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

struct Macro {
    std::string category;
    std::string name;
    MacroScriptDef* def;
    Value* body;  // the closure, made where the definition ran
    Value* keys;  // Array of #name, value pairs as written
};

std::vector<Macro>& macro_table() {
    static auto* t = new std::vector<Macro>;
    return *t;
}

class ChangeHandler : public Value {
public:
    Value* attribute;
    Value* objects;
    Value* id = nullptr;
    Value* handler;
    ChangeHandler(Value* a, Value* o, Value* h) : attribute(a), objects(o), handler(h) { tag = &ChangeHandler_class; }
    void sprin1(CharStream* s) override { s->printf("<ChangeHandler:%s>", attribute->to_string()); }
    void gc_trace() override {
        Value::gc_trace();
        heap_detail::trace(attribute);
        heap_detail::trace(objects);
        heap_detail::trace(id);
        heap_detail::trace(handler);
    }
};

std::vector<ChangeHandler*>& change_handlers() {
    static auto* h = new std::vector<ChangeHandler*>;
    return *h;
}

void mark_definitions() {
    for (Macro& m : macro_table()) {
        heap_detail::trace(m.body);
        heap_detail::trace(m.keys);
    }
    for (ChangeHandler* h : change_handlers()) heap_detail::trace(h);
}

// plugin / attributes / tool: named and printed as the host names them; making one needs
// the host's plug-in machinery.
class ScriptedClass : public Value {
public:
    std::string spelling;  // copied: the definition's tree may go before the class does
    Value* kind;           // an interned name
    ScriptedClass(const std::string& s, Value* k) : spelling(s), kind(k) { tag = &ScriptedClass_class; }
    void sprin1(CharStream* s) override {
        if (kind == Name::intern("attributes")) s->printf("<AttributeDef:%s>", spelling.c_str());
        else s->puts(spelling.c_str());
    }
    Value* apply(Value**, int) override {
        throw RuntimeError("cannot create " + spelling + ": scripted " + kind->to_string() +
                           " classes need the 3ds Max plug-in host");
    }
};

std::string text_of(Value* v) { return v->tag == &String_class ? v->to_string() : print_form(v); }

Macro* find_macro(Value** args, int count) {
    if (count == 1 && args[0]->tag == &Integer_class) {
        int id = static_cast<Integer*>(args[0])->value;
        if (id >= 1 && id <= static_cast<int>(macro_table().size())) return &macro_table()[static_cast<size_t>(id - 1)];
        return nullptr;
    }
    if (count != 2) throw ArgCountError("macros.run", 2, count);
    std::string category = text_of(args[0]), name = text_of(args[1]);
    for (Macro& m : macro_table())
        if (same_name(m.category, category) && same_name(m.name, name)) return &m;
    return nullptr;
}

}  // namespace

void root_script_definitions() { gc_add_root_marker(mark_definitions); }

// Defining a macro registers it and answers its id, as the host's macro table does.
Value* MacroScriptDef::eval() {
    static Value* category_name = Name::intern("category");
    Mark m;
    Macro macro{"", spelling, this, nullptr, nullptr};
    auto* keys_array = new Array(0);
    push(keys_array);
    for (const KeyArgNode& k : keys) {
        Value* v = push(k.value->eval());
        if (k.name == category_name) macro.category = text_of(v);
        keys_array->append(k.name);
        keys_array->append(v);
    }
    macro.keys = keys_array;
    macro.body = push(make_closure(body));
    for (Macro& existing : macro_table())  // defining it again replaces it
        if (same_name(existing.category, macro.category) && same_name(existing.name, macro.name)) {
            existing = macro;
            return make_int(static_cast<int>(&existing - macro_table().data()) + 1);
        }
    macro_table().push_back(macro);
    return make_int(static_cast<int>(macro_table().size()));
}

// The host sends no change notifications, so a handler is kept and never fires.
Value* WhenDef::eval() {
    static Value* id_name = Name::intern("id");
    Mark m;
    Value* objs = push(objects->eval());
    if (objs == &undefined) throw RuntimeError("when needs objects to watch, got: undefined");
    auto* h = new ChangeHandler(attribute, objs, nullptr);
    push(h);
    for (const KeyArgNode& k : keys) {
        Value* v = push(k.value->eval());
        if (k.name == id_name) h->id = v;
    }
    h->handler = make_closure(handler);
    change_handlers().push_back(h);
    return h;
}

Value* ScriptedDefNode::eval() {
    Mark m;
    auto* c = new ScriptedClass(spelling, kind);
    push(c);
    for (const KeyArgNode& k : keys) push(k.value->eval());
    if (store) {
        Const value(c);
        store->assign(Tok::Assign, &value);
    }
    return c;
}

namespace {

// macros.run "category" "name" (or an id): runs the body, then its execute handler if it has handlers.
class MacrosInterface : public Value {
public:
    void sprin1(CharStream* s) override { s->puts("<Interface:macros>"); }
    Value* get_property(Value** args, int count) override {
        static Value* run_name = Name::intern("run");
        // Static storage: outside the collected heap, like the interface itself.
        static NativeFunction run("run", [](Value** a, int n) -> Value* { return run_macro(a, n); });
        if (count > 0 && args[0] == run_name) return &run;
        throw UnknownPropertyError(this, count > 0 ? args[0] : nullptr);
    }
    static Value* run_macro(Value** args, int count) {
        static Value* execute_name = Name::intern("execute");
        Macro* macro = find_macro(args, count);
        if (!macro) throw RuntimeError("no such macroScript: " + (count > 1 ? text_of(args[0]) + " " + text_of(args[1]) : print_form(args[0])));
        Mark m;
        CountGuard native(native_depth);  // the caller's arguments are not on our stack
        Value* result = push(call_value(macro->body, nullptr, 0));
        if (macro->def->has_handlers) {
            auto* table = static_cast<Array*>(result);
            result = &ok;
            for (size_t i = 0; i < macro->def->handler_events.size(); ++i)
                if (macro->def->handler_events[i] == execute_name) result = call_value(table->data[i], nullptr, 0);
        }
        return result;
    }
};

}  // namespace

void define_definition_builtins(BuiltinDefiner define) {
    define("deleteAllChangeHandlers", [](Value** args, int count) -> Value* {
        BuiltinArgs a("deleteAllChangeHandlers", args, count);
        a.expect(0);
        Value* id = a.key("id");
        auto& all = change_handlers();
        std::vector<ChangeHandler*> kept;
        for (ChangeHandler* h : all)
            if (id && !(h->id && values_equal(h->id, id))) kept.push_back(h);
        all = kept;
        return &ok;
    });
    define("deleteChangeHandler", [](Value** args, int count) -> Value* {
        check_arg_count(deleteChangeHandler, 1, count);
        auto& all = change_handlers();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i] == args[0]) {
                all.erase(all.begin() + static_cast<long>(i));
                break;
            }
        return &ok;
    });
}

Value* macros_interface() {
    static MacrosInterface m;
    return &m;
}
