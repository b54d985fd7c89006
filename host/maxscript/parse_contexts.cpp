// parse_contexts.cpp - context expressions (with undo off, at time t, in coordsys world, set
// animate on) and the dispatch of the forms that start with a contextual word.
#include "host/maxscript/parser_core.h"

namespace ms_parse {

namespace {

bool is_bool_word(const Token& t) {
    if (t.kind != Tok::Ident) return false;
    std::string w = lower(t.text);
    return w == "on" || w == "off" || w == "true" || w == "false";
}

// Contexts that take a boolean: with animate on, redraw off, quiet on, ...
bool boolean_context(const std::string& w) {
    static const std::set<std::string> words = {"animate", "redraw", "quiet", "printallelements",
                                                "dontrepeatmessages", "macrorecorderemitterenabled",
                                                "mxscallstackcaptureenabled"};
    return words.count(w) != 0;
}

// The coordinate systems and centres written as bare words: not variables.
bool fixed_coordsys(const std::string& w) {
    static const std::set<std::string> words = {"world", "local", "parent", "screen", "grid", "gimbal",
                                                "working_pivot", "local_rotation_axes"};
    return words.count(w) != 0;
}
bool fixed_about(const std::string& w) { return w == "pivot" || w == "selection" || w == "coordsys"; }

}  // namespace

bool Parser::context_starts(bool after_with) {
    if (!at(Tok::Ident)) return false;
    std::string w = lower(cur().text);
    const Token& next = peek();
    if (is_assign_op(next.kind)) return false;
    if (w == "at") return is_kw(next, "time") || is_kw(next, "level");
    if (w == "in") return true;
    if (w == "coordsys" || w == "about") return next.kind == Tok::Ident || next.kind == Tok::Name || next.kind == Tok::PathName || next.kind == Tok::LParen;
    if (w == "undo") return is_bool_word(next) || next.kind == Tok::String || (after_with && starts_argument(next));
    if (boolean_context(w)) return is_bool_word(next) || (after_with && starts_argument(next));
    return false;
}

ContextExpr* Parser::parse_one_context() {
    const Token& tok = cur();
    std::string w = lower(tok.text);
    auto* c = node<ContextExpr>(tok);
    advance();
    if (w == "at") {
        std::string what = lower(cur().text);
        advance();
        c->kind = Name::intern(what == "time" ? "time" : "level");
        c->value = parse_operand();
    } else if (w == "in" && !at_kw("coordsys")) {
        c->kind = Name::intern("in");
        c->value = parse_operand();
    } else if (w == "in" || w == "coordsys") {
        if (w == "in") advance();
        c->kind = Name::intern("coordsys");
        if (at(Tok::Ident) && fixed_coordsys(lower(cur().text))) {
            c->fixed = Name::intern(lower(cur().text).c_str());
            advance();
        } else {
            c->value = parse_operand();
        }
    } else if (w == "about") {
        c->kind = Name::intern("about");
        if (at(Tok::Ident) && fixed_about(lower(cur().text))) {
            c->fixed = Name::intern(lower(cur().text).c_str());
            advance();
        } else {
            c->value = parse_operand();
        }
    } else {  // undo ["label"] <bool>, animate <bool>, ...
        c->kind = Name::intern(w.c_str());
        if (w == "undo" && (at(Tok::String) || (starts_argument(cur()) && !is_bool_word(cur()) && starts_argument(peek()) && !at(Tok::LParen))))
            c->label = parse_operand();
        c->value = parse_operand();
    }
    return c;
}

// Contexts written one after another without "with" nest: at time 10 in coordsys world e.
Node* Parser::parse_context_chain() {
    ContextExpr* c = parse_one_context();
    skip_newlines();
    c->body = parse_expr();
    return c;
}

Node* Parser::parse_with() {
    advance();
    std::vector<ContextExpr*> chain;
    for (;;) {
        if (!context_starts(true)) unexpected("a context (undo, redraw, animate, quiet, at time, in coordsys, about)");
        chain.push_back(parse_one_context());
        if (!at(Tok::Comma)) break;
        advance();
        skip_newlines();
    }
    skip_newlines();
    Node* body = parse_expr();
    for (size_t i = chain.size(); i-- > 0;) {
        chain[i]->body = body;
        body = chain[i];
    }
    return body;
}

// set animate on, set coordsys world, set time 10: changes the context from here on.
Node* Parser::parse_set() {
    advance();
    if (at_kw("time") || at_kw("level")) {
        auto* c = node<ContextExpr>(cur());
        c->kind = Name::intern(lower(cur().text).c_str());
        advance();
        c->value = parse_operand();
        return c;
    }
    if (!context_starts(true)) unexpected("a context to set");
    return parse_one_context();
}

Node* Parser::parse_special_form(const std::string& w) {
    const Token& next = peek();
    if (is_assign_op(next.kind) || next.kind == Tok::Dot || (next.kind == Tok::LBracket && !next.space_before)) return nullptr;
    if (w == "with") return parse_with();
    if (w == "set" && next.kind == Tok::Ident) {
        std::string n = lower(next.text);
        if (n == "time" || n == "level" || n == "coordsys" || n == "about" || n == "undo" || boolean_context(n)) return parse_set();
    }
    if (w == "macroscript" && next.kind == Tok::Ident) return parse_macroscript();
    if (w == "utility" && next.kind == Tok::Ident && peek(2).kind == Tok::String) return parse_rollout();
    if (w == "plugin" && next.kind == Tok::Ident && peek(2).kind == Tok::Ident) return parse_scripted(Name::intern("plugin"));
    if ((w == "attributes" || w == "tool") && next.kind == Tok::Ident && !is_reserved(next))
        return parse_scripted(Name::intern(w.c_str()));
    if (w == "when") return parse_when();
    if (w == "persistent" && is_kw(next, "global")) {
        advance();
        return parse_decl(true);
    }
    if (context_starts(false)) return parse_context_chain();
    return nullptr;
}

}  // namespace ms_parse
