// parser_core.h - the recursive descent parser's state and its core levels; the
// definitions and context expressions live in parse_definitions.cpp and parse_contexts.cpp.
#pragma once
#include <algorithm>
#include <cctype>
#include <cstring>
#include <initializer_list>
#include <set>

#include "host/maxscript/count_guard.h"
#include "host/maxscript/globals.h"
#include "host/maxscript/parser.h"
#include "host/maxscript/grammar_values.h"
#include "host/maxscript/script_values.h"

namespace ms_parse {

struct ParseFailure {};

enum class ScopeKind { Top, Function, Rollout, Struct };

struct Scope {
    Scope* parent;
    ScopeKind kind;
    FnProto* proto;                            // null for struct scopes (they have no frame)
    std::vector<std::vector<VarInfo*>> blocks;
    StructDefNode* st = nullptr;
};

enum class Res { Local, Upval, Global, Member };
struct Resolved {
    Res kind;
    VarInfo* var = nullptr;
    int index = 0;
};

inline const std::set<std::string>& reserved() {
    static const std::set<std::string> words = {
        "and", "or", "not", "if", "then", "else", "do", "while", "for", "in", "to", "by", "where",
        "collect", "case", "of", "default", "try", "catch", "throw", "fn", "function", "mapped",
        "return", "exit", "continue", "struct", "rollout", "local", "global", "with", "as",
        "true", "false", "on", "off", "undefined", "ok", "unsupplied", "group", "rcmenu"};
    return words;
}

inline std::string lower(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

inline bool is_assign_op(Tok t) {
    return t == Tok::Assign || t == Tok::PlusAssign || t == Tok::MinusAssign || t == Tok::StarAssign ||
           t == Tok::SlashAssign;
}

class Parser {
public:
    Parser(std::vector<Token> tokens, std::shared_ptr<Chunk> chunk, SyntaxError* error)
        : t(std::move(tokens)), chunk(std::move(chunk)), err(error) {}

    bool run() {
        try {
            FnProto* main = proto("top level");
            Scope top{nullptr, ScopeKind::Top, main, {}};
            scope = &top;
            auto* body = node<Block>(cur());
            for (;;) {
                skip_separators();
                if (at(Tok::End)) break;
                body->items.push_back(parse_expr());
                expect_item_end();
            }
            main->body = body;
            chunk->main = main;
            return true;
        } catch (ParseFailure&) {
            return false;
        }
    }

    // ---- parse_contexts.cpp / parse_definitions.cpp ----
    Node* parse_special_form(const std::string& w);
    bool context_starts(bool after_with);
    ContextExpr* parse_one_context();
    Node* parse_with();
    Node* parse_set();
    Node* parse_context_chain();
    Node* parse_macroscript();
    Node* parse_scripted(Value* kind);
    void parse_scripted_body(ScriptedDefNode* def);
    void parse_parameters_block(ScriptedDefNode* def);
    HandlerDef parse_generic_handler(const std::string& owner);
    Node* parse_when();
    void parse_header_keys(std::vector<KeyArgNode>& keys);
    bool next_line_starts_with_key();
    bool inside_struct() const {
        for (Scope* s = scope; s; s = s->parent)
            if (s->kind == ScopeKind::Struct) return true;
        return false;
    }
    int paren_depth = 0;       // keyword arguments may continue on the next line only inside ( )
    bool in_case_body = false;  // ... but not in a case clause, whose next label may look like one

private:
    std::vector<Token> t;
    size_t pos = 0;
    std::shared_ptr<Chunk> chunk;
    SyntaxError* err;
    Scope* scope = nullptr;
    int depth = 0;

    // ---- tokens ----
    const Token& cur() const { return t[pos]; }
    const Token& peek(size_t k = 1) const { return t[std::min(pos + k, t.size() - 1)]; }
    bool at(Tok k) const { return cur().kind == k; }
    void advance() {
        if (pos + 1 < t.size()) ++pos;
    }
    bool is_kw(const Token& tok, const char* word) const {
        return tok.kind == Tok::Ident && lower(tok.text) == word;
    }
    bool at_kw(const char* word) const { return is_kw(cur(), word); }
    bool is_reserved(const Token& tok) const {
        return tok.kind == Tok::Ident && reserved().count(lower(tok.text));
    }

    [[noreturn]] void fail(const Token& tok, const std::string& message) {
        err->message = message;
        err->line = tok.line;
        err->column = tok.column;
        err->at_end = tok.kind == Tok::End;
        throw ParseFailure{};
    }
    std::string describe(const Token& tok) const {
        switch (tok.kind) {
            case Tok::Ident: return "\"" + tok.text + "\"";
            case Tok::KeyArg: return "\"" + tok.text + ":\"";
            case Tok::Int: case Tok::Float: return "number";
            case Tok::String: return "string";
            case Tok::Name: return "#" + tok.text;
            case Tok::End: case Tok::Newline: return token_spelling(tok.kind);
            default: return std::string("\"") + token_spelling(tok.kind) + "\"";
        }
    }
    [[noreturn]] void unexpected(const char* wanted) {
        if (at(Tok::Error)) fail(cur(), cur().text);
        fail(cur(), std::string("at ") + describe(cur()) + ", expected " + wanted);
    }
    void expect(Tok k, const char* wanted) {
        if (!at(k)) unexpected(wanted);
        advance();
    }
    // Steps over the keyword when it is next; says whether it was.
    bool accept_kw(const char* word) {
        if (!at_kw(word)) return false;
        advance();
        return true;
    }
    void expect_kw(const char* word) {
        if (!accept_kw(word)) unexpected((std::string("\"") + word + "\"").c_str());
    }
    // One of two keywords must come next; true when it was the second.
    bool expect_kw_or(const char* first, const char* second) {
        if (accept_kw(first)) return false;
        if (accept_kw(second)) return true;
        unexpected((std::string("\"") + first + "\" or \"" + second + "\"").c_str());
    }
    void skip_newlines() {
        while (at(Tok::Newline)) advance();
    }
    void skip_separators() {
        while (at(Tok::Newline) || at(Tok::Semicolon)) advance();
    }
    void expect_item_end() {
        if (at(Tok::Newline) || at(Tok::Semicolon) || at(Tok::End) || at(Tok::RParen)) return;
        unexpected("end of line");
    }
    // Looks past line ends for a continuation keyword (else, catch, while); stays put otherwise.
    bool continues_with(const char* word) {
        size_t save = pos;
        skip_newlines();
        if (at_kw(word)) return true;
        pos = save;
        return false;
    }

    struct DepthGuard {
        Parser& p;
        explicit DepthGuard(Parser& p) : p(p) {
            if (++p.depth > kMaxNesting) p.fail(p.cur(), "expression nested too deeply");
        }
        ~DepthGuard() { --p.depth; }
    };

    // ---- nodes and values ----
    template <class N, class... A>
    N* node(const Token& at_tok, A&&... args) {
        auto* n = new N(std::forward<A>(args)...);
        n->line = at_tok.line;
        n->column = at_tok.column;
        chunk->nodes.emplace_back(n);
        return n;
    }
    Value* constant(Value* v) {
        chunk->constants.push_back(v);
        return v;
    }
    FnProto* proto(const std::string& name) {
        auto* p = new FnProto;
        p->name = name;
        p->name_value = Name::intern(name.c_str());
        p->file = &chunk->file;
        chunk->protos.emplace_back(p);
        return p;
    }
    Value* name_of(const Token& tok) { return Name::intern(tok.text.c_str()); }

    // ---- scopes ----
    VarInfo* declare(Scope* s, Value* name) {
        FnProto* owner = s->proto;
        auto* v = new VarInfo{name, owner->nslots++};
        chunk->vars.emplace_back(v);
        if (s->blocks.empty()) s->blocks.emplace_back();
        s->blocks.back().push_back(v);
        if (s->kind == ScopeKind::Rollout) v->captured = true;
        return v;
    }
    VarInfo* find_in_current_block(Value* name) {
        if (scope->blocks.empty()) return nullptr;
        for (VarInfo* v : scope->blocks.back())
            if (v->name == name) return v;
        return nullptr;
    }
    int add_upval(Scope* s, UpvalDesc d) {
        auto& u = s->proto->upvals;
        for (size_t i = 0; i < u.size(); ++i)
            if (u[i].from_parent_local == d.from_parent_local && u[i].index == d.index) return static_cast<int>(i);
        u.push_back(d);
        return static_cast<int>(u.size() - 1);
    }
    Resolved find(Scope* s, Value* name) {
        for (auto b = s->blocks.rbegin(); b != s->blocks.rend(); ++b)
            for (auto v = b->rbegin(); v != b->rend(); ++v)
                if ((*v)->name == name) return {Res::Local, *v};
        if (s->kind == ScopeKind::Struct) {
            auto& m = s->st->members;
            for (size_t i = 0; i < m.size(); ++i)
                if (m[i] == name) return {Res::Member, nullptr, static_cast<int>(i)};
        }
        Scope* p = s->parent;
        if (!p) return {Res::Global};
        Resolved r = find(p, name);
        if (s->kind == ScopeKind::Struct) return r;  // no frame of its own: pass through
        switch (r.kind) {
            case Res::Global: return r;
            case Res::Member:
                // Members are read through the running method's instance only.
                if (p->kind == ScopeKind::Struct) return r;
                return {Res::Global};
            case Res::Local:
                r.var->captured = true;
                return {Res::Upval, nullptr, add_upval(s, {true, r.var->slot})};
            case Res::Upval:
                return {Res::Upval, nullptr, add_upval(s, {false, r.index})};
        }
        return {Res::Global};
    }
    Node* ref(const Token& tok, Value* name, bool for_write) {
        static Value* this_name = Name::intern("this");
        if (name == this_name && inside_struct() && find(scope, name).kind == Res::Global) return node<SelfRef>(tok);
        Resolved r = find(scope, name);
        if (r.kind == Res::Global && for_write && !global_cell(name, false) && in_local_context()) {
            // An undeclared variable assigned inside a block or function is local there.
            r = {Res::Local, declare(scope, name)};
        }
        switch (r.kind) {
            case Res::Local: return node<LocalRef>(tok, r.var);
            case Res::Upval: return node<UpvalRef>(tok, r.index, name);
            case Res::Member: return node<MemberRef>(tok, r.index, name);
            case Res::Global: break;
        }
        return node<GlobalRef>(tok, global_cell(name, true));
    }
    bool in_local_context() const {
        return scope->kind != ScopeKind::Top || !scope->blocks.empty();
    }
    // Where a definition (fn, struct, rollout) stores itself: a global at top level,
    // else a local of the current block.
    Node* definition_target(const Token& tok, Value* name) {
        if (!in_local_context()) return node<GlobalRef>(tok, global_cell(name, true));
        VarInfo* v = find_in_current_block(name);
        if (!v) v = declare(scope, name);
        return node<LocalRef>(tok, v);
    }

    // ---- expressions ----
    Node* parse_expr() {
        DepthGuard guard(*this);
        const Token& tok = cur();
        if (tok.kind == Tok::Ident) {
            std::string w = lower(tok.text);
            if (w == "if") return parse_if();
            if (w == "while") return parse_while();
            if (w == "do") return parse_do();
            if (w == "for") return parse_for();
            if (w == "case") return parse_case();
            if (w == "try") return parse_try();
            if (w == "fn" || w == "function" || w == "mapped") return parse_fn();
            if (w == "struct") return parse_struct();
            if (w == "rollout" || w == "rcmenu") return parse_rollout();
            if (w == "local" || w == "global") return parse_decl(w == "global");
            if (Node* special = parse_special_form(w)) return special;
            if (w == "return") {
                advance();
                auto* n = node<Return>(tok);
                n->value = ends_expression() ? nullptr : parse_expr();
                return n;
            }
            if (w == "exit") {
                advance();
                auto* n = node<Exit>(tok);
                n->value = nullptr;
                if (accept_kw("with")) {
                    n->value = parse_expr();
                }
                return n;
            }
            if (w == "continue") {
                advance();
                return node<Continue>(tok);
            }
            if (w == "throw") {
                advance();
                auto* n = node<Throw>(tok);
                n->value = ends_expression() ? nullptr : parse_expr();
                if (n->value && starts_argument(cur()) && !at(Tok::KeyArg)) n->detail = parse_operand();
                return n;
            }
            if (!is_reserved(tok) && is_assign_op(peek().kind)) {
                Node* target = ref(tok, name_of(tok), true);
                advance();
                return parse_assignment(target);
            }
        }
        Node* e = parse_or();
        if (is_assign_op(cur().kind)) {
            if (!e->assignable()) fail(cur(), "cannot assign to this expression");
            return parse_assignment(e);
        }
        return e;
    }
    bool ends_expression() const {
        return at(Tok::Newline) || at(Tok::Semicolon) || at(Tok::RParen) || at(Tok::End);
    }
    Node* parse_assignment(Node* target) {
        const Token& optok = cur();
        Tok op = optok.kind;
        advance();
        skip_newlines();
        Node* value = parse_expr();
        return node<Assign>(optok, target, op, value);
    }

    // One level of "or" or "and", left-associative: operands come from `next`.
    template <typename Next>
    Node* parse_logical(const char* word, Next next) {
        const bool is_and = std::strcmp(word, "and") == 0;
        Node* l = (this->*next)();
        while (at_kw(word)) {
            const Token& tok = cur();
            advance();
            skip_newlines();
            l = node<Logical>(tok, is_and, l, (this->*next)());
        }
        return l;
    }
    Node* parse_or() { return parse_logical("or", &Parser::parse_and); }
    Node* parse_and() { return parse_logical("and", &Parser::parse_not); }
    Node* parse_not() {
        if (at_kw("not")) {
            DepthGuard guard(*this);
            const Token& tok = cur();
            advance();
            return node<Unary>(tok, Tok::Ident, parse_not());
        }
        return parse_compare();
    }
    // One level of left-associative binary operators: operands come from `next`.
    template <typename Next>
    Node* parse_left_assoc(std::initializer_list<Tok> ops, Next next) {
        Node* l = (this->*next)();
        auto at_op = [&] {
            for (Tok t : ops)
                if (at(t)) return true;
            return false;
        };
        while (at_op()) {
            const Token& tok = cur();
            advance();
            skip_newlines();
            l = node<Binary>(tok, tok.kind, l, (this->*next)());
        }
        return l;
    }
    Node* parse_compare() {
        return parse_left_assoc({Tok::Eq, Tok::Ne, Tok::Lt, Tok::Gt, Tok::Le, Tok::Ge}, &Parser::parse_add);
    }
    Node* parse_add() { return parse_left_assoc({Tok::Plus, Tok::Minus}, &Parser::parse_mul); }
    Node* parse_mul() { return parse_left_assoc({Tok::Star, Tok::Slash}, &Parser::parse_pow); }
    Node* parse_pow() {
        Node* base = parse_as();
        if (at(Tok::Caret)) {
            DepthGuard guard(*this);
            const Token& tok = cur();
            advance();
            skip_newlines();
            return node<Binary>(tok, Tok::Caret, base, parse_pow());
        }
        return base;
    }
    Node* parse_as() {
        Node* e = parse_unary();
        while (at_kw("as")) {
            const Token& tok = cur();
            advance();
            e = node<AsNode>(tok, e, parse_unary());
        }
        return e;
    }
    Node* parse_unary() {
        if (at(Tok::Minus)) {
            DepthGuard guard(*this);
            const Token& tok = cur();
            advance();
            return negated(tok, parse_unary());
        }
        if (at(Tok::Amp) || deref_starts()) return parse_ref_or_deref();
        return parse_call();
    }
    // *p, *(*c): a star written against a name or a parenthesis; "* 2" is no operand.
    bool deref_starts() const {
        if (!at(Tok::Star) || peek().space_before) return false;
        Tok k = peek().kind;
        return k == Tok::Ident || k == Tok::LParen || k == Tok::Star || k == Tok::DoubleColon;
    }
    // &x makes a reference to a variable, property or element; *p reads through one.
    Node* parse_ref_or_deref() {
        DepthGuard guard(*this);
        const Token& tok = cur();
        bool deref = at(Tok::Star);
        advance();
        Node* operand = deref ? parse_unary_or_operand() : parse_operand();
        if (deref) return node<DerefExpr>(tok, operand);
        if (!operand->assignable()) fail(tok, "& needs a variable, property or element");
        mark_referenced(operand);
        return node<RefExpr>(tok, operand);
    }
    Node* parse_unary_or_operand() {
        if (at(Tok::Amp) || deref_starts()) return parse_ref_or_deref();
        return parse_operand();
    }
    // A local someone takes a reference to lives in a box, so the reference outlives the frame.
    void mark_referenced(Node* n) {
        if (auto* l = dynamic_cast<LocalRef*>(n)) l->var->captured = true;
    }

    bool callable(Node* n) const {
        return dynamic_cast<LocalRef*>(n) || dynamic_cast<UpvalRef*>(n) || dynamic_cast<GlobalRef*>(n) ||
               dynamic_cast<MemberRef*>(n) || dynamic_cast<Property*>(n) || dynamic_cast<Index*>(n) ||
               dynamic_cast<Block*>(n);
    }
    bool starts_argument(const Token& tok) const {
        switch (tok.kind) {
            case Tok::Int: case Tok::Float: case Tok::String: case Tok::Name: case Tok::KeyArg:
            case Tok::LParen: case Tok::ArrayOpen: case Tok::LBracket: case Tok::Time: case Tok::PathName:
            case Tok::Amp: case Tok::Question: case Tok::DoubleColon: case Tok::BitArrayOpen:
                return true;
            case Tok::Ident: {
                if (!is_reserved(tok)) return true;
                std::string w = lower(tok.text);
                return w == "true" || w == "false" || w == "on" || w == "off" || w == "undefined" ||
                       w == "ok" || w == "unsupplied";
            }
            default:
                return false;
        }
    }
    Node* parse_call() {
        Node* e = parse_postfix(parse_primary());
        if (!callable(e)) return e;
        if (at(Tok::LParen) && peek().kind == Tok::RParen) {
            const Token& tok = cur();
            advance();
            advance();
            auto* call = node<Call>(tok);
            call->function = e;
            return parse_postfix(call);
        }
        if (!starts_argument(cur())) return e;
        auto* call = node<Call>(cur());
        call->line = cur().line;
        call->function = e;
        for (;;) {
            if (starts_argument(cur())) {
                if (at(Tok::KeyArg)) {
                    Value* key = name_of(cur());
                    advance();
                    call->keys.push_back({key, parse_operand()});
                } else {
                    call->args.push_back(parse_operand());
                }
            } else if (negative_argument(!call->args.empty() || !call->keys.empty())) {
                call->args.push_back(parse_operand());
            } else if (paren_depth > 0 && !in_case_body && next_line_starts_with_key()) {
                skip_newlines();
            } else {
                break;
            }
        }
        return call;
    }
    // f a -1: after an argument, a minus with a space before it and none after starts a
    // negative argument; a -1 alone stays a subtraction.
    bool negative_argument(bool after_argument) const {
        return after_argument && at(Tok::Minus) && cur().space_before && !peek().space_before &&
               peek().kind != Tok::Newline && peek().kind != Tok::End;
    }
    // An argument or keyword value: an operand with its property and index suffixes.
    Node* parse_operand() {
        DepthGuard guard(*this);
        if (at(Tok::Minus)) return parse_unary_operand();
        if (at(Tok::Amp) || deref_starts()) return parse_ref_or_deref();
        Node* e = parse_postfix(parse_primary());
        if (callable(e) && at(Tok::LParen) && peek().kind == Tok::RParen) {
            const Token& tok = cur();
            advance();
            advance();
            auto* call = node<Call>(tok);
            call->function = e;
            return parse_postfix(call);
        }
        return e;
    }
    // -operand; a negative literal is folded so -5 is one constant.
    Node* negated(const Token& tok, Node* operand) {
        if (auto* c = dynamic_cast<Const*>(operand)) {
            if (c->value->tag == &Integer_class)
                return node<Const>(tok, constant(new Integer(static_cast<int>(0u - static_cast<unsigned>(static_cast<Integer*>(c->value)->value)))));
            if (c->value->tag == &Float_class)
                return node<Const>(tok, constant(new Float(-static_cast<Float*>(c->value)->value)));
        }
        return node<Unary>(tok, Tok::Minus, operand);
    }
    Node* parse_unary_operand() {
        const Token& tok = cur();
        advance();
        return negated(tok, parse_operand());
    }
    Node* parse_postfix(Node* e) {
        for (;;) {
            if (at(Tok::Dot)) {
                const Token& tok = cur();
                advance();
                if (!(at(Tok::Ident) || at(Tok::KeyArg))) unexpected("a property name");
                if (at(Tok::KeyArg)) unexpected("a property name");
                e = node<Property>(tok, e, name_of(cur()));
                advance();
            } else if (at(Tok::LBracket) && !cur().space_before) {
                DepthGuard guard(*this);
                const Token& tok = cur();
                advance();
                skip_newlines();
                Node* index = parse_expr();
                skip_newlines();
                expect(Tok::RBracket, "\"]\"");
                e = node<Index>(tok, e, index);
            } else {
                return e;
            }
        }
    }
    Node* parse_primary() {
        DepthGuard guard(*this);
        const Token& tok = cur();
        switch (tok.kind) {
            case Tok::Int:
                advance();
                return node<Const>(tok, constant(new Integer(static_cast<int>(tok.int_value))));
            case Tok::Float:
                advance();
                return node<Const>(tok, constant(new Float(static_cast<float>(tok.float_value))));
            case Tok::String:
                advance();
                return node<Const>(tok, constant(new String(tok.text.c_str())));
            case Tok::Name:
                advance();
                return node<Const>(tok, constant(Name::intern(tok.text.c_str())));
            case Tok::Time:
                // A time past what ticks can count is the text's fault: a syntax error, not a crash.
                if (!(tok.float_value > -2147483648.0 && tok.float_value < 2147483647.0))
                    fail(tok, "time literal out of range: " + tok.text);
                advance();
                return node<Const>(tok, constant(make_time_ticks(tok.float_value)));
            case Tok::PathName: {
                advance();
                auto* p = node<PathNameNode>(tok);
                p->pattern = tok.text;
                return p;
            }
            case Tok::Question:
                advance();
                return node<LastResult>(tok);
            case Tok::DoubleColon: {  // ::name is the global of that name, whatever is in scope
                advance();
                if (!at(Tok::Ident) || is_reserved(cur())) unexpected("a global name");
                const Token& n = cur();
                advance();
                return node<GlobalRef>(n, global_cell(name_of(n), true));
            }
            case Tok::BitArrayOpen: return parse_bit_array();
            case Tok::LParen: return parse_block();
            case Tok::ArrayOpen: {
                advance();
                auto* a = node<ArrayLit>(tok);
                skip_newlines();
                if (at(Tok::RParen)) {
                    advance();
                    return a;
                }
                for (;;) {
                    skip_newlines();
                    a->items.push_back(parse_expr());
                    skip_newlines();
                    if (at(Tok::Comma)) {
                        advance();
                        continue;
                    }
                    expect(Tok::RParen, "\",\" or \")\"");
                    return a;
                }
            }
            case Tok::LBracket: {
                advance();
                auto* p = node<PointLit>(tok);
                for (;;) {
                    skip_newlines();
                    p->items.push_back(parse_expr());
                    skip_newlines();
                    if (at(Tok::Comma)) {
                        advance();
                        continue;
                    }
                    expect(Tok::RBracket, "\",\" or \"]\"");
                    break;
                }
                if (p->items.size() < 2 || p->items.size() > 4) fail(tok, "a point has 2, 3 or 4 components");
                return p;
            }
            case Tok::Ident: {
                std::string w = lower(tok.text);
                Value* v = nullptr;
                if (w == "true" || w == "on") v = &true_value;
                else if (w == "false" || w == "off") v = &false_value;
                else if (w == "undefined") v = &undefined;
                else if (w == "ok") v = &ok;
                else if (w == "unsupplied") v = unsupplied_value();
                if (v) {
                    advance();
                    return node<Const>(tok, v);
                }
                if (is_reserved(tok)) {
                    if (w == "if" || w == "case" || w == "for" || w == "while" || w == "do" || w == "try" ||
                        w == "fn" || w == "function")
                        fail(tok, "at \"" + tok.text + "\": put it in parentheses to use it here");
                    unexpected("an expression");
                }
                advance();
                return ref(tok, name_of(tok), false);
            }
            default:
                unexpected("an expression");
        }
    }
    Node* parse_bit_array() {
        auto* b = node<BitArrayLit>(cur());
        advance();
        for (;;) {
            skip_newlines();
            if (at(Tok::RBrace)) break;
            b->from.push_back(parse_expr());
            Node* to = nullptr;
            if (at(Tok::DotDot)) {
                advance();
                to = parse_expr();
            }
            b->to.push_back(to);
            skip_newlines();
            if (at(Tok::Comma)) {
                advance();
                continue;
            }
            if (!at(Tok::RBrace)) unexpected("\",\" or \"}\"");
        }
        advance();
        return b;
    }
    Node* parse_block() {
        const Token& open = cur();
        advance();
        auto* b = node<Block>(open);
        CountGuard in_parens(paren_depth);
        const bool saved_case = in_case_body;
        in_case_body = false;
        scope->blocks.emplace_back();
        for (;;) {
            skip_separators();
            if (at(Tok::RParen)) break;
            if (at(Tok::End)) unexpected("\")\"");
            b->items.push_back(parse_expr());
            expect_item_end();
        }
        advance();
        scope->blocks.pop_back();
        in_case_body = saved_case;
        return b;
    }

    // ---- control flow ----
    Node* parse_if() {
        auto* n = node<If>(cur());
        advance();
        skip_newlines();
        n->cond = parse_expr();
        skip_newlines();
        n->is_do = expect_kw_or("then", "do");
        skip_newlines();
        n->then_part = parse_expr();
        n->else_part = nullptr;
        if (!n->is_do && continues_with("else")) {
            advance();
            skip_newlines();
            n->else_part = parse_expr();
        }
        return n;
    }
    Node* parse_while() {
        auto* n = node<While>(cur());
        advance();
        skip_newlines();
        n->cond = parse_expr();
        skip_newlines();
        expect_kw("do");
        skip_newlines();
        n->body = parse_expr();
        return n;
    }
    Node* parse_do() {
        auto* n = node<While>(cur());
        n->do_while = true;
        advance();
        skip_newlines();
        n->body = parse_expr();
        if (!continues_with("while")) unexpected("\"while\"");
        advance();
        skip_newlines();
        n->cond = parse_expr();
        return n;
    }
    Node* parse_for() {
        auto* n = node<ForLoop>(cur());
        advance();
        if (!at(Tok::Ident) || is_reserved(cur())) unexpected("a loop variable");
        Value* var_name = name_of(cur());
        advance();
        // The bounds and collection are evaluated outside the loop's own scope.
        if (at(Tok::Assign)) {
            advance();
            n->from = parse_expr();
            expect_kw("to");
            n->to = parse_expr();
            if (accept_kw("by")) {
                n->step = parse_expr();
            }
        } else if (accept_kw("in")) {
            Node* c = parse_expr();
            if (accept_kw("to")) {
                n->from = c;
                n->to = parse_expr();
                if (accept_kw("by")) {
                    n->step = parse_expr();
                }
            } else {
                n->collection = c;
            }
        } else {
            unexpected("\"=\" or \"in\"");
        }
        scope->blocks.emplace_back();
        n->var = declare(scope, var_name);
        n->where = nullptr;
        skip_newlines();
        for (int clause = 0; clause < 2; ++clause) {
            if (at_kw("while") && !n->while_cond) {
                advance();
                n->while_cond = parse_expr();
                skip_newlines();
            } else if (at_kw("where") && !n->where) {
                advance();
                n->where = parse_expr();
                skip_newlines();
            }
        }
        n->collect = expect_kw_or("do", "collect");
        skip_newlines();
        n->body = parse_expr();
        scope->blocks.pop_back();
        return n;
    }
    Node* parse_case() {
        auto* n = node<Case>(cur());
        advance();
        n->subject = nullptr;
        if (!at_kw("of")) n->subject = parse_expr();
        expect_kw("of");
        skip_newlines();
        expect(Tok::LParen, "\"(\"");
        for (;;) {
            skip_separators();
            if (at(Tok::RParen)) break;
            CaseClause c{nullptr, nullptr};
            if (at_kw("default") && peek().kind == Tok::Colon) {  // default : with a space
                advance();
                advance();
            } else if (at(Tok::KeyArg)) {
                if (lower(cur().text) != "default") c.label = ref(cur(), name_of(cur()), false);
                advance();
            } else {
                c.label = parse_operand();
                expect(Tok::Colon, "\":\"");
            }
            skip_newlines();
            const bool saved_case = in_case_body;
            in_case_body = true;
            c.body = parse_expr();
            in_case_body = saved_case;
            n->clauses.push_back(c);
            expect_item_end();
            if (at(Tok::End)) unexpected("\")\"");
        }
        advance();
        return n;
    }
    Node* parse_try() {
        auto* n = node<Try>(cur());
        advance();
        skip_newlines();
        n->body = parse_expr();
        if (!continues_with("catch")) unexpected("\"catch\"");
        advance();
        skip_newlines();
        n->handler = parse_expr();
        return n;
    }

    // ---- declarations ----
    Node* parse_decl(bool global) {
        const Token& kw = cur();
        advance();
        auto* seq = node<Block>(kw);
        for (;;) {
            if (!at(Tok::Ident) || is_reserved(cur())) unexpected("a variable name");
            const Token& name_tok = cur();
            Value* name = name_of(name_tok);
            advance();
            Node* init = nullptr;
            if (at(Tok::Assign)) {
                advance();
                skip_newlines();
                init = parse_expr();
            }
            if (global || !in_local_context()) {
                seq->items.push_back(node<GlobalDecl>(name_tok, global_cell(name, true), init));
            } else {
                // Declared after its initialiser is parsed: "local x = x" reads the outer x.
                VarInfo* v = find_in_current_block(name);
                if (!v) v = declare(scope, name);
                seq->items.push_back(node<LocalDecl>(name_tok, v, init));
            }
            if (!at(Tok::Comma)) break;
            advance();
            skip_newlines();
        }
        return seq->items.size() == 1 ? seq->items[0] : seq;
    }

    // Parameters and body of fn, after the name; parent scope is the current one.
    FnProto* parse_function_rest(FnProto* p, Tok body_start, Scope* parent, ScopeKind kind) {
        Scope fs{parent, kind, p, {}};
        fs.blocks.emplace_back();
        Scope* saved = scope;
        scope = &fs;
        std::vector<VarInfo*> keyed;
        for (;;) {
            const bool by_ref = at(Tok::Amp) && peek().kind == Tok::Ident;
            if (by_ref) advance();
            if (at(Tok::Ident) && !is_reserved(cur())) {
                if (!keyed.empty()) fail(cur(), "positional parameters come before keyword parameters");
                VarInfo* v = declare(scope, name_of(cur()));
                v->by_ref = by_ref;
                p->params.push_back(v);
                ++p->nparams;
                advance();
            } else if (at(Tok::KeyArg)) {
                Value* key = name_of(cur());
                advance();
                keyed.push_back(declare(scope, key));
                p->key_names.push_back(key);
                p->key_defaults.push_back(starts_argument(cur()) && !at(Tok::KeyArg) ? parse_operand() : nullptr);
            } else {
                break;
            }
        }
        for (VarInfo* v : keyed) p->params.push_back(v);
        if (body_start == Tok::Assign) {
            expect(Tok::Assign, "\"=\"");
        } else if (at_kw("do") || (at_kw("return") && p->lenient)) {  // on isChecked return e
            advance();
        } else {
            unexpected("\"do\"");
        }
        skip_newlines();
        p->body = tail_position(parse_expr());
        scope = saved;
        return p;
    }
    // A return in tail position needs no unwinding: it is just the body's value.
    Node* tail_position(Node* n) {
        if (auto* r = dynamic_cast<Return*>(n)) return r->value ? tail_position(r->value) : r;
        if (auto* b = dynamic_cast<Block*>(n)) {
            if (!b->items.empty()) b->items.back() = tail_position(b->items.back());
        } else if (auto* i = dynamic_cast<If*>(n)) {
            i->then_part = tail_position(i->then_part);
            if (i->else_part) i->else_part = tail_position(i->else_part);
        }
        return n;
    }
    Node* parse_fn() {
        const Token& kw = cur();
        const bool mapped = accept_kw("mapped");
        if (!(at_kw("fn") || at_kw("function"))) unexpected("\"fn\"");
        advance();
        if (!at(Tok::Ident) || is_reserved(cur())) unexpected("a function name");
        const Token& name_tok = cur();
        Value* name = name_of(name_tok);
        advance();
        auto* def = node<FnDef>(kw);
        def->store = definition_target(name_tok, name);  // before the body: recursion
        def->proto = parse_function_rest(proto(name_tok.text), Tok::Assign, scope, ScopeKind::Function);
        def->proto->mapped = mapped;
        return def;
    }

    Node* parse_struct() {
        const Token& kw = cur();
        advance();
        if (!at(Tok::Ident) || is_reserved(cur())) unexpected("a struct name");
        const Token& name_tok = cur();
        auto* st = node<StructDefNode>(kw);
        st->name = name_of(name_tok);
        st->spelling = name_tok.text;
        advance();
        st->store = definition_target(name_tok, st->name);
        skip_newlines();
        expect(Tok::LParen, "\"(\"");
        Scope ss{scope, ScopeKind::Struct, nullptr, {}};
        ss.st = st;
        bool is_private = false;
        for (;;) {
            while (at(Tok::Newline) || at(Tok::Comma) || at(Tok::Semicolon)) advance();
            if (at(Tok::RParen)) break;
            if (at_kw("private") || at_kw("public")) {  // applies to the members that follow
                is_private = at_kw("private");
                advance();
                continue;
            }
            if (at_kw("on") && peek().kind == Tok::Ident) {  // on create do ..., on clone do ...
                advance();
                const Token& ev = cur();
                std::string event = lower(ev.text);
                if (event != "create" && event != "clone") fail(ev, "a struct handles on create and on clone only");
                advance();
                Scope* saved = scope;
                scope = &ss;
                FnProto* p = parse_function_rest(proto(st->spelling + "." + ev.text), Tok::Ident, &ss, ScopeKind::Function);
                scope = saved;
                p->owner = st;
                (event == "create" ? st->on_create : st->on_clone) = p;
                if (!(at(Tok::Newline) || at(Tok::Comma) || at(Tok::Semicolon) || at(Tok::RParen))) unexpected("\",\" or \")\"");
                continue;
            }
            if (at_kw("fn") || at_kw("function") || at_kw("mapped")) {
                const bool mapped = accept_kw("mapped");
                if (!(at_kw("fn") || at_kw("function"))) unexpected("\"fn\"");
                advance();
                if (!at(Tok::Ident) || is_reserved(cur())) unexpected("a method name");
                const Token& mt = cur();
                Value* mname = name_of(mt);
                advance();
                st->members.push_back(mname);
                st->member_spellings.push_back(mt.text);
                st->defaults.push_back(nullptr);
                st->methods.push_back(nullptr);
                st->is_private.push_back(is_private);
                Scope* saved = scope;
                scope = &ss;
                FnProto* p = parse_function_rest(proto(mt.text), Tok::Assign, &ss, ScopeKind::Function);
                scope = saved;
                p->owner = st;
                p->mapped = mapped;
                st->methods.back() = p;
            } else if (at(Tok::Ident) && !is_reserved(cur())) {
                const Token& mt = cur();
                Value* mname = name_of(mt);
                advance();
                FnProto* thunk = nullptr;
                if (at(Tok::Assign)) {
                    advance();
                    skip_newlines();
                    thunk = proto(mt.text + " default");
                    Scope fs{scope, ScopeKind::Function, thunk, {}};
                    Scope* saved = scope;
                    scope = &fs;
                    thunk->body = parse_expr();
                    scope = saved;
                }
                st->members.push_back(mname);
                st->member_spellings.push_back(mt.text);
                st->defaults.push_back(thunk);
                st->methods.push_back(nullptr);
                st->is_private.push_back(is_private);
            } else {
                unexpected("a member or a method");
            }
            if (!(at(Tok::Newline) || at(Tok::Comma) || at(Tok::Semicolon) || at(Tok::RParen))) unexpected("\",\" or \")\"");
        }
        advance();
        return st;
    }

    Node* parse_rollout() {
        const Token& kw = cur();
        advance();
        if (!at(Tok::Ident) || is_reserved(cur())) unexpected("a rollout name");
        const Token& name_tok = cur();
        auto* ro = node<RolloutDefNode>(kw);
        ro->is_menu = is_kw(kw, "rcmenu");
        ro->name = name_of(name_tok);
        advance();
        ro->store = definition_target(name_tok, ro->name);
        ro->title = starts_argument(cur()) && !at(Tok::KeyArg) && !at(Tok::LParen) ? parse_operand() : nullptr;
        while (at(Tok::KeyArg)) {
            Value* key = name_of(cur());
            advance();
            ro->keys.push_back({key, parse_operand()});
        }
        skip_newlines();
        FnProto* p = proto(name_tok.text);
        ro->scope = p;
        Scope rs{scope, ScopeKind::Rollout, p, {}};
        rs.blocks.emplace_back();
        Scope* saved = scope;
        scope = &rs;
        predeclare_rollout_names(ro);
        parse_rollout_body(ro);
        scope = saved;
        return ro;
    }
    // Every local, control and function of a rollout is known before its clauses are
    // parsed, so a function or handler may use one declared further down.
    void predeclare_rollout_names(RolloutDefNode* ro) {
        if (!at(Tok::LParen)) return;
        int depth = 0;
        bool clause_start = true, in_local = false, group_next = false;
        std::vector<bool> transparent;  // per open paren: a group's, seen as the body's own level
        auto add = [&](const Token& tok) {
            if (tok.kind != Tok::Ident || is_reserved(tok)) return;
            Value* name = name_of(tok);
            if (find_in_current_block(name)) return;
            ro->vars.push_back(declare(scope, name));
        };
        for (size_t k = pos; k < t.size() && t[k].kind != Tok::End; ++k) {
            const Token& tok = t[k];
            if (tok.kind == Tok::LParen || tok.kind == Tok::ArrayOpen || tok.kind == Tok::LBracket) {
                bool group_paren = group_next && tok.kind == Tok::LParen;
                group_next = false;
                transparent.push_back(group_paren);
                if (!group_paren) ++depth;
                clause_start = depth == 1;
                continue;
            }
            if (tok.kind == Tok::RParen || tok.kind == Tok::RBracket) {
                if (transparent.empty()) break;
                bool was_group = transparent.back();
                transparent.pop_back();
                if (!was_group && --depth == 0) break;
                clause_start = depth == 1 && was_group;
                continue;
            }
            if (depth != 1) continue;
            if (tok.kind == Tok::Newline || tok.kind == Tok::Semicolon) {
                clause_start = true;
                in_local = false;
                continue;
            }
            if (in_local && tok.kind == Tok::Comma) {
                add(t[std::min(k + 1, t.size() - 1)]);
                continue;
            }
            if (!clause_start) continue;
            clause_start = false;
            if (is_kw(tok, "global")) {
                continue;  // names a global, not a rollout variable
            } else if (is_kw(tok, "local")) {
                in_local = true;
                add(t[std::min(k + 1, t.size() - 1)]);
            } else if (is_kw(tok, "fn") || is_kw(tok, "function")) {
                add(t[std::min(k + 1, t.size() - 1)]);
            } else if (is_kw(tok, "mapped")) {
                add(t[std::min(k + 2, t.size() - 1)]);
            } else if (is_kw(tok, "group") || is_kw(tok, "submenu")) {
                group_next = true;
            } else if (tok.kind == Tok::Ident && !is_reserved(tok)) {
                add(t[std::min(k + 1, t.size() - 1)]);  // a control: keyword, then its name
            }
        }
    }
    // The variable a rollout clause defines: predeclared, else declared now.
    VarInfo* rollout_var(RolloutDefNode* ro, Value* name) {
        if (VarInfo* v = find_in_current_block(name)) return v;
        VarInfo* v = declare(scope, name);
        ro->vars.push_back(v);
        return v;
    }
    void parse_rollout_body(RolloutDefNode* ro) {
        DepthGuard guard(*this);
        expect(Tok::LParen, "\"(\"");
        for (;;) {
            skip_separators();
            if (at(Tok::RParen)) break;
            if (at(Tok::End)) unexpected("\")\"");
            if (accept_kw("local")) {
                for (;;) {
                    if (!at(Tok::Ident) || is_reserved(cur())) unexpected("a variable name");
                    const Token& nt = cur();
                    Value* name = name_of(nt);
                    advance();
                    Node* init = nullptr;
                    if (at(Tok::Assign)) {
                        advance();
                        skip_newlines();
                        init = parse_expr();
                    }
                    ro->locals.push_back(node<LocalDecl>(nt, rollout_var(ro, name), init));
                    if (!at(Tok::Comma)) break;
                    advance();
                }
            } else if (at_kw("global") || at_kw("struct")) {  // evaluated in order with the locals
                ro->locals.push_back(at_kw("global") ? parse_decl(true) : parse_struct());
            } else if (at_kw("fn") || at_kw("function") || at_kw("mapped")) {
                auto* def = static_cast<FnDef*>(parse_fn());
                ro->functions.push_back(def);
            } else if (accept_kw("on")) {
                if (!at(Tok::Ident)) unexpected("a control name");
                Value* control = name_of(cur());
                advance();
                if (!at(Tok::Ident)) unexpected("an event name");
                const Token& ev = cur();
                Value* event = name_of(ev);
                advance();
                FnProto* p = proto(static_cast<Name*>(control)->text + "." + ev.text);
                p->lenient = true;
                parse_function_rest(p, Tok::Ident, scope, ScopeKind::Function);
                ro->handlers.push_back({control, event, p});
            } else if (at_kw("group")) {
                ControlClause start;
                start.kind = ControlClause::Kind::GroupStart;
                start.line = cur().line;
                advance();
                if (at(Tok::String)) start.caption = parse_operand();
                skip_newlines();
                ro->controls.push_back(start);
                parse_rollout_body(ro);
                ControlClause end;
                end.kind = ControlClause::Kind::GroupEnd;
                end.line = start.line;
                ro->controls.push_back(end);
                continue;
            } else if (ro->is_menu && at_kw("submenu")) {
                // subMenu "caption" [filter:] ( items ): a menu inside the menu.
                ControlClause start;
                start.kind = ControlClause::Kind::SubMenuStart;
                start.line = cur().line;
                advance();
                start.caption = starts_argument(cur()) && !at(Tok::KeyArg) && !at(Tok::LParen) ? parse_operand() : nullptr;
                while (at(Tok::KeyArg)) {
                    Value* key = name_of(cur());
                    advance();
                    start.keys.push_back({key, parse_operand()});
                }
                skip_newlines();
                ro->controls.push_back(start);
                parse_rollout_body(ro);
                ControlClause end;
                end.kind = ControlClause::Kind::SubMenuEnd;
                end.line = start.line;
                ro->controls.push_back(end);
                continue;
            } else if (at(Tok::Ident) && !is_reserved(cur())) {
                ControlClause c;
                c.keyword = name_of(cur());
                c.line = cur().line;
                advance();
                if (!at(Tok::Ident) || is_reserved(cur())) unexpected("a control name");
                Value* cname = name_of(cur());
                for (const ControlClause& other : ro->controls)
                    if (other.var && other.var->name == cname) fail(cur(), "duplicate control name: " + cur().text);
                c.var = rollout_var(ro, cname);
                advance();
                c.caption = starts_argument(cur()) && !at(Tok::KeyArg) ? parse_operand() : nullptr;
                while (at(Tok::KeyArg)) {
                    Value* key = name_of(cur());
                    advance();
                    c.keys.push_back({key, parse_operand()});
                }
                ro->controls.push_back(c);
            } else {
                unexpected("a control, local, function or handler");
            }
            expect_item_end();
        }
        advance();
    }
};

}  // namespace ms_parse
