// eval.cpp - how each syntax tree node evaluates; temporaries held across evaluation go on the stack.
#include <cstdio>

#include "host/maxscript/call_args.h"
#include "host/maxscript/compound_assign.h"
#include "host/maxscript/globals.h"
#include "host/maxscript/grammar_values.h"
#include "host/maxscript/interp.h"
#include "host/maxscript/operators.h"
#include "host/scene/scene_values.h"

using namespace interp;

namespace {

Value* boxed(Value*& slot) {
    if (slot->tag != &Box_class) slot = new Box(slot);
    return slot;
}

Value* update(Value* old, Tok op, Node* rhs) {
    return assigned_value(op, rhs, [old] { return old; });
}

}  // namespace

// ---- variables ----

Value* LocalRef::eval() {
    Value* v = frame->slots[var->slot];
    if (var->captured && v->tag == &Box_class) v = static_cast<Box*>(v)->value;
    if (var->by_ref && v->tag == &Reference_class) return static_cast<Reference*>(v)->get();
    return v;
}

Value* LocalRef::assign(Tok op, Node* rhs) {
    if (var->by_ref) {  // a &parameter given a reference writes to the caller's variable
        Value* held = frame->slots[var->slot];
        if (held->tag == &Box_class) held = static_cast<Box*>(held)->value;
        if (held->tag == &Reference_class) {
            auto* r = static_cast<Reference*>(held);
            Mark m;
            push(r);
            Value* v = update(r->get(), op, rhs);
            push(v);
            return r->set(v);
        }
    }
    if (var->captured) {
        Value* box = boxed(frame->slots[var->slot]);
        Value* v = update(static_cast<Box*>(box)->value, op, rhs);
        static_cast<Box*>(frame->slots[var->slot])->value = v;
        return v;
    }
    Value* v = update(frame->slots[var->slot], op, rhs);
    frame->slots[var->slot] = v;
    return v;
}

namespace {
// The slot of a local read and written straight (no box, no reference), else -1. Parsing
// the chunk has settled which locals are captured before any of it runs.
int plain_local_slot(Node* n) {
    auto* l = dynamic_cast<LocalRef*>(n);
    return l && !l->var->captured && !l->var->by_ref ? l->var->slot : -1;
}
}  // namespace

Value* Assign::eval() {
    if (local_slot >= 0) {
        Value* v = value->eval();
        frame->slots[local_slot] = v;
        return v;
    }
    return eval_other();
}

__attribute__((noinline)) Value* Assign::eval_other() {
    if (local_slot == -2) {
        local_slot = op == Tok::Assign ? plain_local_slot(target) : -1;
        if (local_slot >= 0) return eval();
    }
    return target->assign(op, value);
}

Value* UpvalRef::eval() { return static_cast<Box*>(frame->fn->upvals[index])->value; }

Value* UpvalRef::assign(Tok op, Node* rhs) {
    auto* box = static_cast<Box*>(frame->fn->upvals[index]);
    Value* v = update(box->value, op, rhs);
    box->value = v;
    return v;
}

Value* GlobalRef::eval() { return cell->value; }

Value* GlobalRef::assign(Tok op, Node* rhs) {
    Value* v = update(cell->value, op, rhs);
    cell->value = v;
    return v;
}

namespace {
StructInstance* self_instance(Value* name) {
    Value* self = frame->self;
    if (!self || self->tag != &StructInstance_class)
        throw RuntimeError("no struct instance to read " + print_form(name) + " from");
    return static_cast<StructInstance*>(self);
}
}  // namespace

Value* MemberRef::eval() {
    StructInstance* s = self_instance(name);
    if (index >= static_cast<int>(s->fields.size())) throw UnknownPropertyError(s, name);
    return s->fields[static_cast<size_t>(index)];
}

Value* MemberRef::assign(Tok op, Node* rhs) {
    StructInstance* s = self_instance(name);
    if (index >= static_cast<int>(s->fields.size())) throw UnknownPropertyError(s, name);
    Value* v = update(s->fields[static_cast<size_t>(index)], op, rhs);
    s->fields[static_cast<size_t>(index)] = v;
    return v;
}

Value* LocalDecl::eval() {
    Value* v = init ? init->eval() : &undefined;
    frame->slots[var->slot] = var->captured ? new Box(v) : v;
    return v;
}

Value* GlobalDecl::eval() {
    if (init) cell->value = init->eval();
    return cell->value;
}

