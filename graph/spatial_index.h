// spatial_index.h - a uniform grid over node extents and link bounds, for presses and culling.
#pragma once
#include <cstdint>
#include <vector>

#include "graph/geometry.h"
#include "graph/graph_context.h"
#include "graph/records.h"

// One link as the scans visit it: node index, position in its outputs, position in links.
struct LinkItem {
    int32_t node = 0, output = 0, link = 0;
};

// A cache over the graph: everything a node or a link may paint or be hit at, in
// cells. It answers candidates, a superset of what meets a rectangle, in table order
// (links in the scan order node, output, link); callers decide with the exact test.
// It is rebuilt when GraphContext::generation, the table or the zoom changed; the
// pan is subtracted out, so panning keeps it. A node moved by a drag is noted and
// answered for wherever it is until the next rebuild.
class SpatialIndex {
public:
    // Candidates meeting rect. False when the view is out of the index's reach
    // (no table, a pan or zoom beyond what floats place exactly): visit everything.
    bool query(const GraphContext& ctx, const BoundsF& rect, std::vector<int32_t>* nodes,
               std::vector<int32_t>* links);
    const LinkItem& link(int32_t id) const { return links_[size_t(id)]; }
    // The node at index moved by itself (no parent, no children): its extent and
    // its links are answered as candidates everywhere until the next rebuild.
    void noteMoved(const GraphContext& ctx, int32_t index);
    void invalidate() { built_ = false; }
    // Built for the graph as it is (nothing bumped the generation since).
    bool current(const GraphContext& ctx) const;

    // Selection hints, valid while current(): a superset of the selected nodes and
    // of the outputs (as node, output) with a selected link, taken at the rebuild
    // and kept by the press, the only code that selects between rebuilds.
    std::vector<int32_t>& selectedNodes() { return selectedNodes_; }
    std::vector<std::pair<int32_t, int32_t>>& selectedOutputs() { return selectedOutputs_; }

private:
    struct Extents;
    // The phases of a rebuild, in order.
    void rebuild(const GraphContext& ctx);
    void resetFor(const GraphContext& ctx);
    void measure(const GraphContext& ctx, Extents& out);
    void layOutGrid(const Extents& extents);
    void fillCells(const std::vector<BoundsF>& bounds, const std::vector<uint8_t>& isPlaced,
                   std::vector<int32_t>& offsets, std::vector<int32_t>& cells,
                   std::vector<int32_t>& always) const;
    void indexLinksByNode(const SchematicGraph& table);
    void collect(const std::vector<int32_t>& offsets, const std::vector<int32_t>& cells,
                 const std::vector<int32_t>& always, int32_t count, const BoundsF& rel,
                 std::vector<uint32_t>& stamps, std::vector<int32_t>& out);

    bool built_ = false;
    uint64_t generation_ = 0;
    const SchematicGraph* table_ = nullptr;
    size_t tableSize_ = 0;
    const void* tableData_ = nullptr;
    float zoom_ = 0.0f;

    // Grid over pan-relative client pixels.
    float originX_ = 0, originY_ = 0, cell_ = 1;
    int32_t columns_ = 0, rows_ = 0;
    std::vector<int32_t> nodeOffsets_, nodeCells_, linkOffsets_, linkCells_;
    std::vector<int32_t> alwaysNodes_, alwaysLinks_;  // unplaceable: every query answers them
    std::vector<LinkItem> links_;
    std::vector<int32_t> linksOfNodeOffsets_, linksOfNode_;  // both ends, for moved nodes
    std::vector<uint8_t> movedNode_;
    std::vector<int32_t> movedNodes_;
    std::vector<uint32_t> nodeStamps_, linkStamps_;
    uint32_t stamp_ = 0;
    std::vector<int32_t> alwaysScratch_;
    std::vector<int32_t> selectedNodes_;
    std::vector<std::pair<int32_t, int32_t>> selectedOutputs_;
};

// Bumps the generation: the graph changed in a way the index cannot follow.
inline void graphChanged(GraphContext& ctx) { ++ctx.generation; }

// Everything a node may paint, in client pixels (body, shadow, caption, bitmap,
// sockets, labels, separators), grown by its pen. False when not finite.
bool nodeExtent(const SchematicNode& node, BoundsF& out);
// Everything one link may paint or be hit at: the hull of its curve with its
// arrowhead and weight box, and the straight segment the press tests.
bool linkExtent(const GraphContext& ctx, const SchematicSocket& output, size_t link, BoundsF& out);
