// script_values.h - the engine's own value classes: functions, boxes, structs, unsupplied.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "host/core/errors.h"
#include "host/maxscript/syntax.h"

extern HOSTSDK_API ValueMetaClass MAXScriptFunction_class;
extern HOSTSDK_API ValueMetaClass StructDef_class;
extern HOSTSDK_API ValueMetaClass StructInstance_class;
extern ValueMetaClass Box_class;

Value* unsupplied_value();
void register_chunk(Chunk* c);

// A captured local: shared by the frame that declared it and the closures that read it.
class Box : public Value {
public:
    Value* value;
    explicit Box(Value* v) : value(v) { tag = &Box_class; }
    void gc_trace() override;
};

// A function written in script: its compiled form and the variables it captured.
class HOSTSDK_API ScriptFunction : public Value {
public:
    FnProto* proto;
    std::shared_ptr<Chunk> chunk;  // keeps the syntax tree alive as long as the function
    std::vector<Value*> upvals;    // Boxes
    Value* owner = nullptr;        // a rollout's handler keeps its rollout (and controls) alive while it runs
    ScriptFunction(FnProto* p, std::shared_ptr<Chunk> c);
    Value* apply(Value** arg_list, int count) override;
    void sprin1(CharStream* s) override;  // name()
    void gc_trace() override;
};

class HOSTSDK_API StructDef : public Value {
public:
    Value* name;
    StructDefNode* node;
    std::vector<Value*> members;
    std::vector<Value*> defaults;  // thunks (ScriptFunction) or null
    std::vector<Value*> methods;   // ScriptFunction or null
    Value* create_handler = nullptr;  // on create do ...
    Value* clone_handler = nullptr;   // on clone do ...
    std::shared_ptr<Chunk> chunk;
    explicit StructDef(StructDefNode* n);
    int member_index(Value* name);
    Value* apply(Value** arg_list, int count) override;  // construction
    void sprin1(CharStream* s) override;                 // #Struct:name(a, b)
    void gc_trace() override;
};

class HOSTSDK_API StructInstance : public Value {
public:
    StructDef* def;
    std::vector<Value*> fields;
    explicit StructInstance(StructDef* d);
    Value* get_property(Value** arg_list, int count) override;
    Value* set_property(Value** arg_list, int count) override;
    BOOL is_kind_of(ValueMetaClass* c) override;
    Value* classOf_vf(Value** arg_list, int count) override;
    void sprin1(CharStream* s) override;  // (name a:1 b:2)
    void gc_trace() override;
};

// A copy of a struct instance (its fields shared, not copied deeper), after which the
// struct's on clone handler runs with the copy; what copy answers for a struct.
HOSTSDK_API Value* copy_struct_instance(StructInstance* s);

// "No ""+"" function for 5": an operator the operand's class does not have.
class HOSTSDK_API NoMethodError : public MAXScriptException {
public:
    std::string op;
    std::string operand;
    NoMethodError(const char* op, Value* operand);
    void sprin1(CharStream* s) override;
};

// throw "text" from a script.
class HOSTSDK_API ScriptThrow : public MAXScriptException {
public:
    std::string text;
    explicit ScriptThrow(const std::string& t) : text(t) {}
    void sprin1(CharStream* s) override;
};