// ---- properties, indices, calls ----

namespace {

Value* controller_name() {
    static Value* n = Name::intern("controller");
    return n;
}

// A step of a path that ends in .controller: where a property or an index names a
// sub-animatable of a scene object ($box.position, .x_position, controller[1]), the
// step is that sub-animatable, so the controller in that place is meant and not the
// value it gives. Intermediate values stay on the stack for the caller's Mark.
Value* path_step(Node* e) {
    if (auto* p = dynamic_cast<Property*>(e)) {
        Value* base = push(path_step(p->object));
        if (p->name != controller_name())
            if (Value* sub = find_subanim(base, p->name)) return sub;
        return get_prop(base, p->name);
    }
    if (auto* ix = dynamic_cast<Index*>(e)) {
        Value* base = push(path_step(ix->object));
        Value* i = push(ix->index->eval());
        return get_index(base, i);
    }
    return e->eval();
}

}  // namespace

Value* Property::eval() {
    if (name == controller_name()) {
        Mark m;
        return get_prop(push(path_step(object)), name);
    }
    Value* obj = object->eval();
    Mark m;
    push(obj);
    return get_prop(obj, name);
}

Value* Property::assign(Tok op, Node* rhs) {
    Mark m;
    Value* obj = push(name == controller_name() ? path_step(object) : object->eval());
    Value* v = push(assigned_value(op, rhs, [&] { return get_prop(obj, name); }));
    return set_prop(obj, name, v);
}

Value* Index::eval() {
    Mark m;
    Value* obj = push(object->eval());
    Value* i = index->eval();
    push(i);
    return get_index(obj, i);
}

Value* Index::assign(Tok op, Node* rhs) {
    Mark m;
    Value* obj = push(object->eval());
    Value* i = push(index->eval());
    Value* v = push(assigned_value(op, rhs, [&] { return get_index(obj, i); }));
    return set_index(obj, i, v);
}

Value* Call::eval() {
    Mark m;
    Value* self = nullptr;
    Value* f;
    if (!method_known) {
        method = dynamic_cast<Property*>(function);
        method_known = true;
    }
    if (Property* p = method) {
        // obj.method args: a struct's method runs with obj as its instance.
        Value* obj = push(p->object->eval());
        f = get_prop(obj, p->name);
        if (f->tag == &MAXScriptFunction_class && obj->tag == &StructInstance_class &&
            static_cast<StructInstance*>(obj)->def->node == static_cast<ScriptFunction*>(f)->proto->owner)
            self = obj;
    } else {
        f = function->eval();
    }
    push(f);
    int base = sp;
    frame->line = line;
    for (Node* a : args) push(a->eval());
    if (!keys.empty()) {
        push(&keyarg_marker_value);
        for (const KeyArgNode& k : keys) {
            push(k.name);
            push(k.value->eval());
        }
    }
    frame->line = line;
    if (f && f->tag == &MAXScriptFunction_class)  // what call_value would do first, one call sooner
        return call_script(static_cast<ScriptFunction*>(f), &stack[base], sp - base, self);
    return call_value(f, &stack[base], sp - base, self);
}

// ---- operators ----

Value* Unary::eval() {
    Value* v = operand->eval();
    if (op == Tok::Minus) return negate(v);
    return bool_result(!truth(v));
}

Value* Binary::eval() {
    if (right_const) {  // nothing runs between the two sides, so the left needs no root
        Value* a = left_slot >= 0 ? frame->slots[left_slot] : left->eval();
        if (Value* r = integer_op(op, a, right_const)) return r;
        return eval_with_constant(a);
    }
    return eval_other();
}

__attribute__((noinline)) Value* Binary::eval_with_constant(Value* a) {
    Mark m;
    push(a);
    return binary_op(op, a, right_const);
}

__attribute__((noinline)) Value* Binary::eval_other() {
    if (!right_known) {
        auto* c = dynamic_cast<Const*>(right);
        right_const = c ? c->value : nullptr;
        left_slot = plain_local_slot(left);
        right_known = true;
        if (right_const) return eval();
    }
    Mark m;
    Value* a = push(left_slot >= 0 ? frame->slots[left_slot] : left->eval());
    Value* b = right->eval();
    if (Value* r = integer_op(op, a, b)) return r;
    return binary_op(op, a, b);
}

Value* Logical::eval() {
    bool l = truth(left->eval());
    if (is_and ? !l : l) return bool_result(l);
    return bool_result(truth(right->eval()));
}

