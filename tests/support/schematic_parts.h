// schematic_parts.h - a graph in use, with the short names the tests and benchmarks give its parts.
#pragma once
#include "graph/schematic.h"

// Unindexed unless asked: most tests check the plain scans; equivalence tests build twins.
struct SchematicParts {
    explicit SchematicParts(bool indexed = false) : schematic(indexed) {}
    Schematic schematic;
    SchematicGraph& table = *schematic.ownTable;
    SchematicViewState& view = *schematic.viewState;
    GraphContext& ctx = schematic.graph;
};
