// eval_grammar.cpp - how the grammar's newer nodes evaluate: this, path names, references,
// ?, bit array literals and context expressions.
#include <cctype>

#include "host/maxscript/compound_assign.h"
#include "host/maxscript/engine.h"
#include "host/maxscript/globals.h"
#include "host/maxscript/grammar_values.h"
#include "host/maxscript/interp.h"
#include "host/maxscript/operators.h"
#include "host/scene/scene.h"

using namespace interp;

namespace {

// Node names match case-insensitively; * is any run of characters, ? any one.
bool wildcard_match(const char* pattern, const char* text) {
    for (; *pattern; ++pattern, ++text) {
        if (*pattern == '*') {
            for (const char* t = text;; ++t) {
                if (wildcard_match(pattern + 1, t)) return true;
                if (!*t) return false;
            }
        }
        if (!*text) return false;
        if (*pattern != '?' && std::tolower(static_cast<unsigned char>(*pattern)) != std::tolower(static_cast<unsigned char>(*text)))
            return false;
    }
    return *text == '\0';
}

bool same_text(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return i == a.size() && !b[i];
}

// The object sets every scene has; the stand-in's nodes carry no geometry, light or camera.
bool class_set(const std::string& p, bool& all) {
    std::string l;
    for (char c : p) l += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    all = l == "objects";
    return all || l == "geometry" || l == "lights" || l == "cameras" || l == "helpers" || l == "shapes" ||
           l == "systems" || l == "spacewarps" || l == "selection";
}

}  // namespace

Value* SelfRef::eval() { return frame->self ? frame->self : &undefined; }

// $ alone is the selection: nothing can be selected here, and an empty selection is undefined.
// $name is that node or undefined; a wildcard or a set answers an array of the matching nodes.
Value* PathNameNode::eval() {
    if (pattern.empty()) return &undefined;
    bool all = false;
    const auto& nodes = the_scene().nodes();
    if (class_set(pattern, all)) {
        auto* a = new Array(0);
        Mark m;
        push(a);
        if (all)
            for (INode* n : nodes) a->append(MAXNode::intern(n));
        return a;
    }
    std::string p = pattern;
    const bool quoted = p.size() >= 2 && p.front() == '\'' && p.back() == '\'';
    if (quoted) p = p.substr(1, p.size() - 2);
    const bool wild = !quoted && p.find_first_of("*?/") != std::string::npos;
    if (!wild) {
        for (INode* n : nodes)
            if (quoted ? same_text(p, n->GetName()) : wildcard_match(p.c_str(), n->GetName())) return MAXNode::intern(n);
        return &undefined;
    }
    auto* a = new Array(0);
    Mark m;
    push(a);
    if (p.find('/') == std::string::npos)  // scene nodes here have no children to walk into
        for (INode* n : nodes)
            if (wildcard_match(p.c_str(), n->GetName())) a->append(MAXNode::intern(n));
    return a;
}

Value* RefExpr::eval() {
    Mark m;
    auto* r = new Reference();
    push(r);
    if (auto* l = dynamic_cast<LocalRef*>(target)) {
        Value*& slot = frame->slots[l->var->slot];
        Value* held = slot->tag == &Box_class ? static_cast<Box*>(slot)->value : slot;
        if (l->var->by_ref && held->tag == &Reference_class) return held;  // pass the caller's on
        if (slot->tag != &Box_class) slot = new Box(slot);
        r->box = slot;
    } else if (auto* u = dynamic_cast<UpvalRef*>(target)) {
        r->box = frame->fn->upvals[u->index];
    } else if (auto* g = dynamic_cast<GlobalRef*>(target)) {
        r->cell = g->cell;
    } else if (auto* p = dynamic_cast<Property*>(target)) {
        r->object = p->object->eval();
        r->key = p->name;
    } else if (auto* i = dynamic_cast<Index*>(target)) {
        r->object = i->object->eval();
        r->key = i->index->eval();
        r->element = true;
    } else if (auto* mr = dynamic_cast<MemberRef*>(target)) {
        r->object = frame->self ? frame->self : &undefined;
        r->key = mr->name;
    } else if (auto* d = dynamic_cast<DerefExpr*>(target)) {
        return d->target->eval();  // &*p is p
    } else {
        throw RuntimeError("& needs a variable, property or element");
    }
    return r;
}

namespace {
Reference* as_reference(Value* v) {
    if (v->tag != &Reference_class) throw TypeError("* needs a reference (made with &)", v, &Reference_class);
    return static_cast<Reference*>(v);
}
}  // namespace

Value* DerefExpr::eval() {
    Mark m;
    return as_reference(push(target->eval()))->get();
}

Value* DerefExpr::assign(Tok op, Node* rhs) {
    Mark m;
    Reference* r = as_reference(push(target->eval()));
    Value* v = push(assigned_value(op, rhs, [r] { return r->get(); }));
    return r->set(v);
}

Value* LastResult::eval() { return listener_last_result(); }

Value* BitArrayLit::eval() {
    Mark m;
    auto* b = new BitArray();
    push(b);
    for (size_t i = 0; i < from.size(); ++i) {
        Value* a = push(from[i]->eval());
        Value* z = to[i] ? to[i]->eval() : a;
        if (a->tag != &Integer_class || z->tag != &Integer_class)
            throw TypeError("a bit array holds integers", a->tag != &Integer_class ? a : z, &Integer_class);
        int lo = static_cast<Integer*>(a)->value, hi = static_cast<Integer*>(z)->value;
        if (lo < 1) throw RuntimeError("BitArray index out of bounds: " + std::to_string(lo));
        for (int k = lo; k <= hi; ++k) b->set(k, true);
    }
    return b;
}

// The host has no undo, animation, viewports or coordinate systems behind these: each checks
// its value as the real one does and runs its body.
Value* ContextExpr::eval() {
    static Value* time_name = Name::intern("time");
    static Value* level_name = Name::intern("level");
    static Value* in_name = Name::intern("in");
    static Value* coordsys_name = Name::intern("coordsys");
    static Value* about_name = Name::intern("about");
    Mark m;
    if (label) {
        Value* l = push(label->eval());
        if (l->tag != &String_class && l->tag != &Name_class) throw TypeError("undo label", l, &String_class);
    }
    if (value) {
        Value* v = push(value->eval());
        if (kind == time_name) {
            if (v->tag != &Time_class && v->tag != &Integer_class && v->tag != &Float_class) throw ConversionError(v, "Time");
        } else if (kind == level_name || kind == in_name) {
            if (v->tag != &MAXNode_class) throw ConversionError(v, "MAXNode");
        } else if (kind != coordsys_name && kind != about_name) {
            if (v->tag != &Boolean_class) throw ConversionError(v, "Boolean");
        }
    }
    if (!body) return &ok;
    return body->eval();
}