Value* AsNode::eval() {
    Mark m;
    Value* v = push(value->eval());
    return convert_as(v, target_class->eval());
}

Value* ArrayLit::eval() {
    Mark m;
    auto* a = new Array(0);
    push(a);
    a->reserve(static_cast<int>(items.size()));
    for (Node* n : items) a->append(n->eval());
    return a;
}

Value* PointLit::eval() {
    float c[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < items.size(); ++i) {
        Value* v = items[i]->eval();
        if (v->tag != &Integer_class && v->tag != &Float_class) throw TypeError("point components must be numbers", v, &Float_class);
        c[i] = v->to_float();
    }
    if (items.size() == 4) return new Point4Value(c[0], c[1], c[2], c[3]);
    if (items.size() == 3) return new Point3Value(c[0], c[1], c[2]);
    return new Point2Value(c[0], c[1]);
}

// ---- control flow ----

Value* Block::eval() {
    Value* v = &undefined;
    for (Node* n : items) {
        frame->line = n->line;
        v = n->eval();
    }
    return v;
}

Value* If::eval() {
    if (truth(cond->eval())) return then_part->eval();
    if (else_part) return else_part->eval();
    return &undefined;
}

namespace {
// One pass of a loop body; continue ends the pass early and keeps the last result.
void run_pass(Node* body, Value*& result) {
    maybe_gc();
    SavePoint it = save();
    try {
        result = body->eval();
    } catch (ContinueSignal&) {
        restore(it);
    }
}
}  // namespace

Value* While::eval() {
    SavePoint saved = save();
    Value* result = &undefined;
    try {
        if (do_while) {
            do run_pass(body, result);
            while (truth(cond->eval()));
        } else {
            while (truth(cond->eval())) run_pass(body, result);
        }
    } catch (ExitSignal& e) {
        restore(saved);
        return e.value ? e.value : &ok;
    }
    return result;
}

Value* ForLoop::eval() {
    SavePoint saved = save();
    Mark m;
    Array* collected = nullptr;
    if (collect) push(collected = new Array(0));
    auto set_var = [&](Value* v) {
        frame->slots[var->slot] = var->captured ? new Box(v) : v;
    };
    bool stopped = false;  // for ... while c: c went false
    auto one = [&]() {
        maybe_gc();
        SavePoint it = save();
        try {
            if (while_cond && !truth(while_cond->eval())) {
                stopped = true;
                return;
            }
            if (where && !truth(where->eval())) return;
            Value* v = body->eval();
            if (collected) collected->append(v);
        } catch (ContinueSignal&) {
            restore(it);
        }
    };
    try {
        if (from) {
            Value* a = from->eval();
            push(a);
            Value* b = to->eval();
            push(b);
            Value* s = step ? step->eval() : nullptr;
            if (s) push(s);
            if (a->tag == &Integer_class && b->tag == &Integer_class && (!s || s->tag == &Integer_class)) {
                long long i = static_cast<Integer*>(a)->value, end = static_cast<Integer*>(b)->value;
                long long by = s ? static_cast<Integer*>(s)->value : 1;
                if (by == 0) throw RuntimeError("for loop step of zero");
                if (!collected && !while_cond && !where && !var->captured) {
                    // The plain counted loop, without the lambda's questions each pass; a
                    // variable nothing reads is not made at all.
                    Value** slot = var->refs > 0 ? &frame->slots[var->slot] : nullptr;
                    const SavePoint it = save();  // every pass starts from the same point
                    // Native code below the loop stays for every pass, so whether a pass may
                    // collect is known once.
                    const bool may_collect = native_depth == 0;
                    long long passes = by > 0 ? (i <= end ? (end - i) / by + 1 : 0) : (i >= end ? (i - end) / -by + 1 : 0);
                    for (; passes > 0; --passes, i += by) {
                        if (slot) *slot = make_int(static_cast<int>(i));
                        if (may_collect && (gc_stress_period || heap_detail::live_count() >= gc_threshold)) collect_now();
                        try {
                            body->eval();
                        } catch (ContinueSignal&) {
                            restore(it);
                        }
                    }
                } else {
                    for (; !stopped && (by > 0 ? i <= end : i >= end); i += by) {
                        set_var(make_int(static_cast<int>(i)));
                        one();
                    }
                }
            } else {
                float i = a->to_float(), end = b->to_float(), by = s ? s->to_float() : 1.0f;
                if (!(by != 0)) throw RuntimeError("for loop step of zero");
                for (long long n = 0; !stopped && (by > 0 ? i <= end : i >= end); ++n, i = a->to_float() + by * static_cast<float>(n)) {
                    if (n > 100000000) throw RuntimeError("for loop does not end");
                    set_var(make_float(i));
                    one();
                }
            }
        } else {
            Value* c = push(collection->eval());
            if (c->tag == &Array_class) {
                auto* arr = static_cast<Array*>(c);
                for (int i = 0; i < arr->size && !stopped; ++i) {
                    Value* v = arr->data[i];
                    set_var(v ? v : &undefined);
                    one();
                }
            } else if (c->tag == &BitArray_class) {
                for (int i : bit_array_indices(static_cast<BitArray*>(c))) {
                    if (stopped) break;
                    set_var(make_int(i));
                    one();
                }
            } else if (c->tag == &String_class) {
                std::string text = static_cast<String*>(c)->text;
                for (char ch : text) {
                    if (stopped) break;
                    set_var(new String(std::string(1, ch).c_str()));
                    one();
                }
            } else {
                throw TypeError("for ... in needs a collection", c, &Array_class);
            }
        }
    } catch (ExitSignal& e) {
        restore(saved);
        return e.value ? e.value : &ok;
    }
    if (collected) return collected;
    return &ok;
}

