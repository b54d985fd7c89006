// schematic.h - one graph in use: its node table (own or lent), view state, context and index.
#pragma once
#include <memory>

#include "graph/graph_context.h"
#include "graph/records.h"

// The table, view state, graph context and spatial index always travel together;
// this is their one owner. The context points at the table in use (ours, or one a
// storage container lends) and at our view state, and carries a spatial index.
struct Schematic {
    std::unique_ptr<SchematicGraph> ownTable;       // null while a lent table (or none) is in use
    std::unique_ptr<SchematicViewState> viewState;  // view, switches and gesture scratch
    GraphContext graph;                             // table in use, gesture pointers, seam, index

    // An empty table and a view of our own, an empty spatial index unless indexed is
    // false (then every scan visits everything), no seam.
    explicit Schematic(bool indexed = true);
    // Our own nodes go, last first; a lent table is left to its owner.
    ~Schematic();
    Schematic(const Schematic&) = delete;
    Schematic& operator=(const Schematic&) = delete;

    // No table in use: our own table (after its nodes) goes, the gesture and selection
    // pointers are cleared, since they pointed into the table that went.
    void dropTable();
    // A new, empty table of our own in use.
    void useOwnTable();
    // Work on a table someone else owns (a storage container's): our own table goes first.
    void useLentTable(SchematicGraph& table);
};
