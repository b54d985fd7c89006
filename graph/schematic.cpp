// schematic.cpp - the owner of a graph in use: wiring and switching tables.
#include "graph/schematic.h"

#include "graph/node_ops.h"
#include "graph/spatial_index.h"

Schematic::Schematic(bool indexed)
    : ownTable(std::make_unique<SchematicGraph>()), viewState(std::make_unique<SchematicViewState>()) {
    graph.nodeTable = ownTable.get();
    graph.viewState = viewState.get();
    if (indexed) graph.spatialIndex = std::make_shared<SpatialIndex>();
}

Schematic::~Schematic() {
    dropTable();
    graph.viewState = nullptr;
}

void Schematic::dropTable() {
    clearGraph(graph);  // nothing when the table is lent
    graph.nodeTable = nullptr;
    graphChanged(graph);  // the next table may sit where this one was
    graph.tableBorrowed = false;
    graph.dragSocket = nullptr;
    graph.selectedConnection = nullptr;
    graph.pressedNode = nullptr;
    ownTable.reset();
}

void Schematic::useOwnTable() {
    dropTable();
    ownTable = std::make_unique<SchematicGraph>();
    graph.nodeTable = ownTable.get();
}

void Schematic::useLentTable(SchematicGraph& table) {
    dropTable();
    graph.nodeTable = &table;
    graph.tableBorrowed = true;
}
