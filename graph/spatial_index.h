// spatial_index.h - a uniform grid over node extents and link bounds, for presses and culling.
#pragma once
#include <array>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "graph/geometry.h"
#include "graph/graph_context.h"
#include "graph/records.h"
#include "graph/two_parts.h"

// One link as the scans visit it: node index, position in its outputs, position in links.
struct LinkItem {
    int32_t node = 0, output = 0, link = 0;
};

// The horizontal line through a node's middle, where links drawn at it end.
struct MidLine {
    float left = 0, y = 0, right = 0;
};

// What measuring a link reads of a node at either end, taken once per rebuild.
struct LinkEnd {
    SocketOrigin origin;
    MidLine ancestor;             // the visible ancestor its links are drawn at
    bool hasAncestor = false;
    bool pinned = false;          // its links do not follow the pan
    float inset = 0, growth = 0;  // as the owner of links
};

// A cache over the graph: everything a node or a link may paint or be hit at, in
// cells. It answers candidates, a superset of what meets a rectangle, in table order
// (links in the scan order node, output, link); callers decide with the exact test.
// The pan is subtracted out, so panning keeps it. It is rebuilt whole when
// GraphContext::generation or the table changed, or when a table lost nodes; a new
// zoom alone rescales it, unless some node has a parent or children. A node noted as
// changed, and nodes appended to the table, are measured again at the next query and
// answered from a short list beside the cells until the next rebuild; the list has a
// bound past which the next query rebuilds. A big table is measured and filed in
// two halves on two threads, the second kept between rebuilds; the graph is only
// read meanwhile, and the result is the one a single scan gives.
class SpatialIndex {
public:
    // Candidates meeting rect. False when the view is out of the index's reach
    // (no table, a pan or zoom beyond what floats place exactly): visit everything.
    bool query(const GraphContext& ctx, const BoundsF& rect, std::vector<int32_t>* nodes,
               std::vector<int32_t>* links);
    const LinkItem& link(int32_t id) const { return links_[size_t(id)]; }
    // The node at the link's input end when it was last measured, -1 for none.
    int32_t peer(int32_t id) const { return peerOf_[size_t(id)]; }
    // The node at index changed where it is, what it looks like, its sockets or
    // links at either end. A node with a parent or children makes the next query
    // rebuild: moving it moves others.
    void noteChanged(int32_t index);
    void invalidate() { built_ = false; }
    // Built for the graph as it is: nothing changed since the last query.
    bool current(const GraphContext& ctx) const;

    // Selection hints, valid while current(): a superset of the selected nodes and
    // of the outputs (as node, output) with a selected link, taken at the rebuild,
    // grown by every changed node, and kept by the press.
    std::vector<int32_t>& selectedNodes() { return selectedNodes_; }
    std::vector<std::pair<int32_t, int32_t>>& selectedOutputs() { return selectedOutputs_; }
    // The nodes a drag may move, ascending: a superset of the selected ones, from the
    // hints and the changes not yet folded in. False when the table must be scanned:
    // something changed unseen, or a node has a parent or children (they move together).
    bool dragCandidates(const GraphContext& ctx, std::vector<int32_t>& out) const;

private:
    // Cells over pan-relative client pixels, one grid per kind of item: each sized
    // to what it holds, so that a long link does not fill a row of small cells.
    struct Grid {
        float originX = 0, originY = 0, cell = 1;
        int32_t columns = 0, rows = 0;
        std::vector<int32_t> offsets, cells;  // cell c holds cells[offsets[c]] up to [offsets[c + 1]]
        std::vector<int32_t> always;          // unplaceable: every query answers them
        // fill's own, kept for the next fill: per item its cells, and per part of the
        // items their count and next place in each cell, and those too big for cells
        std::vector<int32_t> spans;
        std::array<std::vector<int32_t>, 2> tallies, next, tooBig;
        void layOut(const BoundsF& extent, size_t items, float meanSide);
        void fill(const std::vector<BoundsF>& bounds, const std::vector<uint8_t>& isPlaced, TwoParts& parts,
                  bool split);
        void count(const std::vector<BoundsF>& bounds, const std::vector<uint8_t>& isPlaced, size_t first,
                   size_t last, size_t part);
        void place(size_t first, size_t last, size_t part);
    };
    // Rebuilt nodes' table positions by address, open addressing: a link's far end
    // is found without a search.
    struct AddressTable {
        std::vector<std::pair<const SchematicNode*, int32_t>> slots;
        size_t mask = 0, used = 0;
        void reset(size_t nodes);
        size_t home(const SchematicNode* node) const;
        void add(const SchematicNode* node, int32_t index);
        int32_t find(const SchematicNode* node) const;
    };
    // An item measured again after the rebuild: answered when always, or when its
    // bounds meet the query.
    struct Patched {
        int32_t id = 0;
        BoundsF bounds;
        bool always = false;
    };
    // The phases of a rebuild, in order.
    void rebuild(const GraphContext& ctx);
    void resetFor(const GraphContext& ctx);
    // What the grids are laid out from: the placed extents' hull, count and sides.
    struct Tally {
        BoundsF hull{kNoHull, kNoHull, -kNoHull, -kNoHull};
        size_t placed = 0;
        double sides = 0;
        static constexpr float kNoHull = std::numeric_limits<float>::infinity();
    };
    // One part of the table, measured on its own: what its scan gathers, in table order.
    struct Run {
        size_t begin = 0, end = 0;  // its nodes
        size_t firstLink = 0;       // the id of its first link
        std::vector<LinkItem> links;
        std::vector<const SchematicSocket*> farEnds;
        std::vector<Vec2> nearCorners;  // per link, its output's box corner
        std::vector<SocketPlace> farPlaces;
        std::vector<int32_t> nodeAlways, linkAlways, selected;
        std::vector<std::pair<int32_t, int32_t>> selectedOutputs;
        bool anyHierarchy = false;
        Tally nodeTally, linkTally;
    };
    void measure(const GraphContext& ctx);
    void measureNodes(const GraphContext& ctx, Run& run);
    void measureLinks(const GraphContext& ctx, Run& run);
    void fillGrids(const std::vector<uint8_t>& nodePlaced, const std::vector<uint8_t>& linkPlaced);
    void layOutGrids(const std::vector<uint8_t>& nodePlaced, const std::vector<uint8_t>& linkPlaced);
    void layOutGrids(const Tally& nodes, const Tally& links);
    void restartStamps();
    void rescale(const GraphContext& ctx);
    // Changes since the rebuild, measured in place; false when a rebuild must follow.
    bool foldChanges(const GraphContext& ctx);
    bool remeasureNode(const GraphContext& ctx, int32_t index);
    void relistOwnLinks(const GraphContext& ctx, int32_t index, bool pinned);
    void remeasureLinksInto(const GraphContext& ctx, const SchematicNode& node, int32_t index);
    void remeasureLink(const GraphContext& ctx, int32_t id);
    int32_t linkId(int32_t node, int32_t output, int32_t link) const;
    void patch(std::vector<Patched>& list, std::vector<int32_t>& slots, const Patched& item);
    void dropLink(int32_t id);
    int32_t indexOfNode(const SchematicNode* node) const;
    void collect(const Grid& grid, const std::vector<BoundsF>& bounds, const std::vector<Patched>& patched,
                 const std::vector<int32_t>& slots, int32_t count, const BoundsF& rel,
                 std::vector<uint32_t>& stamps, std::vector<int32_t>& out);

