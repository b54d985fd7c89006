// schematic_control.cpp - construction, destruction and class identity of the control.
#include "control/schematic_control.h"

#include "graph/graph.h"
#include "host/core/core.h"
#include "host/core/errors.h"
#include "script/container_binding.h"

SchematicControlClass SchematicControl_class;

SchematicControlClass::SchematicControlClass()
    : ValueMetaClass(_M("SchematicControl")) {}

void SchematicControlClass::gc_trace() { mark_in_use(); }

SchematicControl::SchematicControl(Value* name, Value* caption, Value** keyparms, int keyparm_count)
    : RolloutControl(name, caption, keyparms, keyparm_count), seam(this) {
    tag = &SchematicControl_class;
    background.color = GetColorManager()->GetColor(kBackground);
    background.brush = gdi::KeptBrush(CreateSolidBrush(background.color));
    graph.seam = &seam;
}

SchematicControl::~SchematicControl() {
    // A bound container keeps its table and nodes and forgets us; only our own table
    // goes, now, while the seam its node bitmaps are released through still exists.
    detachContainer(*this);
    dropTable();
    graph.seam = nullptr;
    backgroundBitmapValue = nullptr;
}

void SchematicControl::gc_trace() {
    RolloutControl::gc_trace();
    // The device bitmaps are made from these values; a script may hold them no
    // longer, and the control must never point at a freed value.
    if (backgroundBitmapValue && backgroundBitmapValue->is_not_marked()) backgroundBitmapValue->gc_trace();
    if (graph.nodeTable)
        for (SchematicNode* node : *graph.nodeTable)
            if (node->bitmapValue && node->bitmapValue->is_not_marked()) node->bitmapValue->gc_trace();
}

BOOL SchematicControl::is_kind_of(ValueMetaClass* c) {
    return c == &SchematicControl_class || RolloutControl::is_kind_of(c);
}

void SchematicControl::sprin1(CharStream* s) {
    s->printf(_M("SchematicControl:%s"), name ? name->to_string() : _M(""));
}

Value* SchematicControl::classOf_vf(Value** arg_list, int count) {
    check_arg_count(classOf, 1, count + 1);
    return &SchematicControl_class;
}

Value* SchematicControl::superClassOf_vf(Value** arg_list, int count) {
    check_arg_count(superClassOf, 1, count + 1);
    return &RolloutControl_class;
}

Value* SchematicControl::isKindOf_vf(Value** arg_list, int count) {
    check_arg_count(isKindOf, 2, count + 1);
    if (arg_list[0] == class_tag(SchematicControl)) return &true_value;
    return RolloutControl::isKindOf_vf(arg_list, count);
}

RolloutControl* makeSchematicControl(Value* name, Value* caption, Value** keyparms, int keyparm_count) {
    // If the constructor throws, the heap's placement delete takes the memory back.
    return new (GC_IN_HEAP) SchematicControl(name, caption, keyparms, keyparm_count);
}
