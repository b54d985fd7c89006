// syntax.h - the syntax tree: one node class per construct, each evaluating itself.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "host/maxscript/lexer.h"
#include "host/core/value.h"

struct GlobalCell;
struct FnProto;
struct Chunk;

// A declared local: its slot in the frame of the function that owns it. A local that
// an inner function reads is "captured": its slot then holds a Box shared with the closure.
struct VarInfo {
    Value* name;
    int slot;
    bool captured = false;
    bool by_ref = false;  // a &name parameter: its slot may hold a Reference to the caller's variable
    int refs = 0;         // LocalRef nodes naming it: with none, nothing reads the slot
};

struct Node {
    int line = 0, column = 0;
    virtual ~Node() = default;
    virtual Value* eval() = 0;
    // Assignable nodes: store (op is Assign or a compound one) and answer the new value.
    virtual bool assignable() const { return false; }
    virtual Value* assign(Tok op, Node* rhs) { return nullptr; }
};

// A node a value can be stored into: a variable, a property, an element, a dereference.
struct Place : Node {
    bool assignable() const final { return true; }
    Value* assign(Tok op, Node* rhs) override = 0;
};

struct Const : Node {
    Value* value;
    explicit Const(Value* v) : value(v) {}
    Value* eval() override { return value; }
};

struct LocalRef : Place {
    VarInfo* var;
    explicit LocalRef(VarInfo* v) : var(v) { ++v->refs; }
    Value* eval() override;
    Value* assign(Tok op, Node* rhs) override;
};

struct UpvalRef : Place {
    int index;
    Value* name;
    UpvalRef(int i, Value* n) : index(i), name(n) {}
    Value* eval() override;
    Value* assign(Tok op, Node* rhs) override;
};

struct GlobalRef : Place {
    GlobalCell* cell;
    explicit GlobalRef(GlobalCell* c) : cell(c) {}
    Value* eval() override;
    Value* assign(Tok op, Node* rhs) override;
};

// A member of the struct whose method is running (this.member).
struct MemberRef : Place {
    int index;
    Value* name;
    MemberRef(int i, Value* n) : index(i), name(n) {}
    Value* eval() override;
    Value* assign(Tok op, Node* rhs) override;
};

struct LocalDecl : Node {
    VarInfo* var;
    Node* init;  // may be null
    LocalDecl(VarInfo* v, Node* i) : var(v), init(i) {}
    Value* eval() override;
};

struct GlobalDecl : Node {
    GlobalCell* cell;
    Node* init;
    GlobalDecl(GlobalCell* c, Node* i) : cell(c), init(i) {}
    Value* eval() override;
};

struct Property : Place {
    Node* object;
    Value* name;
    Property(Node* o, Value* n) : object(o), name(n) {}
    Value* eval() override;
    Value* assign(Tok op, Node* rhs) override;
};

struct Index : Place {
    Node* object;
    Node* index;
    Index(Node* o, Node* i) : object(o), index(i) {}
    Value* eval() override;
    Value* assign(Tok op, Node* rhs) override;
};

struct Assign : Node {
    Node* target;
    Tok op;
    Node* value;
    // target as a plain local variable (its slot; -1 for anything else, -2 until the first
    // run finds out): the common "x = ..." then skips a call
    int local_slot = -2;
    Assign(Node* t, Tok o, Node* v) : target(t), op(o), value(v) {}
    Value* eval() override;

private:
    Value* eval_other();
};

struct KeyArgNode {
    Value* name;
    Node* value;
};

struct Call : Node {
    Node* function;
    std::vector<Node*> args;
    std::vector<KeyArgNode> keys;
    // function as obj.method, found at the first call (the tree never changes after parsing)
    Property* method = nullptr;
    bool method_known = false;
    Value* eval() override;
};

struct Unary : Node {
    Tok op;  // Minus, or Ident for "not"
    Node* operand;
    Unary(Tok o, Node* e) : op(o), operand(e) {}
    Value* eval() override;
};

