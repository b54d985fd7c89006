// parser_test.cpp - source text to the exact syntax tree (as S-expressions) or the exact error, one table.
#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>

#include "host/core/value.h"
#include "host/maxscript/globals.h"
#include "host/maxscript/parser.h"

namespace {

std::string tree(const Node* n);

// A name without the # its print form starts with.
std::string word(Value* name) {
    std::string s = print_form(name);
    return !s.empty() && s[0] == '#' ? s.substr(1) : s;
}

std::string list(const std::vector<Node*>& nodes) {
    std::string s;
    for (const Node* n : nodes) s += " " + tree(n);
    return s;
}

std::string keys(const std::vector<KeyArgNode>& ks) {
    std::string s;
    for (const KeyArgNode& k : ks) s += " " + word(k.name) + ":" + tree(k.value);
    return s;
}

std::string optional(const char* label, const Node* n) { return n ? std::string(" ") + label + tree(n) : ""; }

std::string op(Tok t) { return token_spelling(t); }

std::string params(const FnProto* p) {
    std::string s = "(";
    for (size_t i = 0; i < p->params.size(); ++i) {
        if (i) s += ' ';
        if (p->params[i]->by_ref) s += '&';
        s += word(p->params[i]->name);
        if (i >= size_t(p->nparams)) s += ':';
    }
    return s + ")";
}

std::string function(const char* head, const FnProto* p) {
    return std::string("(") + head + " " + p->name + " " + params(p) + " " + tree(p->body) + ")";
}

std::string statements(const Node* n) {
    if (auto b = dynamic_cast<const Block*>(n)) return list(b->items);
    return " " + tree(n);
}

std::string definition(const Node* n) {
    if (auto d = dynamic_cast<const FnDef*>(n))
        return function(d->proto->mapped ? "mapped-fn" : "fn", d->proto);
    if (auto s = dynamic_cast<const StructDefNode*>(n)) {
        std::string out = "(struct " + s->spelling;
        for (size_t i = 0; i < s->members.size(); ++i) {
            out += " ";
            if (s->is_private[i]) out += "private:";
            out += s->methods[i] ? function("fn", s->methods[i]) : word(s->members[i]);
            if (s->defaults[i]) out += "=" + tree(s->defaults[i]->body);
        }
        return out + ")";
    }
    if (auto r = dynamic_cast<const RolloutDefNode*>(n)) {
        std::string out = std::string("(") + (r->is_menu ? "rcmenu " : "rollout ") + word(r->name) +
                          optional("", r->title) + keys(r->keys) + list(r->locals);
        for (const ControlClause& c : r->controls) {
            if (c.kind == ControlClause::Kind::GroupStart) out += " (group" + optional("", c.caption) + ")";
            else if (c.kind == ControlClause::Kind::GroupEnd) out += " (end-group)";
            else if (c.kind == ControlClause::Kind::SubMenuStart) out += " (submenu" + optional("", c.caption) + ")";
            else if (c.kind == ControlClause::Kind::SubMenuEnd) out += " (end-submenu)";
            else out += " (" + word(c.keyword) + " " + word(c.var->name) + optional("", c.caption) + keys(c.keys) + ")";
        }
        for (const FnDef* f : r->functions) out += " " + tree(f);
        for (const HandlerClause& h : r->handlers)
            out += " (on " + word(h.control) + " " + word(h.event) + " " + params(h.proto) + " " +
                   tree(h.proto->body) + ")";
        return out + ")";
    }
    return "";
}

std::string control_flow(const Node* n) {
    if (auto i = dynamic_cast<const If*>(n))
        return std::string(i->is_do ? "(if-do " : "(if ") + tree(i->cond) + " " + tree(i->then_part) +
               optional("", i->else_part) + ")";
    if (auto w = dynamic_cast<const While*>(n))
        return w->do_while ? "(do " + tree(w->body) + " while " + tree(w->cond) + ")"
                           : "(while " + tree(w->cond) + " " + tree(w->body) + ")";
    if (auto f = dynamic_cast<const ForLoop*>(n)) {
        std::string out = "(for " + word(f->var->name);
        if (f->collection) out += " in " + tree(f->collection);
        else out += " from " + tree(f->from) + " to " + tree(f->to) + optional("by ", f->step);
        out += optional("where ", f->where) + optional("while ", f->while_cond);
        return out + (f->collect ? " collect " : " do ") + tree(f->body) + ")";
    }
    if (auto c = dynamic_cast<const Case*>(n)) {
        std::string out = "(case" + optional("", c->subject);
        for (const CaseClause& k : c->clauses)
            out += " (" + (k.label ? tree(k.label) : std::string("default")) + " " + tree(k.body) + ")";
        return out + ")";
    }
    if (auto t = dynamic_cast<const Try*>(n)) return "(try " + tree(t->body) + " " + tree(t->handler) + ")";
    if (auto t = dynamic_cast<const Throw*>(n)) return "(throw" + optional("", t->value) + optional("", t->detail) + ")";
    if (auto e = dynamic_cast<const Exit*>(n)) return "(exit" + optional("", e->value) + ")";
    if (dynamic_cast<const Continue*>(n)) return "(continue)";
    if (auto r = dynamic_cast<const Return*>(n)) return "(return" + optional("", r->value) + ")";
    return "";
}

std::string expression(const Node* n) {
    if (auto c = dynamic_cast<const Const*>(n)) return print_form(c->value);
    if (auto r = dynamic_cast<const LocalRef*>(n)) return "local:" + word(r->var->name);
    if (auto r = dynamic_cast<const UpvalRef*>(n)) return "outer:" + word(r->name);
    if (auto r = dynamic_cast<const GlobalRef*>(n)) return word(r->cell->name);
    if (auto r = dynamic_cast<const MemberRef*>(n)) return "member:" + word(r->name);
    if (auto d = dynamic_cast<const LocalDecl*>(n)) return "(local " + word(d->var->name) + optional("", d->init) + ")";
    if (auto d = dynamic_cast<const GlobalDecl*>(n)) return "(global " + word(d->cell->name) + optional("", d->init) + ")";
    if (auto p = dynamic_cast<const Property*>(n)) return "(. " + tree(p->object) + " " + word(p->name) + ")";
    if (auto i = dynamic_cast<const Index*>(n)) return "([] " + tree(i->object) + " " + tree(i->index) + ")";
    if (auto a = dynamic_cast<const Assign*>(n)) return "(" + op(a->op) + " " + tree(a->target) + " " + tree(a->value) + ")";
    if (auto c = dynamic_cast<const Call*>(n)) return "(call " + tree(c->function) + list(c->args) + keys(c->keys) + ")";
    if (auto u = dynamic_cast<const Unary*>(n))
        return std::string("(") + (u->op == Tok::Minus ? "neg " : "not ") + tree(u->operand) + ")";
    if (auto b = dynamic_cast<const Binary*>(n)) return "(" + op(b->op) + " " + tree(b->left) + " " + tree(b->right) + ")";
    if (auto l = dynamic_cast<const Logical*>(n))
        return std::string(l->is_and ? "(and " : "(or ") + tree(l->left) + " " + tree(l->right) + ")";
    if (auto a = dynamic_cast<const AsNode*>(n)) return "(as " + tree(a->value) + " " + tree(a->target_class) + ")";
    if (auto a = dynamic_cast<const ArrayLit*>(n)) return "(array" + list(a->items) + ")";
    if (auto p = dynamic_cast<const PointLit*>(n)) return "(point" + list(p->items) + ")";
    if (auto b = dynamic_cast<const Block*>(n)) return "(block" + list(b->items) + ")";
    if (dynamic_cast<const SelfRef*>(n)) return "this";
    if (auto p = dynamic_cast<const PathNameNode*>(n)) return "$" + p->pattern;
    if (auto r = dynamic_cast<const RefExpr*>(n)) return "(& " + tree(r->target) + ")";
    if (auto d = dynamic_cast<const DerefExpr*>(n)) return "(deref " + tree(d->target) + ")";
    if (dynamic_cast<const LastResult*>(n)) return "?";
    if (auto b = dynamic_cast<const BitArrayLit*>(n)) {
        std::string out = "(bits";
        for (size_t i = 0; i < b->from.size(); ++i) out += " " + tree(b->from[i]) + (b->to[i] ? ".." + tree(b->to[i]) : "");
        return out + ")";
    }
    if (auto c = dynamic_cast<const ContextExpr*>(n))
        return "(context " + word(c->kind) + optional("", c->label) + optional("", c->value) +
               (c->fixed ? " " + word(c->fixed) : "") + optional("", c->body) + ")";
    return "";
}

std::string tree(const Node* n) {
    if (!n) return "nil";
    for (auto part : {expression, control_flow, definition}) {
        std::string s = part(n);
        if (!s.empty()) return s;
    }
    return std::string("?") + typeid(*n).name();
}

// The tree of the text's top level, or its error as line:column: message.
std::string parsed(const std::string& text) {
    SyntaxError error;
    std::shared_ptr<Chunk> chunk = parse_chunk(text, "", &error);
    if (!chunk) return "error@" + std::to_string(error.line) + ":" + std::to_string(error.column) + ": " + error.message;
    return statements(chunk->main->body).substr(1);
}

struct ParseCase {
    const char* text;
    const char* tree;
};

TEST(Parser, TreesAndErrors) {
    const ParseCase cases[] = {
        // literals
        {"42", "42"},
        {"-2.5", "-2.5"},
        {"\"text\"", "\"text\""},
        {"#name", "#name"},
        {"true; false; undefined; ok", "true false undefined OK"},
        {"#(1, 2)", "(array 1 2)"},
        {"[1, 2]; [1, 2, 3]", "(point 1 2) (point 1 2 3)"},
        {"#{1, 3..5}", "(bits 1 3..5)"},
        {"10f", "10f"},
        // names: globals, locals, outer locals, properties, indexes, paths
        {"x", "x"},
        {"local a = 1; a", "(global a 1) a"},
        {"global g = 2", "(global g 2)"},
        {"a.b.c", "(. (. a b) c)"},
        {"a[1][2]", "([] ([] a 1) 2)"},
        {"$box01.pos; $*", "(. $box01 pos) $*"},
        {"?", "?"},
        // operators and their precedence
        {"1 + 2 * 3", "(+ 1 (* 2 3))"},
        {"(1 + 2) * 3", "(* (block (+ 1 2)) 3)"},
        {"2 ^ 3 ^ 2", "(^ 2 (^ 3 2))"},
        {"1 - 2 - 3", "(- (- 1 2) 3)"},
        {"-a.b", "(neg (. a b))"},
        {"a < b and not c or d", "(or (and (< a b) (not c)) d)"},
        {"a == b != c", "(!= (== a b) c)"},
        {"x as string", "(as x string)"},
        {"f 1 2 k:3", "(call f 1 2 k:3)"},
        {"f()", "(call f)"},
        {"a.f (b + 1)", "(call (. a f) (block (+ b 1)))"},
        // assignment, compound assignment
        {"x = 1", "(= x 1)"},
        {"x += 1; x -= 2; x *= 3; x /= 4", "(+= x 1) (-= x 2) (*= x 3) (/= x 4)"},
        {"a.b[2] = c", "(= ([] (. a b) 2) c)"},
        // blocks and control flow
        {"(a; b)", "(block a b)"},
        {"if a then b else c", "(if a b c)"},
        {"if a do b", "(if-do a b)"},
        {"while a do b", "(while a b)"},
        {"do a while b", "(do a while b)"},
        {"for i = 1 to 10 by 2 do print i", "(for i from 1 to 10 by 2 do (call print local:i))"},
        {"for x in xs where x > 1 collect x", "(for x in xs where (> local:x 1) collect local:x)"},
        {"for i = 1 to 3 while i < 2 do continue", "(for i from 1 to 3 while (< local:i 2) do (continue))"},
        {"case x of (1: a; default: b)", "(case x (1 a) (default b))"},
        {"case of (a: 1; b: 2)", "(case (a 1) (b 2))"},
        {"try a catch b", "(try a b)"},
        {"throw \"boom\"", "(throw \"boom\")"},
        {"exit with 3", "(exit 3)"},
        // functions and structs
        {"fn f a b k:1 = a + b", "(fn f (a b k:) (+ local:a local:b))"},
        {"fn g = (local t = 1; t)", "(fn g () (block (local t 1) local:t))"},
        {"fn h a = (fn inner = a; inner())", "(fn h (a) (block (fn inner () outer:a) (call local:inner)))"},
        {"fn r = return 5", "(fn r () 5)"},
        {"mapped fn m x = x", "(mapped-fn m (x) local:x)"},
        {"fn byref &v = (*v = 1)", "(fn byref (&v) (block (= (deref local:v) 1)))"},
        {"struct point3d (x = 0, y, fn len = x + y, private z)", "(struct point3d x=0 y (fn len () (+ member:x member:y)) private:z)"},
        // rollouts and menus
        {"rollout ro \"Title\" width:200 (button b \"Press\" width:50; on b pressed do print 1)", "(rollout ro \"Title\" width:200 (button b \"Press\" width:50) (on b pressed () (call print 1)))"},
        {"rollout ro \"T\" (local n = 0; group \"G\" (checkbox c); fn f = n)", "(rollout ro \"T\" (local n 0) (group \"G\") (checkbox c) (end-group) (fn f () outer:n))"},
        {"rcmenu m (menuItem a \"A\"; separator s; on a picked do print 2)", "(rcmenu m (menuItem a \"A\") (separator s) (on a picked () (call print 2)))"},
        // contexts
        {"with undo off (a)", "(context undo false (block a))"},
        {"at time 10 a", "(context time 10 a)"},
        // errors, with where they are
        {"1 +", "error@1:4: at end of input, expected an expression"},
        {"(1", "error@1:3: at end of input, expected \")\""},
        {"a = ", "error@1:5: at end of input, expected an expression"},
        {"if a then", "error@1:10: at end of input, expected an expression"},
        {"for i = 1 do x", "error@1:11: at \"do\", expected \"to\""},
        {"fn = 1", "error@1:4: at \"=\", expected a function name"},
        {"case x of (1 a)", "error@1:14: at \"a\", expected \":\""},
        {"x\n  )", "error@2:3: at \")\", expected an expression"},
        {"#(1, )", "error@1:6: at \")\", expected an expression"},
        {"struct (x)", "error@1:8: at \"(\", expected a struct name"},
        {"rollout ro \"T\" (button)", "error@1:23: at \")\", expected a control name"},
    };
    for (const ParseCase& c : cases) EXPECT_EQ(parsed(c.text), c.tree) << c.text;
}

}  // namespace
