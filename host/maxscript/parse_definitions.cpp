// parse_definitions.cpp - macroScript, plugin, attributes, tool and when definitions.
#include "host/maxscript/parser_core.h"

namespace ms_parse {

bool Parser::next_line_starts_with_key() {
    if (!at(Tok::Newline)) return false;
    size_t k = pos;
    while (k < t.size() && t[k].kind == Tok::Newline) ++k;
    return k < t.size() && t[k].kind == Tok::KeyArg;
}

// category:"Tools" buttonText:"Go", each on its own line if the writer likes.
void Parser::parse_header_keys(std::vector<KeyArgNode>& keys) {
    for (;;) {
        if (next_line_starts_with_key()) skip_newlines();
        if (!at(Tok::KeyArg)) return;
        Value* key = name_of(cur());
        advance();
        keys.push_back({key, parse_operand()});
    }
}

// on <event> {<parameter>} do <expr>: a closure over the enclosing frame.
HandlerDef Parser::parse_generic_handler(const std::string& owner) {
    expect_kw("on");
    if (!at(Tok::Ident)) unexpected("an event name");
    const Token& ev = cur();
    Value* event = name_of(ev);
    advance();
    FnProto* p = proto(owner + "." + ev.text);
    p->lenient = true;
    parse_function_rest(p, Tok::Ident, scope, ScopeKind::Function);
    return {event, p};
}

Node* Parser::parse_macroscript() {
    DepthGuard guard(*this);
    const Token& kw = cur();
    advance();
    const Token& name_tok = cur();
    auto* def = node<MacroScriptDef>(kw);
    def->name = name_of(name_tok);
    def->spelling = name_tok.text;
    advance();
    if (at(Tok::String)) def->caption = parse_operand();
    parse_header_keys(def->keys);
    skip_newlines();
    // The body is a function run when the macro runs: its locals and functions first, then
    // either its handlers (on execute do ...) or, without any, the body is the action itself.
    FnProto* p = proto(name_tok.text);
    def->body = p;
    Scope fs{scope, ScopeKind::Function, p, {}};
    fs.blocks.emplace_back();
    Scope* saved = scope;
    scope = &fs;
    auto* block = node<Block>(cur());
    std::vector<VarInfo*> handler_slots;
    expect(Tok::LParen, "\"(\"");
    {
        CountGuard in_parens(paren_depth);
        for (;;) {
            skip_separators();
            if (at(Tok::RParen)) break;
            if (at(Tok::End)) unexpected("\")\"");
            if (at_kw("on") && peek().kind == Tok::Ident && !is_reserved(peek())) {
                const Token& on_tok = cur();
                HandlerDef h = parse_generic_handler(def->spelling);
                VarInfo* slot = declare(scope, Name::intern(("on " + static_cast<Name*>(h.event)->text).c_str()));
                auto* fd = node<FnDef>(on_tok);
                fd->proto = h.proto;
                fd->store = node<LocalRef>(on_tok, slot);
                block->items.push_back(fd);
                def->handler_events.push_back(h.event);
                handler_slots.push_back(slot);
            } else {
                block->items.push_back(parse_expr());
            }
            expect_item_end();
        }
    }
    advance();
    if (!handler_slots.empty()) {
        def->has_handlers = true;
        auto* table = node<ArrayLit>(kw);
        for (VarInfo* v : handler_slots) table->items.push_back(node<LocalRef>(kw, v));
        block->items.push_back(table);
    }
    p->body = block;
    scope = saved;
    return def;
}

// parameters main rollout:params ( height type:#float default:10 ui:spn; on height set v do ... )
void Parser::parse_parameters_block(ScriptedDefNode* def) {
    advance();
    if (at(Tok::Ident)) advance();  // the block's name
    std::vector<KeyArgNode> keys;
    parse_header_keys(keys);
    skip_newlines();
    expect(Tok::LParen, "\"(\"");
    for (;;) {
        skip_separators();
        if (at(Tok::RParen)) break;
        if (at(Tok::End)) unexpected("\")\"");
        if (at_kw("on")) {
            def->handlers.push_back(parse_generic_handler(def->spelling));
        } else if (at(Tok::Ident) && !is_reserved(cur())) {
            def->parameters.push_back(name_of(cur()));
            advance();
            std::vector<KeyArgNode> param_keys;
            parse_header_keys(param_keys);
        } else {
            unexpected("a parameter or a handler");
        }
        expect_item_end();
    }
    advance();
}

void Parser::parse_scripted_body(ScriptedDefNode* def) {
    expect(Tok::LParen, "\"(\"");
    for (;;) {
        skip_separators();
        if (at(Tok::RParen)) break;
        if (at(Tok::End)) unexpected("\")\"");
        if (at_kw("parameters")) {
            parse_parameters_block(def);
        } else if (at_kw("on") && peek().kind == Tok::Ident) {
            def->handlers.push_back(parse_generic_handler(def->spelling));
        } else if (at_kw("tool") && peek().kind == Tok::Ident) {
            parse_scripted(Name::intern("tool"));
        } else {
            parse_expr();  // locals, functions and rollouts of the class; they belong to its instances
        }
        expect_item_end();
    }
    advance();
}

Node* Parser::parse_scripted(Value* kind) {
    DepthGuard guard(*this);  // a tool inside a plugin inside ...: nesting is bounded
    const Token& kw = cur();
    advance();
    auto* def = node<ScriptedDefNode>(kw);
    def->kind = kind;
    if (kind == Name::intern("plugin")) {
        def->superclass = name_of(cur());
        advance();
    }
    if (!at(Tok::Ident) || is_reserved(cur())) unexpected("a name");
    const Token& name_tok = cur();
    def->name = name_of(name_tok);
    def->spelling = name_tok.text;
    advance();
    def->store = definition_target(name_tok, def->name);
    parse_header_keys(def->keys);
    skip_newlines();
    FnProto* p = proto(name_tok.text);
    def->scope = p;
    Scope fs{scope, ScopeKind::Function, p, {}};
    fs.blocks.emplace_back();
    Scope* saved = scope;
    scope = &fs;
    {
        CountGuard in_parens(paren_depth);
        parse_scripted_body(def);
    }
    scope = saved;
    return def;
}

// when <attribute> <objects> changes [id:] [handleAt:] [<param>] do <expr>
// when <objects> deleted [id:] [<param>] do <expr>
Node* Parser::parse_when() {
    static const std::set<std::string> attributes = {"topology", "geometry", "names", "transform", "select",
                                                     "parameters", "subanimstructure", "controller",
                                                     "children", "any"};
    const Token& kw = cur();
    advance();
    auto* w = node<WhenDef>(kw);
    if (at(Tok::Ident) && attributes.count(lower(cur().text)) && peek().kind != Tok::KeyArg && !is_kw(peek(), "deleted")) {
        w->attribute = Name::intern(lower(cur().text).c_str());
        advance();
        w->objects = parse_operand();
        expect_kw("changes");
    } else {
        w->attribute = Name::intern("deleted");
        w->objects = parse_operand();
        expect_kw("deleted");
    }
    while (at(Tok::KeyArg)) {
        Value* key = name_of(cur());
        advance();
        w->keys.push_back({key, parse_operand()});
    }
    FnProto* p = proto("when handler");
    p->lenient = true;
    w->handler = parse_function_rest(p, Tok::Ident, scope, ScopeKind::Function);
    return w;
}

}  // namespace ms_parse