struct Binary : Node {
    Tok op;
    Node* left;
    Node* right;
    // right's value when it is a constant, and left's slot when it is a plain local, found
    // at the first run
    Value* right_const = nullptr;
    int left_slot = -1;
    bool right_known = false;
    Binary(Tok o, Node* l, Node* r) : op(o), left(l), right(r) {}
    Value* eval() override;

private:
    // Out of line, so the common case (integers, a constant right) stays a short function.
    Value* eval_with_constant(Value* a);
    Value* eval_other();
};

struct Logical : Node {
    bool is_and;
    Node* left;
    Node* right;
    Logical(bool a, Node* l, Node* r) : is_and(a), left(l), right(r) {}
    Value* eval() override;
};

struct AsNode : Node {
    Node* value;
    Node* target_class;
    AsNode(Node* v, Node* c) : value(v), target_class(c) {}
    Value* eval() override;
};

struct ArrayLit : Node {
    std::vector<Node*> items;
    Value* eval() override;
};

struct PointLit : Node {
    std::vector<Node*> items;  // 2, 3 or 4
    Value* eval() override;
};

struct Block : Node {
    std::vector<Node*> items;
    Value* eval() override;
};

struct If : Node {
    Node* cond;
    Node* then_part;
    Node* else_part;  // may be null
    bool is_do = false;  // "if c do e": no else, answers undefined when false
    Value* eval() override;
};

struct While : Node {
    Node* cond;
    Node* body;
    bool do_while = false;
    Value* eval() override;
};

struct ForLoop : Node {
    VarInfo* var;
    Node* from = nullptr;  // for i = from to to by step
    Node* to = nullptr;
    Node* step = nullptr;
    Node* collection = nullptr;  // for x in collection
    Node* where = nullptr;
    Node* while_cond = nullptr;  // for ... while c: the loop ends when c is false
    Node* body;
    bool collect = false;
    Value* eval() override;
};

struct CaseClause {
    Node* label;  // null: default
    Node* body;
};

struct Case : Node {
    Node* subject;  // null: "case of", labels are conditions
    std::vector<CaseClause> clauses;
    Value* eval() override;
};

struct Try : Node {
    Node* body;
    Node* handler;
    Value* eval() override;
};

struct Throw : Node {
    Node* value;  // null: throw the caught error again
    Node* detail = nullptr;  // throw "message" value
    Value* eval() override;
};

struct Exit : Node {
    Node* value;  // exit with value; may be null
    Value* eval() override;
};

struct Continue : Node {
    Value* eval() override;
};

struct Return : Node {
    Node* value;
    Value* eval() override;
};

struct UpvalDesc {
    bool from_parent_local;  // else from the parent's own upvalues
    int index;               // parent slot or parent upvalue index
};

struct StructDefNode;

// What a function definition compiles to; closures refer to it.
struct FnProto {
    std::string name;
    Value* name_value = nullptr;
    int nparams = 0;
    std::vector<VarInfo*> params;     // positional, then keyword parameters
    std::vector<Value*> key_names;    // keyword parameter names
    std::vector<Node*> key_defaults;  // evaluated in the function's frame; null: unsupplied
    int nslots = 0;
    std::vector<UpvalDesc> upvals;
    Node* body = nullptr;
    bool lenient = false;             // handlers: missing arguments read undefined
    bool mapped = false;              // called with an array first: runs once per item
    StructDefNode* owner = nullptr;   // struct methods
    const std::string* file = nullptr;
};

struct FnDef : Node {
    FnProto* proto;
    Node* store;  // where the function value goes (a variable), may be null
    Value* eval() override;
};

struct StructDefNode : Node {
    Value* name;
    std::string spelling;                    // as the script wrote it
    std::vector<Value*> members;
    std::vector<std::string> member_spellings;
    std::vector<FnProto*> defaults;  // zero-argument thunks, null for none
    std::vector<FnProto*> methods;   // null for data members
    std::vector<bool> is_private;    // private: readable only by the struct's own methods
    FnProto* on_create = nullptr;    // on create do ...: runs with the new instance
    FnProto* on_clone = nullptr;     // on clone do ...: runs with a copy
    Node* store;
    Value* eval() override;
};