    // A rebuild's working lists, kept so that the next one reuses their memory (a
    // big block freed and taken again would come back as fresh pages to fault in).
    struct Scratch {
        std::vector<LinkEnd> ends;
        std::array<Run, 2> runs;
        std::vector<uint8_t> nodePlaced, linkPlaced;
        std::vector<float> growth;
        std::vector<LinkItem> links;
        std::vector<int32_t> peers;
        std::vector<const std::vector<int32_t>*> relisted;
    } scratch_;

    TwoParts parts_;  // a big rebuild's second thread
    bool built_ = false;
    uint64_t generation_ = 0;
    const SchematicGraph* table_ = nullptr;
    size_t tableSize_ = 0;        // nodes the index answers for
    size_t rebuiltNodes_ = 0;     // of which the rebuild measured the first ones
    const void* tableData_ = nullptr;
    float zoom_ = 0.0f;

    Grid nodeGrid_, linkGrid_;
    std::vector<BoundsF> nodeBounds_, linkBounds_;  // as rebuilt, pan subtracted
    std::vector<LinkItem> links_;
    std::vector<int32_t> firstLinkOf_;  // rebuilt nodes' own links: ids firstLinkOf_[i] up to [i + 1]
    std::vector<int32_t> peerOf_;       // each link's node at its input end, -1 for none
    AddressTable owners_;

    // Where each node and link is answered from: -1 the cells, else its place in
    // the patched list; links no longer in the graph are -2.
    std::vector<int32_t> nodeSlot_, linkSlot_;
    std::vector<Patched> patchedNodes_, patchedLinks_;
    std::unordered_map<int32_t, std::vector<int32_t>> relinked_;  // nodes whose own links were listed again
    std::vector<int32_t> pending_;
    std::vector<uint8_t> isPending_;
    bool mustRebuild_ = false;
    bool anyHierarchy_ = false;  // as rebuilt: some node has a parent or children

    std::vector<uint32_t> nodeStamps_, linkStamps_;
    std::vector<uint64_t> sortBits_;  // collect's own, kept for the next query
    uint32_t stamp_ = 0;
    std::vector<int32_t> selectedNodes_;
    std::vector<std::pair<int32_t, int32_t>> selectedOutputs_;
};

// The node at index changed in a way the index can follow in place.
inline void nodeChanged(GraphContext& ctx, int32_t index) {
    if (ctx.spatialIndex) ctx.spatialIndex->noteChanged(index);
}
// Bumps the generation: the graph changed in a way the index cannot follow.
inline void graphChanged(GraphContext& ctx) { ++ctx.generation; }

// Everything a node may paint, in client pixels (body, shadow, caption, bitmap,
// sockets, labels, separators), grown by its pen. False when not finite.
bool nodeExtent(const SchematicNode& node, BoundsF& out);
// Everything one link may paint or be hit at: the hull of its curve with its
// arrowhead and weight box, and the straight segment the press tests.
bool linkExtent(const GraphContext& ctx, const SchematicSocket& output, size_t link, BoundsF& out);