Value* Case::eval() {
    Mark m;
    Value* subj = subject ? push(subject->eval()) : nullptr;
    for (const CaseClause& c : clauses) {
        if (!c.label) continue;
        Value* l = c.label->eval();
        if (subj ? values_equal(subj, l) : truth(l)) return c.body->eval();
    }
    for (const CaseClause& c : clauses)
        if (!c.label) return c.body->eval();
    return &undefined;
}

Value* Try::eval() {
    SavePoint saved = save();
    std::exception_ptr caught;
    std::string text;
    try {
        return body->eval();
    } catch (MAXScriptException& e) {
        caught = std::current_exception();
        text = e.message();
    } catch (std::bad_alloc&) {
        caught = std::current_exception();
        text = "-- Runtime error: out of memory";
    }
    restore(saved);
    trace_taken = false;
    std::exception_ptr outer = current_exception;
    std::string outer_text = current_exception_text;
    current_exception = caught;
    current_exception_text = text;
    try {
        Value* v = handler->eval();
        current_exception = outer;
        current_exception_text = outer_text;
        return v;
    } catch (...) {
        current_exception = outer;
        current_exception_text = outer_text;
        throw;
    }
}

Value* Throw::eval() {
    if (!value) {
        if (!current_exception) throw RuntimeError("throw without a value outside of a catch");
        std::rethrow_exception(current_exception);
    }
    Mark m;
    Value* v = push(value->eval());
    std::string text = v->tag == &String_class ? std::string(v->to_string()) : print_form(v);
    if (detail) text += " " + print_form(detail->eval());
    throw ScriptThrow(text);
}

Value* Exit::eval() { throw ExitSignal{value ? value->eval() : nullptr}; }
Value* Continue::eval() { throw ContinueSignal{}; }
Value* Return::eval() { throw ReturnSignal{value ? value->eval() : &ok}; }

// ---- definitions ----

Value* FnDef::eval() {
    Mark m;
    ScriptFunction* f = make_closure(proto);
    push(f);
    if (store) {
        Const c(f);
        store->assign(Tok::Assign, &c);
    }
    return f;
}

Value* StructDefNode::eval() {
    Mark m;
    auto* def = new StructDef(this);
    push(def);
    def->chunk = frame && frame->fn ? frame->fn->chunk : nullptr;
    for (size_t i = 0; i < members.size(); ++i) {
        def->defaults.push_back(defaults[i] ? make_closure(defaults[i]) : nullptr);
        def->methods.push_back(methods[i] ? make_closure(methods[i]) : nullptr);
    }
    if (on_create) def->create_handler = make_closure(on_create);
    if (on_clone) def->clone_handler = make_closure(on_clone);
    if (store) {
        Const c(def);
        store->assign(Tok::Assign, &c);
    }
    return def;
}

Value* (*rollout_builder)(RolloutDefNode* node) = nullptr;

Value* RolloutDefNode::eval() {
    if (!rollout_builder) throw RuntimeError("rollouts need the Windows host");
    return rollout_builder(this);
}
