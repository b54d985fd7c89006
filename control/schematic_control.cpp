// schematic_control.cpp - construction, destruction and class identity of the control.
#include "control/schematic_control.h"
#include "graph/spatial_index.h"

#include "control/container_binding.h"
#include "control/names.h"
#include "graph/graph.h"
#include "host/core/core.h"
#include "host/core/errors.h"

SchematicControlClass SchematicControl_class;

SchematicControlClass::SchematicControlClass()
    : ValueMetaClass(_M("SchematicControl")) {}

void SchematicControlClass::gc_trace() { mark_in_use(); }

SchematicControl::SchematicControl(Value* name, Value* caption, Value** keyparms, int keyparm_count)
    : RolloutControl(name, caption, keyparms, keyparm_count), seam(this) {
    tag = &SchematicControl_class;
    window = nullptr;
    viewState = std::make_unique<SchematicViewState>();
    backgroundColor = GetColorManager()->GetColor(kBackground);
    backgroundBrush = CreateSolidBrush(backgroundColor);
    ownTable = std::make_unique<SchematicGraph>();
    graph.nodeTable = ownTable.get();
    graph.viewState = viewState.get();
    graph.seam = &seam;
    graph.spatialIndex = std::make_shared<SpatialIndex>();
}

SchematicControl::~SchematicControl() {
    clearGraph(graph);
    // A bound container keeps its table and nodes and forgets us; only our own table goes.
    detachContainer(*this);
    graph.nodeTable = nullptr;
    graph.tableBorrowed = false;
    ownTable.reset();
    viewState.reset();
    graph.viewState = nullptr;
    if (backgroundBitmapHandle) DeleteObject(backgroundBitmapHandle);
    backgroundBitmapValue = nullptr;
    if (backgroundBrush) DeleteObject(backgroundBrush);
    releaseBackBuffer();
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