struct ControlClause {
    // A control, or where a group "caption" (...) clause starts or ends (no keyword, no var).
    enum class Kind { Control, GroupStart, GroupEnd, SubMenuStart, SubMenuEnd } kind = Kind::Control;
    Value* keyword = nullptr;
    VarInfo* var = nullptr;
    Node* caption = nullptr;  // may be null
    std::vector<KeyArgNode> keys;
    int line = 0;
};

struct HandlerClause {
    Value* control;
    Value* event;
    FnProto* proto;
};

struct RolloutDefNode : Node {
    bool is_menu = false;  // an rcmenu: menuItem, separator and subMenu clauses
    Value* name;
    Node* title;
    std::vector<KeyArgNode> keys;
    FnProto* scope;  // the rollout's own frame: every variable in it is captured
    std::vector<VarInfo*> vars;
    std::vector<Node*> locals;  // LocalDecl nodes, in order
    std::vector<ControlClause> controls;
    std::vector<FnDef*> functions;
    std::vector<HandlerClause> handlers;
    Node* store;
    Value* eval() override;
};

// this: the struct instance whose method runs.
struct SelfRef : Node {
    Value* eval() override;
};

// $Box01, $*, $geometry: resolved against the open scene each time it runs.
struct PathNameNode : Node {
    std::string pattern;  // the text after the $
    Value* eval() override;
};

// &x: a reference to a variable, property or element, for by-reference arguments.
struct RefExpr : Node {
    Node* target;
    explicit RefExpr(Node* t) : target(t) {}
    Value* eval() override;
};

// *p: the value a reference refers to; assigning stores through it.
struct DerefExpr : Place {
    Node* target;
    explicit DerefExpr(Node* t) : target(t) {}
    Value* eval() override;
    Value* assign(Tok op, Node* rhs) override;
};

// ?: the listener's last result.
struct LastResult : Node {
    Value* eval() override;
};

// #{1, 3..5}: each item a number or a range (to not null).
struct BitArrayLit : Node {
    std::vector<Node*> from;
    std::vector<Node*> to;
    Value* eval() override;
};

// with undo off, at time 10, in coordsys world ... <body>; set animate on (body null).
struct ContextExpr : Node {
    Value* kind;          // #undo, #animate, #time, #coordsys, #about, #level, #in, ...
    Node* label = nullptr;  // undo "label" on
    Node* value = nullptr;  // null: a fixed name such as world or pivot
    Value* fixed = nullptr;
    Node* body = nullptr;
    Value* eval() override;
};

struct HandlerDef {
    Value* event;    // execute, isEnabled, create, mousePoint, ...
    FnProto* proto;  // a closure made when the body runs
};

// macroScript name [caption] category:... (body): a command a button or menu runs.
struct MacroScriptDef : Node {
    Value* name;
    std::string spelling;
    Node* caption = nullptr;
    std::vector<KeyArgNode> keys;
    FnProto* body;          // runs the locals and functions, then answers the handler table
    std::vector<Value*> handler_events;  // in the order the table lists them
    bool has_handlers = false;
    Value* eval() override;
};

// when transform $ changes id:#foo do ...; when $ deleted obj do ...
struct WhenDef : Node {
    Value* attribute;  // #transform, #geometry, ... or #deleted
    Node* objects;
    std::vector<KeyArgNode> keys;
    FnProto* handler;
    Value* eval() override;
};

// plugin, attributes, tool: a scripted class definition the host can name but not create.
struct ScriptedDefNode : Node {
    Value* kind;  // #plugin, #attributes, #tool
    Value* name;
    std::string spelling;
    Value* superclass = nullptr;
    std::vector<KeyArgNode> keys;
    FnProto* scope;  // locals, functions, parameter blocks and handlers, parsed in their own frame
    std::vector<HandlerDef> handlers;
    std::vector<Value*> parameters;  // every parameter of every block
    Node* store;
    Value* eval() override;
};

// One parsed source text: owns its nodes, protos and constants.
struct Chunk {
    std::string file;  // "" for typed or executed text
    std::vector<std::unique_ptr<Node>> nodes;
    std::vector<std::unique_ptr<FnProto>> protos;
    std::vector<std::unique_ptr<VarInfo>> vars;
    std::vector<Value*> constants;
    FnProto* main = nullptr;
    ~Chunk();
};
