// spatial_index.cpp - the grid behind presses and culling, and the extents it holds.
#include "graph/spatial_index.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <xmmintrin.h>

#include "graph/address_slots.h"
#include "graph/geometry.h"
#include "graph/hierarchy.h"

namespace {

// Beyond this a float no longer places a pixel within the slack below.
constexpr float kReach = 1.0e7f;
// Rounding of (p * zoom + pan) against (p * zoom) + another pan, and truncation.
constexpr float kSlack = 4.0f;
constexpr int32_t kMaxCellsPerItem = 256;
// An item spanning at most this many cells each way is filed once, in its top-left
// cell, and queries look that many cells less one further left and up: most items
// then cost one entry instead of up to four, to fill and to scan.
constexpr int32_t kLooseSpan = 2;
constexpr int32_t kMaxColumns = 512;
// From this many nodes a rebuild measures in two runs on two threads: below it a
// thread costs more than it saves.
constexpr size_t kSplitNodes = 16384;

struct Grow {
    BoundsF b{INFINITY, INFINITY, -INFINITY, -INFINITY};
    // As std::min and std::max over {bound, a, b}, NaNs included, without the list.
    static float lower(float m, float v) { return v < m ? v : m; }
    static float upper(float m, float v) { return m < v ? v : m; }
    void add(float l, float t, float r, float bo) {
        b.left = lower(lower(b.left, l), r);
        b.right = upper(upper(b.right, l), r);
        b.top = lower(lower(b.top, t), bo);
        b.bottom = upper(upper(b.bottom, t), bo);
    }
    void add(Vec2 p) { add(p.x, p.y, p.x, p.y); }
    bool finish(float by, BoundsF& out) const {
        out = {b.left - by, b.top - by, b.right + by, b.bottom + by};
        return std::isfinite(out.left) && std::isfinite(out.right) && std::isfinite(out.top) &&
               std::isfinite(out.bottom);
    }
};

void prefetch(const void* p) { _mm_prefetch(static_cast<const char*>(p), _MM_HINT_T0); }
// Every cache line of the record at p.
void prefetchRecord(const void* p, size_t bytes) {
    const char* at = static_cast<const char*>(p);
    for (size_t k = 0; k < bytes; k += 64) prefetch(at + k);
    prefetch(at + bytes - 1);
}

float zoomOf(const SchematicNode& node) { return node.viewStateRef ? node.viewStateRef->zoom : 1.0f; }

bool placeable(const BoundsF& b) {
    return std::fabs(b.left) < kReach && std::fabs(b.right) < kReach && std::fabs(b.top) < kReach &&
           std::fabs(b.bottom) < kReach;
}

// Nodes whose place does not follow the control's pan: pinned to the view, or
// measured against another view (or none).
bool followsPan(const GraphContext& ctx, const SchematicNode* node) {
    return !node || (node->viewAlign != -1 && node->viewAlign != 1 && node->viewStateRef == ctx.viewState);
}

bool linkExtentBetween(const SchematicSocket& output, size_t u, const SchematicNode* from,
                       const SchematicNode* to, BoundsF& out);

// What a link of node's outputs reaches past the line between its ends (pixels):
// the press's probe square or the arrowhead, and the weight box (its half width and
// a pixel of truncation; its half height is less).
float linkMargin(const SchematicNode& node) {
    const float z = zoomOf(node);
    const float arrow = std::fabs(arrowLengthClient(z)) + std::fabs(arrowHalfWidthClient(z)) + kArrowRounding;
    const bool weights = node.viewStateRef && node.viewStateRef->drawWeights;
    static_assert(kWeightBoxHalfHeight <= kWeightBoxHalfWidth + 1.0f, "the weight box grows links evenly");
    return (std::max)(kLinkProbeCover, arrow) + (weights ? kWeightBoxHalfWidth + 1.0f : 0.0f);
}

// Not answered from the cells, nor always; the bounds meet no rectangle.
constexpr BoundsF kNowhere{NAN, NAN, NAN, NAN};
// How many items may be measured again before the next query rebuilds instead.
constexpr size_t kMaxPatchedNodes = 2048;
constexpr size_t kMaxPatchedLinks = 8192;

bool meets(const BoundsF& b, const BoundsF& r) {
    return b.left <= r.right && b.right >= r.left && b.top <= r.bottom && b.bottom >= r.top;
}

bool nodePinned(const GraphContext& ctx, const SchematicNode& node) {
    return !followsPan(ctx, &node) || (node.parent && !followsPan(ctx, node.parent));
}

// Client bounds made pan-relative; false when floats no longer place them exactly.
bool lessPan(const GraphContext& ctx, BoundsF& b) {
    const Vec2 pan = ctx.viewState->pan;
    b = {b.left - pan.x, b.top - pan.y, b.right - pan.x, b.bottom - pan.y};
    return placeable(b);
}

bool extentFrom(const SchematicNode& node, const SocketOrigin& origin, BoundsF& out);

// The node's extent, pan subtracted; false when it must be answered always.
bool placeNode(const GraphContext& ctx, const SchematicNode& node, bool pinned, const SocketOrigin& origin,
               BoundsF& out) {
    return !pinned && extentFrom(node, origin, out) && lessPan(ctx, out);
}
bool placeNode(const GraphContext& ctx, const SchematicNode& node, bool pinned, BoundsF& out) {
    return placeNode(ctx, node, pinned, socketOriginOf(node), out);
}

// Likewise for link u of output, whose node is node (pinned or not) drawn from `from`.
bool placeLink(const GraphContext& ctx, bool ownerPinned, const SchematicNode* from,
               const SchematicSocket& output, size_t u, BoundsF& out) {
    const SchematicSocket* input = output.links[u];
    const SchematicNode* peer = input ? input->ownerNode : nullptr;
    const SchematicNode* to = peer ? visibleAncestor(ctx, *peer) : nullptr;
    const bool pinned = ownerPinned || !followsPan(ctx, peer) || !followsPan(ctx, from) ||
                        !followsPan(ctx, to) || (peer && peer->parent && !followsPan(ctx, peer->parent));
    return !pinned && linkExtentBetween(output, u, from, to, out) && lessPan(ctx, out);
}

// The position of a word's lowest set bit (the word is not zero): a de Bruijn
// multiply, as every compiler the plug-ins meet builds it.
constexpr uint64_t kDeBruijn = 0x03f79d71b4cb0a89ull;
constexpr std::array<uint8_t, 64> kLowestBit = [] {
    std::array<uint8_t, 64> table{};
    for (unsigned i = 0; i < 64; ++i) table[((uint64_t{1} << i) * kDeBruijn) >> 58] = uint8_t(i);
    return table;
}();
unsigned lowestBit(uint64_t word) { return kLowestBit[((word & (~word + 1)) * kDeBruijn) >> 58]; }

// A placed extent counted for the grids' layout: finite, and not inside out.
template <class Tally>
inline void addToTally(Tally& t, const BoundsF& b) {
    t.hull.left = (std::min)(t.hull.left, b.left);
    t.hull.top = (std::min)(t.hull.top, b.top);
    t.hull.right = (std::max)(t.hull.right, b.right);
    t.hull.bottom = (std::max)(t.hull.bottom, b.bottom);
    t.sides += double((std::max)(b.right - b.left, b.bottom - b.top));
    ++t.placed;
}
template <class Tally>
void mergeTally(Tally& into, const Tally& t) {
    if (!t.placed) return;  // its hull is inside out
    Grow g{into.hull};
    g.add(t.hull.left, t.hull.top, t.hull.right, t.hull.bottom);
    into.hull = g.b;
    into.sides += t.sides;
    into.placed += t.placed;
}

bool scanOrder(const LinkItem& a, const LinkItem& b) {
    if (a.node != b.node) return a.node < b.node;
    if (a.output != b.output) return a.output < b.output;
    return a.link < b.link;
}

}  // namespace

bool nodeExtent(const SchematicNode& node, BoundsF& out) { return extentFrom(node, socketOriginOf(node), out); }

namespace {
// nodeExtent with the node's socket origin, which the rebuild takes once.
bool extentFrom(const SchematicNode& node, const SocketOrigin& origin, BoundsF& out) {
    const Vec2 p = origin.corner, s = origin.size;
    const float x = p.x, y = p.y, w = s.x, h = s.y, z = zoomOf(node);
    Grow g;
    g.add(x - kShadowOffset, y, x + w + kShadowOffset, y + h + kShadowOffset);  // body and shadow
    g.add(x, y, x + w, y + z * kTitleBarHeight);  // the title bar may reach below a short node
    // Caption box, wherever its offset puts it.
    const Vec2 caption = captionOffsetClient(node, z);
    const float nx = caption.x, ny = caption.y;
    g.add(x + nx, y + ny, x + nx + w, y + ny + h + 1);
    // Bitmap: its side may exceed the node.
    const float side = nodeBitmapSideClient(node, z);
    g.add(x - std::fabs(side), y - std::fabs(side), x + w + std::fabs(side), y + h + std::fabs(side));
    const float labelHeight = z * kSocketLabelHeight;
    for (const auto* list : {&node.inputs, &node.outputs})
        for (const SchematicSocket* socket : *list) {
            if (!socket) continue;
            const Vec2 a = socket->ownerNode == &node ? socketScreenPosition(*socket, origin) : socketScreenPosition(*socket);
            const float box = z * socket->radius;
            g.add(a.x, a.y, a.x + box, a.y + box);
            // The label on its side, with its offset.
            const BoundsF label = socketLabelClient(*socket, a, box, w, z, labelHeight, socketLabelOnRight(*socket));
            // The separator, across the node at the label's top, lies within the body and label.
            g.add(label.left, label.top, label.right, label.bottom);
        }
    // Pens are centred on the outline.
    const float pen = float(std::min<int64_t>(std::llabs(int64_t(node.borderWidth)), int64_t(kReach)));
    return g.finish(kSlack + pen, out);
}
}  // namespace

namespace {
MidLine midLineOf(const SchematicNode& node) {
    const Vec2 p = nodePositionClient(node), s = nodeSizeClient(node);
    return {p.x, p.y + s.y * 0.5f, p.x + s.x};
}

// A link from socket box corner a to corner b. The press tests the straight segment
// between the corners; the curve runs between the boxes' centres (the corners moved
// by hs), or from and to the mid-lines of the visible ancestors it is drawn at.
bool linkBounds(Vec2 a, Vec2 b, float hs, const MidLine* from, const MidLine* to, float grow, BoundsF& out) {
    Grow g;
    g.add(a);
    g.add(b);
    if (from) g.add(from->left, from->y, from->right, from->y);
    g.add(a.x + hs, a.y + hs, a.x + hs, a.y + hs);
    if (to) g.add(to->left, to->y, to->right, to->y);
    g.add(b.x + hs, b.y + hs, b.x + hs, b.y + hs);
    return g.finish(grow, out);
}

float linkGrowth(const SchematicNode& owner) { return kSlack + linkMargin(owner); }

LinkEnd linkEndOf(const GraphContext& ctx, const SchematicNode& node, bool pinned) {
    LinkEnd end;
    end.origin = socketOriginOf(node);
    const SchematicNode* ancestor = visibleAncestor(ctx, node);
    if (ancestor) end.ancestor = midLineOf(*ancestor), end.hasAncestor = true;
    end.pinned = pinned || !followsPan(ctx, ancestor);
    end.inset = linkEndInsetClient(zoomOf(node));
    end.growth = linkGrowth(node);
    return end;
}

// linkExtent with the visible ancestors of both ends, which the caller knows.
bool linkExtentBetween(const SchematicSocket& output, size_t u, const SchematicNode* from,
                       const SchematicNode* to, BoundsF& out) {
    const SchematicSocket* input = output.links[u];
    const SchematicNode* node = output.ownerNode;
    if (!input || !node) return false;
    MidLine fromLine, toLine;
    if (from) fromLine = midLineOf(*from);
    if (to) toLine = midLineOf(*to);
    return linkBounds(socketScreenPosition(output), socketScreenPosition(*input), linkEndInsetClient(zoomOf(*node)),
                      from ? &fromLine : nullptr, to ? &toLine : nullptr, linkGrowth(*node), out);
}
}  // namespace

bool linkExtent(const GraphContext& ctx, const SchematicSocket& output, size_t u, BoundsF& out) {
    const SchematicSocket* input = output.links[u];
    if (!input || !output.ownerNode) return false;
    const SchematicNode* peer = input->ownerNode;
    return linkExtentBetween(output, u, visibleAncestor(ctx, *output.ownerNode),
                             peer ? visibleAncestor(ctx, *peer) : nullptr, out);
}

bool SpatialIndex::current(const GraphContext& ctx) const {
    return built_ && !mustRebuild_ && pending_.empty() && generation_ == ctx.generation &&
           table_ == ctx.nodeTable && tableSize_ == ctx.nodeTable->size() &&
           tableData_ == ctx.nodeTable->data() && zoom_ == ctx.viewState->zoom;
}

void SpatialIndex::rebuild(const GraphContext& ctx) {
    resetFor(ctx);
    measure(ctx);
    Tally nodes, links;
    for (const Run& run : scratch_.runs) {
        mergeTally(nodes, run.nodeTally);
        mergeTally(links, run.linkTally);
    }
    layOutGrids(nodes, links);
    fillGrids(scratch_.nodePlaced, scratch_.linkPlaced);
    restartStamps();
}

void SpatialIndex::fillGrids(const std::vector<uint8_t>& nodePlaced, const std::vector<uint8_t>& linkPlaced) {
    const bool split = tableSize_ >= kSplitNodes;
    nodeGrid_.fill(nodeBounds_, nodePlaced, parts_, split);
    linkGrid_.fill(linkBounds_, linkPlaced, parts_, split);
}

// A new zoom and nothing else, with no parent or child anywhere: every node is
// measured again in table order, and a link's bounds are its two nodes' bounds
// grown by what a link adds past its socket boxes. Those bounds hold the link's
// extent. No socket is read: the links and their peers are the index's own, every
// change folded in, and so are the outputs' selection hints.
void SpatialIndex::rescale(const GraphContext& ctx) {
    const SchematicGraph& table = *ctx.nodeTable;
    std::vector<const std::vector<int32_t>*>& relisted = scratch_.relisted;
    relisted.assign(table.size(), nullptr);
    for (const auto& [node, ids] : relinked_) relisted[size_t(node)] = &ids;
    std::vector<LinkItem>& links = scratch_.links;
    std::vector<int32_t>& peers = scratch_.peers;
    links.clear();
    peers.clear();
    links.reserve(links_.size());
    peers.reserve(links_.size());
    auto take = [&](int32_t id) {
        links.push_back(links_[size_t(id)]);
        peers.push_back(peerOf_[size_t(id)]);
    };
    for (size_t i = 0; i < table.size(); ++i)
        if (relisted[i])
            for (int32_t id : *relisted[i]) take(id);
        else if (i < rebuiltNodes_)
            for (int32_t id = firstLinkOf_[i]; id < firstLinkOf_[i + 1]; ++id) take(id);
    std::vector<std::pair<int32_t, int32_t>> outputs = std::move(selectedOutputs_);
    const size_t rebuiltBefore = rebuiltNodes_;
    resetFor(ctx);
    selectedOutputs_ = std::move(outputs);

    std::vector<uint8_t>& nodePlaced = scratch_.nodePlaced;
    std::vector<uint8_t>& linkPlaced = scratch_.linkPlaced;
    std::vector<float>& grow = scratch_.growth;
    nodePlaced.assign(table.size(), 0);
    grow.assign(table.size(), 0.0f);
    nodeBounds_.assign(table.size(), BoundsF{});
    for (size_t i = 0; i < table.size(); ++i) {
        SchematicNode* node = table[i];
        if (!node) continue;
        if (i >= rebuiltBefore) owners_.add(node, int32_t(i));
        if (placeNode(ctx, *node, nodePinned(ctx, *node), nodeBounds_[i])) nodePlaced[i] = 1;
        else nodeGrid_.always.push_back(int32_t(i));
        if (node->selected) selectedNodes_.push_back(int32_t(i));
        // The curve is inset from the socket boxes by at most hs; the link's margin reaches past that.
        grow[i] = std::fabs(linkEndInsetClient(zoomOf(*node))) + linkMargin(*node);
    }
    links_.swap(links);  // the old lists stay as next time's scratch
    peerOf_.swap(peers);
    linkBounds_.resize(links_.size());
    linkPlaced.assign(links_.size(), 0);
    firstLinkOf_.assign(table.size() + 1, 0);
    for (size_t l = 0; l < links_.size(); ++l) {
        const size_t a = size_t(links_[l].node);
        const int32_t peer = peerOf_[l];
        ++firstLinkOf_[a + 1];
        bool ok = peer >= 0 && nodePlaced[a] && nodePlaced[size_t(peer)];
        if (ok) {
            const BoundsF& from = nodeBounds_[a];
            const BoundsF& to = nodeBounds_[size_t(peer)];
            const float g = grow[a];
            linkBounds_[l] = {(std::min)(from.left, to.left) - g, (std::min)(from.top, to.top) - g,
                              (std::max)(from.right, to.right) + g, (std::max)(from.bottom, to.bottom) + g};
            ok = placeable(linkBounds_[l]);
        }
        linkPlaced[l] = ok ? 1 : 0;
        if (!ok) linkGrid_.always.push_back(int32_t(l));
    }
    for (size_t i = 0; i < table.size(); ++i) firstLinkOf_[i + 1] += firstLinkOf_[i];
    linkSlot_.assign(links_.size(), -1);
    layOutGrids(nodePlaced, linkPlaced);
    fillGrids(nodePlaced, linkPlaced);
    restartStamps();
}

void SpatialIndex::resetFor(const GraphContext& ctx) {
    const SchematicGraph& table = *ctx.nodeTable;
    built_ = true;
    mustRebuild_ = false;
    generation_ = ctx.generation;
    table_ = ctx.nodeTable;
    tableSize_ = rebuiltNodes_ = table.size();
    tableData_ = table.data();
    zoom_ = ctx.viewState->zoom;
    nodeGrid_.always.clear();
    linkGrid_.always.clear();
    links_.clear();
    linkBounds_.clear();
    selectedNodes_.clear();
    selectedOutputs_.clear();
    nodeSlot_.assign(table.size(), -1);
    patchedNodes_.clear();
    patchedLinks_.clear();
    relinked_.clear();
    pending_.clear();
    isPending_.assign(table.size(), 0);
    anyHierarchy_ = false;
    peerOf_.clear();
}

// Extents, pan subtracted; those that cannot be placed are answered always. The
// selection hints are taken on the same scan. Nodes first, in table order, each
// leaving what a link reads of it at either end; then the links, reading of their
// far end only the socket. A big table is measured in two runs, on two threads:
// each run writes only its own lists and its own stretch of the shared ones, and
// the runs are joined in table order, so the result is the one a single scan gives.
void SpatialIndex::measure(const GraphContext& ctx) {
    const SchematicGraph& table = *ctx.nodeTable;
    const size_t n = table.size();
    nodeBounds_.assign(n, BoundsF{});
    scratch_.nodePlaced.assign(n, 0);
    firstLinkOf_.assign(n + 1, 0);
    scratch_.ends.resize(n);
    std::array<Run, 2>& runs = scratch_.runs;
    // The second part also lists the nodes by address, so it measures fewer of them.
    runs[0].begin = 0;
    runs[0].end = runs[1].begin = n / 2 + n / 32;
    runs[1].end = n;
    const bool split = n >= kSplitNodes;
    parts_.run(split, [&](size_t part) {
        if (part == 1) {
            owners_.reset(n);
            for (size_t i = 0; i < n; ++i) {
                if (i + 16 < n && table[i + 16]) prefetch(&owners_.slots[owners_.home(table[i + 16])]);
                if (table[i]) owners_.add(table[i], int32_t(i));
            }
        }
        measureNodes(ctx, runs[part]);
    });
    runs[0].firstLink = 0;
    runs[1].firstLink = runs[0].links.size();
    const size_t count = runs[0].links.size() + runs[1].links.size();
    for (size_t i = runs[1].begin; i < n; ++i) firstLinkOf_[i] += int32_t(runs[1].firstLink);
    firstLinkOf_[n] = int32_t(count);
    for (const Run& run : runs) {
        nodeGrid_.always.insert(nodeGrid_.always.end(), run.nodeAlways.begin(), run.nodeAlways.end());
        selectedNodes_.insert(selectedNodes_.end(), run.selected.begin(), run.selected.end());
        selectedOutputs_.insert(selectedOutputs_.end(), run.selectedOutputs.begin(), run.selectedOutputs.end());
        anyHierarchy_ = anyHierarchy_ || run.anyHierarchy;
    }
    links_.resize(count);
    peerOf_.assign(count, -1);
    linkBounds_.assign(count, BoundsF{});
    scratch_.linkPlaced.assign(count, 0);
    parts_.run(split, [&](size_t part) { measureLinks(ctx, runs[part]); });
    for (const Run& run : runs) linkGrid_.always.insert(linkGrid_.always.end(), run.linkAlways.begin(), run.linkAlways.end());
    linkSlot_.assign(count, -1);
}

void SpatialIndex::measureNodes(const GraphContext& ctx, Run& run) {
    const SchematicGraph& table = *ctx.nodeTable;
    std::vector<uint8_t>& nodePlaced = scratch_.nodePlaced;
    std::vector<LinkEnd>& ends = scratch_.ends;
    run.links.clear();
    run.farEnds.clear();
    run.nearCorners.clear();
    run.nodeAlways.clear();
    run.selected.clear();
    run.selectedOutputs.clear();
    run.anyHierarchy = false;
    run.nodeTally = Tally{};
    const size_t expected = (run.end - run.begin) * 2;
    run.links.reserve(expected);
    run.farEnds.reserve(expected);
    run.nearCorners.reserve(expected);
    // What measuring a node reads lies in blocks each found through the one before
    // (the node, its socket lists, the sockets, an output's links): each is fetched
    // a stage ahead of the block it is found through, read from a fetched block.
    constexpr size_t kStage = 4;
    auto ahead = [&](size_t i) -> const SchematicNode* { return i < run.end ? table[i] : nullptr; };
    for (size_t i = run.begin; i < run.end; ++i) {
        if (const SchematicNode* a = ahead(i + 4 * kStage)) prefetchRecord(a, sizeof(SchematicNode));
        if (const SchematicNode* b = ahead(i + 3 * kStage)) {
            if (!b->inputs.empty()) prefetch(b->inputs.data());
            if (!b->outputs.empty()) prefetch(b->outputs.data());
        }
        if (const SchematicNode* c = ahead(i + 2 * kStage))
            for (const auto* list : {&c->inputs, &c->outputs})
                for (const SchematicSocket* socket : *list)
                    if (socket) prefetchRecord(socket, sizeof(SchematicSocket));
        if (const SchematicNode* d = ahead(i + kStage))
            for (const SchematicSocket* output : d->outputs)
                if (output && !output->links.empty()) prefetch(output->links.data());
        firstLinkOf_[i] = int32_t(run.links.size());  // within the run, until the runs are joined
        const SchematicNode* node = table[i];
        if (!node) continue;
        const bool pinned = nodePinned(ctx, *node);
        ends[i] = linkEndOf(ctx, *node, pinned);
        if (placeNode(ctx, *node, pinned, ends[i].origin, nodeBounds_[i])) {
            nodePlaced[i] = 1;
            addToTally(run.nodeTally, nodeBounds_[i]);
        } else {
            run.nodeAlways.push_back(int32_t(i));
        }
        if (node->selected) run.selected.push_back(int32_t(i));
        if (!node->children.empty() || node->parent) run.anyHierarchy = true;
        for (size_t o = 0; o < node->outputs.size(); ++o) {
            const SchematicSocket* output = node->outputs[o];
            if (!output) continue;
            if (output->selectedLink != -1) run.selectedOutputs.push_back({int32_t(i), int32_t(o)});
            const Vec2 corner = socketScreenPosition(*output, ends[i].origin);
            for (size_t u = 0; u < output->links.size(); ++u) {
                run.links.push_back({int32_t(i), int32_t(o), int32_t(u)});
                run.farEnds.push_back(output->links[u]);
                run.nearCorners.push_back(corner);
            }
        }
    }
}

void SpatialIndex::measureLinks(const GraphContext& ctx, Run& run) {
    const SchematicGraph& table = *ctx.nodeTable;
    const std::vector<LinkEnd>& ends = scratch_.ends;
    const std::vector<const SchematicSocket*>& farEnds = run.farEnds;
    const size_t count = run.links.size(), first = run.firstLink;
    std::copy(run.links.begin(), run.links.end(), links_.begin() + ptrdiff_t(first));
    int32_t* const peers = peerOf_.data() + first;
    BoundsF* const bounds = linkBounds_.data() + first;
    uint8_t* const placed = scratch_.linkPlaced.data() + first;
    run.linkAlways.clear();
    run.linkTally = Tally{};
    // The far ends first: each link's socket is read once, for its node's table
    // position and for what places it, fetched ahead in two stages (the socket, then
    // its node's slot in owners_), since sockets lie scattered through the records.
    std::vector<SocketPlace>& farPlaces = run.farPlaces;
    farPlaces.resize(count);
    constexpr size_t kAhead = 16;
    for (size_t l = 0; l < count; ++l) {
        if (l + 2 * kAhead < count)
            if (const SchematicSocket* s = farEnds[l + 2 * kAhead]) {
                prefetch(s);
                prefetch(&s->socketPosition + 1);
            }
        if (l + kAhead < count)
            if (const SchematicSocket* s = farEnds[l + kAhead]; s && s->ownerNode)
                prefetch(&owners_.slots[owners_.home(s->ownerNode)]);
        const SchematicSocket* s = farEnds[l];
        peers[l] = s ? indexOfNode(s->ownerNode) : -1;
        if (s) farPlaces[l] = socketPlaceOf(*s);
    }
    for (size_t l = 0; l < count; ++l) {
        if (l + kAhead < count && peers[l + kAhead] >= 0)
            prefetchRecord(&ends[size_t(peers[l + kAhead])], sizeof(LinkEnd));
        const LinkItem& k = run.links[l];
        const int32_t j = peers[l];
        bool ok;
        if (j >= 0) {
            const LinkEnd& near = ends[size_t(k.node)];
            const LinkEnd& far = ends[size_t(j)];
            ok = !near.pinned && !far.pinned &&
                 linkBounds(run.nearCorners[l], socketScreenPosition(farPlaces[l], far.origin), near.inset,
                            near.hasAncestor ? &near.ancestor : nullptr, far.hasAncestor ? &far.ancestor : nullptr,
                            near.growth, bounds[l]) &&
                 lessPan(ctx, bounds[l]);
        } else {
            // No far end, or one outside the table: measured from the records.
            const SchematicNode& owner = *table[size_t(k.node)];
            ok = placeLink(ctx, nodePinned(ctx, owner), visibleAncestor(ctx, owner),
                           *owner.outputs[size_t(k.output)], size_t(k.link), bounds[l]);
        }
        placed[l] = ok ? 1 : 0;
        if (ok) addToTally(run.linkTally, bounds[l]);
        else run.linkAlways.push_back(int32_t(first + l));
    }
}

// One grid per kind over all placed extents: about one item per cell, and cells
// no smaller than the items' mean side.
void SpatialIndex::layOutGrids(const std::vector<uint8_t>& nodePlaced, const std::vector<uint8_t>& linkPlaced) {
    Tally nodes, links;
    for (size_t i = 0; i < nodeBounds_.size(); ++i)
        if (nodePlaced[i]) addToTally(nodes, nodeBounds_[i]);
    for (size_t i = 0; i < linkBounds_.size(); ++i)
        if (linkPlaced[i]) addToTally(links, linkBounds_[i]);
    layOutGrids(nodes, links);
}

void SpatialIndex::layOutGrids(const Tally& nodes, const Tally& links) {
    Grow all;
    for (const Tally* t : {&nodes, &links})
        if (t->placed) all.add(t->hull.left, t->hull.top, t->hull.right, t->hull.bottom);
    BoundsF extent;
    if (!all.finish(0.0f, extent)) extent = {0, 0, 1, 1};
    auto mean = [](const Tally& t) { return t.placed ? float(t.sides / double(t.placed)) : 0.0f; };
    nodeGrid_.layOut(extent, nodes.placed, mean(nodes));
    linkGrid_.layOut(extent, links.placed, mean(links));
}

void SpatialIndex::Grid::layOut(const BoundsF& extent, size_t items, float meanSide) {
    const float width = (std::max)(1.0f, extent.right - extent.left);
    const float height = (std::max)(1.0f, extent.bottom - extent.top);
    const float perItem = std::sqrt(width * height / float(std::max<size_t>(1, items)));
    cell = (std::max)({perItem, meanSide, 8.0f, width / kMaxColumns, height / kMaxColumns});
    originX = extent.left;
    originY = extent.top;
    columns = (std::min)(kMaxColumns, int32_t(width / cell) + 1);
    rows = (std::min)(kMaxColumns, int32_t(height / cell) + 1);
}

// Counting pass, then filling: cells as one flat array. Items spanning too many
// cells are answered always instead. Each pass may run in two parts over the two
// halves of the items, each counting into its own tallies; a cell then lists the
// first half's items before the second's, in the order a single pass gives.
void SpatialIndex::Grid::fill(const std::vector<BoundsF>& bounds, const std::vector<uint8_t>& isPlaced,
                              TwoParts& parts, bool split) {
    const size_t cellCount = size_t(columns) * size_t(rows), items = bounds.size();
    const size_t half = items / 2;
    auto begin = [&](size_t part) { return part ? half : 0; };
    auto end = [&](size_t part) { return part ? items : half; };
    spans.resize(items * 4);
    parts.run(split, [&](size_t part) { count(bounds, isPlaced, begin(part), end(part), part); });
    offsets.resize(cellCount + 1);
    next[0].resize(cellCount);
    next[1].resize(cellCount);
    int32_t at = 0;
    for (size_t c = 0; c < cellCount; ++c) {
        offsets[c] = at;
        next[0][c] = at;
        next[1][c] = at + tallies[0][c];
        at += tallies[0][c] + tallies[1][c];
    }
    offsets[cellCount] = at;
    cells.resize(size_t(at));
    parts.run(split, [&](size_t part) { place(begin(part), end(part), part); });
    always.insert(always.end(), tooBig[0].begin(), tooBig[0].end());
    always.insert(always.end(), tooBig[1].begin(), tooBig[1].end());
    std::sort(always.begin(), always.end());
}

void SpatialIndex::Grid::count(const std::vector<BoundsF>& bounds, const std::vector<uint8_t>& isPlaced,
                               size_t first, size_t last, size_t part) {
    // Locals and row pointers: a store through an int32_t pointer might otherwise be
    // taken to change the grid's own int32_t fields, and reload them for every cell.
    const int32_t cols = columns, lastColumn = columns - 1, lastRow = rows - 1;
    const float x0 = originX, y0 = originY, perCell = 1.0f / cell;
    std::vector<int32_t>& tally = tallies[part];
    tally.assign(size_t(columns) * size_t(rows), 0);
    tooBig[part].clear();
    int32_t* const counts = tally.data();
    int32_t* span = spans.data() + first * 4;
    for (size_t i = first; i < last; ++i, span += 4) {
        span[3] = 0;  // not in the cells
        if (!isPlaced[i]) continue;
        const BoundsF& b = bounds[i];
        const int32_t c0 = std::clamp(int32_t((b.left - x0) * perCell), 0, lastColumn);
        const int32_t c1 = std::clamp(int32_t((b.right - x0) * perCell), 0, lastColumn);
        const int32_t r0 = std::clamp(int32_t((b.top - y0) * perCell), 0, lastRow);
        const int32_t r1 = std::clamp(int32_t((b.bottom - y0) * perCell), 0, lastRow);
        if (int64_t(c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerItem) {
            tooBig[part].push_back(int32_t(i));
            continue;
        }
        const bool loose = c1 - c0 < kLooseSpan && r1 - r0 < kLooseSpan;
        span[0] = c0, span[1] = loose ? c0 : c1, span[2] = r0, span[3] = (loose ? r0 : r1) + 1;
        for (int32_t r = span[2]; r < span[3]; ++r) {
            int32_t* row = counts + size_t(r) * size_t(cols);
            for (int32_t c = c0; c <= span[1]; ++c) ++row[c];
        }
    }
}

void SpatialIndex::Grid::place(size_t first, size_t last, size_t part) {
    const int32_t cols = columns;
    int32_t* const cell0 = cells.data();
    int32_t* const next0 = next[part].data();
    const int32_t* span = spans.data() + first * 4;
    for (size_t i = first; i < last; ++i, span += 4)
        for (int32_t r = span[2]; r < span[3]; ++r) {
            int32_t* row = next0 + size_t(r) * size_t(cols);
            for (int32_t c = span[0]; c <= span[1]; ++c) cell0[row[c]++] = int32_t(i);
        }
}

void SpatialIndex::AddressTable::reset(size_t nodes) {
    slots.assign(addressTableCapacity(nodes), {nullptr, -1});
    mask = slots.size() - 1;
    used = 0;
}

size_t SpatialIndex::AddressTable::home(const SchematicNode* node) const { return addressSlot(node, mask); }

void SpatialIndex::AddressTable::add(const SchematicNode* node, int32_t index) {
    if ((used + 1) * 2 > slots.size()) {  // at most half full, so probes stay short
        std::vector<std::pair<const SchematicNode*, int32_t>> old = std::move(slots);
        reset(used + 1);
        for (const auto& [n, i] : old)
            if (n) add(n, i);
    }
    for (size_t at = home(node);; at = (at + 1) & mask) {
        if (slots[at].first == node) return;  // listed twice: the first place answers, as a scan would
        if (!slots[at].first) {
            slots[at] = {node, index};
            ++used;
            return;
        }
    }
}

int32_t SpatialIndex::AddressTable::find(const SchematicNode* node) const {
    for (size_t at = home(node);; at = (at + 1) & mask) {
        if (slots[at].first == node) return slots[at].second;
        if (!slots[at].first) return -1;
    }
}

void SpatialIndex::restartStamps() {
    nodeStamps_.assign(tableSize_, 0);
    linkStamps_.assign(links_.size(), 0);
    stamp_ = 0;
}

// The table position of node: the rebuilt nodes by address, the few appended
// since by a scan.
int32_t SpatialIndex::indexOfNode(const SchematicNode* node) const {
    if (!node) return -1;
    if (const int32_t i = owners_.find(node); i >= 0) return i;
    for (size_t i = rebuiltNodes_; i < tableSize_; ++i)
        if ((*table_)[i] == node) return int32_t(i);
    return -1;
}

bool SpatialIndex::dragCandidates(const GraphContext& ctx, std::vector<int32_t>& out) const {
    const SchematicGraph* table = ctx.nodeTable;
    if (!built_ || anyHierarchy_ || generation_ != ctx.generation || table_ != table || !table ||
        table->size() < tableSize_ || (table->size() == tableSize_ && table->data() != tableData_))
        return false;
    out = selectedNodes_;
    out.insert(out.end(), pending_.begin(), pending_.end());
    for (size_t i = tableSize_; i < table->size(); ++i) out.push_back(int32_t(i));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return true;
}

void SpatialIndex::noteChanged(int32_t index) {
    // Nodes appended since the rebuild are measured at the next query anyway.
    if (!built_ || index < 0 || size_t(index) >= isPending_.size() || isPending_[size_t(index)]) return;
    isPending_[size_t(index)] = 1;
    pending_.push_back(index);
    if (pending_.size() > kMaxPatchedNodes) mustRebuild_ = true;
}

bool SpatialIndex::foldChanges(const GraphContext& ctx) {
    const SchematicGraph& table = *ctx.nodeTable;
    if (table.size() > tableSize_) {
        if (table.size() - rebuiltNodes_ > kMaxPatchedNodes) return false;
        for (size_t i = tableSize_; i < table.size(); ++i) pending_.push_back(int32_t(i));
        nodeSlot_.resize(table.size(), -1);
        isPending_.resize(table.size(), 1);
        nodeStamps_.resize(table.size(), 0);
        tableSize_ = table.size();
        tableData_ = table.data();
    }
    for (int32_t i : pending_) {
        isPending_[size_t(i)] = 0;
        if (!remeasureNode(ctx, i)) return false;
    }
    pending_.clear();
    const size_t rebuiltLinks = size_t(firstLinkOf_.back());
    return patchedNodes_.size() <= kMaxPatchedNodes && patchedLinks_.size() <= kMaxPatchedLinks &&
           links_.size() <= rebuiltLinks + kMaxPatchedLinks;
}

// The node's extent, its own links and the links into it, answered from the
// patched lists from now on.
bool SpatialIndex::remeasureNode(const GraphContext& ctx, int32_t index) {
    const SchematicNode* node = (*ctx.nodeTable)[size_t(index)];
    // Its place moves its children, and its children's links are drawn from it.
    if (node && (node->parent || !node->children.empty())) return false;
    Patched self{index, kNowhere, false};
    const bool pinned = node && nodePinned(ctx, *node);
    if (node) {
        self.always = !placeNode(ctx, *node, pinned, self.bounds);
        if (node->selected) selectedNodes_.push_back(index);
    }
    patch(patchedNodes_, nodeSlot_, self);
    relistOwnLinks(ctx, index, pinned);
    if (node) remeasureLinksInto(ctx, *node, index);
    return true;
}

// The node's links listed again in scan order; an id is kept where the output and
// position are the same, the others are dropped or given anew.
void SpatialIndex::relistOwnLinks(const GraphContext& ctx, int32_t index, bool pinned) {
    const SchematicNode* node = (*ctx.nodeTable)[size_t(index)];
    std::vector<int32_t> before;
    if (auto it = relinked_.find(index); it != relinked_.end()) before = std::move(it->second);
    else if (size_t(index) < rebuiltNodes_)
        for (int32_t id = firstLinkOf_[size_t(index)]; id < firstLinkOf_[size_t(index) + 1]; ++id) before.push_back(id);
    std::vector<int32_t> now;
    size_t k = 0;
    if (node) {
        const SchematicNode* from = visibleAncestor(ctx, *node);
        for (size_t o = 0; o < node->outputs.size(); ++o) {
            const SchematicSocket* output = node->outputs[o];
            if (!output) continue;
            if (output->selectedLink != -1) selectedOutputs_.push_back({index, int32_t(o)});
            for (size_t u = 0; u < output->links.size(); ++u) {
                const LinkItem item{index, int32_t(o), int32_t(u)};
                while (k < before.size() && scanOrder(links_[size_t(before[k])], item)) dropLink(before[k++]);
                int32_t id;
                if (k < before.size() && !scanOrder(item, links_[size_t(before[k])])) {
                    id = before[k++];
                } else {
                    id = int32_t(links_.size());
                    links_.push_back(item);
                    linkSlot_.push_back(-1);
                    linkStamps_.push_back(0);
                    peerOf_.push_back(-1);
                }
                now.push_back(id);
                const SchematicSocket* input = output->links[u];
                peerOf_[size_t(id)] = indexOfNode(input ? input->ownerNode : nullptr);
                Patched p{id, kNowhere, false};
                p.always = !placeLink(ctx, pinned, from, *output, u, p.bounds);
                patch(patchedLinks_, linkSlot_, p);
            }
        }
    }
    while (k < before.size()) dropLink(before[k++]);
    relinked_[index] = std::move(now);
}

// Links from other nodes into this one, found from its inputs' peers. A peer whose
// links changed too is pending: it lists its own again, so one not found is left to it.
void SpatialIndex::remeasureLinksInto(const GraphContext& ctx, const SchematicNode& node, int32_t index) {
    for (const SchematicSocket* input : node.inputs) {
        if (!input) continue;
        for (const SchematicSocket* output : input->links) {
            const SchematicNode* owner = output ? output->ownerNode : nullptr;
            const int32_t from = indexOfNode(owner);
            if (from < 0 || from == index) continue;
            const auto at = std::find(owner->outputs.begin(), owner->outputs.end(), output);
            if (at == owner->outputs.end()) continue;
            const int32_t o = int32_t(at - owner->outputs.begin());
            for (size_t u = 0; u < output->links.size(); ++u)
                if (output->links[u] == input)
                    if (const int32_t id = linkId(from, o, int32_t(u)); id >= 0) remeasureLink(ctx, id);
        }
    }
}

// The id of link (node, output, link) as the index lists it, or -1.
int32_t SpatialIndex::linkId(int32_t node, int32_t output, int32_t link) const {
    const LinkItem item{node, output, link};
    auto same = [&](int32_t id) {
        const LinkItem& k = links_[size_t(id)];
        return k.node == node && k.output == output && k.link == link && linkSlot_[size_t(id)] != -2;
    };
    if (auto it = relinked_.find(node); it != relinked_.end()) {
        const std::vector<int32_t>& ids = it->second;
        auto at = std::lower_bound(ids.begin(), ids.end(), item,
                                   [&](int32_t id, const LinkItem& x) { return scanOrder(links_[size_t(id)], x); });
        return at != ids.end() && same(*at) ? *at : -1;
    }
    if (size_t(node) >= rebuiltNodes_) return -1;
    // As rebuilt: the node's links in scan order, counted over its outputs.
    const SchematicNode* owner = (*table_)[size_t(node)];
    int32_t id = firstLinkOf_[size_t(node)] + link;
    for (int32_t o = 0; o < output; ++o)
        if (const SchematicSocket* s = owner->outputs[size_t(o)]) id += int32_t(s->links.size());
    return id < firstLinkOf_[size_t(node) + 1] && same(id) ? id : -1;
}

void SpatialIndex::remeasureLink(const GraphContext& ctx, int32_t id) {
    const LinkItem& k = links_[size_t(id)];
    Patched p{id, kNowhere, false};
    const SchematicNode* owner = (*ctx.nodeTable)[size_t(k.node)];
    const SchematicSocket* output =
        owner && size_t(k.output) < owner->outputs.size() ? owner->outputs[size_t(k.output)] : nullptr;
    if (output && size_t(k.link) < output->links.size())
        p.always = !placeLink(ctx, nodePinned(ctx, *owner), visibleAncestor(ctx, *owner), *output,
                              size_t(k.link), p.bounds);
    patch(patchedLinks_, linkSlot_, p);
}

void SpatialIndex::patch(std::vector<Patched>& list, std::vector<int32_t>& slots, const Patched& item) {
    int32_t& slot = slots[size_t(item.id)];
    if (slot < 0) {
        slot = int32_t(list.size());
        list.push_back(item);
    } else {
        list[size_t(slot)] = item;
    }
}

void SpatialIndex::dropLink(int32_t id) {
    const int32_t slot = linkSlot_[size_t(id)];
    if (slot >= 0) {
        patchedLinks_[size_t(slot)] = patchedLinks_.back();
        linkSlot_[size_t(patchedLinks_[size_t(slot)].id)] = slot;
        patchedLinks_.pop_back();
    }
    linkSlot_[size_t(id)] = -2;
}

void SpatialIndex::collect(const Grid& grid, const std::vector<BoundsF>& bounds,
                           const std::vector<Patched>& patched, const std::vector<int32_t>& slots,
                           int32_t count, const BoundsF& rel, std::vector<uint32_t>& stamps,
                           std::vector<int32_t>& out) {
    out.clear();
    auto take = [&](int32_t id) {
        if (stamps[size_t(id)] == stamp_) return;
        stamps[size_t(id)] = stamp_;
        out.push_back(id);
    };
    // Items measured again are answered from the patched list only.
    for (int32_t id : grid.always)
        if (slots[size_t(id)] == -1) take(id);
    const bool outside = rel.right < grid.originX || rel.bottom < grid.originY ||
                         rel.left > grid.originX + grid.cell * float(grid.columns) ||
                         rel.top > grid.originY + grid.cell * float(grid.rows);
    if (!outside) {
        auto cellOf = [&](float v, float origin, int32_t n) {
            return std::clamp(int32_t(std::floor((v - origin) / grid.cell)), 0, n - 1);
        };
        // Left and up by the loose items' reach: one filed in a cell there may reach in.
        const int32_t c0 = (std::max)(0, cellOf(rel.left, grid.originX, grid.columns) - (kLooseSpan - 1));
        const int32_t r0 = (std::max)(0, cellOf(rel.top, grid.originY, grid.rows) - (kLooseSpan - 1));
        const int32_t c1 = cellOf(rel.right, grid.originX, grid.columns), r1 = cellOf(rel.bottom, grid.originY, grid.rows);
        // Without branches: at the rectangle's edges whether an entry is taken is a
        // coin toss, and mispredictions would cost more than the tests.
        size_t entries = 0;
        for (int32_t r = r0; r <= r1; ++r) {
            const size_t row = size_t(r) * size_t(grid.columns);
            entries += size_t(grid.offsets[row + size_t(c1) + 1] - grid.offsets[row + size_t(c0)]);
        }
        size_t taken = out.size();
        out.resize(taken + entries);
        int32_t* to = out.data();
        // A cell is coarser than the extents it holds. One compare of all four sides:
        // left and top against the far edges, right and bottom against the near ones
        // (a NaN side fails, as in meets()).
        const __m128 atMost = _mm_setr_ps(rel.right, rel.bottom, INFINITY, INFINITY);
        const __m128 atLeast = _mm_setr_ps(-INFINITY, -INFINITY, rel.left, rel.top);
        const BoundsF* const bound0 = bounds.data();
        const int32_t* const slot0 = slots.data();
        uint32_t* const stamp0 = stamps.data();
        const uint32_t now = stamp_;
        for (int32_t r = r0; r <= r1; ++r) {
            const size_t row = size_t(r) * size_t(grid.columns);
            const int32_t* k = grid.cells.data() + grid.offsets[row + size_t(c0)];
            const int32_t* end = grid.cells.data() + grid.offsets[row + size_t(c1) + 1];
            for (; k != end; ++k) {
                const int32_t id = *k;
                const __m128 b = _mm_loadu_ps(&bound0[id].left);
                const bool inside = _mm_movemask_ps(_mm_and_ps(_mm_cmple_ps(b, atMost), _mm_cmpge_ps(b, atLeast))) == 15;
                uint32_t& stamp = stamp0[id];
                const bool keep = inside & (slot0[id] == -1) & (stamp != now);
                stamp = keep ? now : stamp;
                to[taken] = id;
                taken += keep;
            }
        }
        out.resize(taken);
    }
    for (const Patched& p : patched)
        if (p.always || meets(p.bounds, rel)) take(p.id);
    // Ascending ids: by the stamps when most items came; by a bit per id of their span
    // when that is short (a view's items lie in a few runs of the table); by sorting otherwise.
    if (out.size() * 8 > size_t(count)) {
        out.clear();
        for (int32_t id = 0; id < count; ++id)
            if (stamps[size_t(id)] == stamp_) out.push_back(id);
    } else if (!out.empty()) {
        const auto [low, high] = std::minmax_element(out.begin(), out.end());
        const int32_t first = *low;
        const size_t span = size_t(*high - first) + 1;
        if (span > out.size() * 64) {
            std::sort(out.begin(), out.end());
            return;
        }
        std::vector<uint64_t>& bits = sortBits_;
        bits.assign((span + 63) / 64, 0);
        for (int32_t id : out) bits[size_t(id - first) >> 6] |= uint64_t{1} << (size_t(id - first) & 63);
        out.clear();
        for (size_t w = 0; w < bits.size(); ++w)
            for (uint64_t word = bits[w]; word; word &= word - 1)
                out.push_back(first + int32_t(w * 64 + lowestBit(word)));
    }
}

bool SpatialIndex::query(const GraphContext& ctx, const BoundsF& rect, std::vector<int32_t>* nodes,
                         std::vector<int32_t>* links) {
    if (!ctx.nodeTable || !ctx.viewState) return false;
    const Vec2 pan = ctx.viewState->pan;
    const float zoom = ctx.viewState->zoom;
    if (!(std::fabs(pan.x) < kReach && std::fabs(pan.y) < kReach) || !std::isfinite(zoom)) return false;
    const BoundsF rel{rect.left - pan.x - kSlack, rect.top - pan.y - kSlack, rect.right - pan.x + kSlack,
                      rect.bottom - pan.y + kSlack};
    if (!std::isfinite(rel.left) || !std::isfinite(rel.top) || !std::isfinite(rel.right) ||
        !std::isfinite(rel.bottom))
        return false;
    const SchematicGraph& table = *ctx.nodeTable;
    const bool whole = !built_ || mustRebuild_ || generation_ != ctx.generation || table_ != ctx.nodeTable ||
                       table.size() < tableSize_ || (table.size() == tableSize_ && table.data() != tableData_);
    try {
        if (whole || !foldChanges(ctx)) rebuild(ctx);
        else if (zoom_ != zoom) anyHierarchy_ ? rebuild(ctx) : rescale(ctx);
    } catch (...) {
        built_ = false;  // left half made (out of memory, say): the next query starts over
        throw;
    }
    if (++stamp_ == 0) {  // wrapped: no stale stamp may look current
        std::fill(nodeStamps_.begin(), nodeStamps_.end(), 0);
        std::fill(linkStamps_.begin(), linkStamps_.end(), 0);
        stamp_ = 1;
    }
    if (nodes)
        collect(nodeGrid_, nodeBounds_, patchedNodes_, nodeSlot_, int32_t(tableSize_), rel, nodeStamps_, *nodes);
    if (links) {
        collect(linkGrid_, linkBounds_, patchedLinks_, linkSlot_, int32_t(links_.size()), rel, linkStamps_,
                *links);
        // Ids given since the rebuild come after every other: put them in scan order.
        if (links_.size() > size_t(firstLinkOf_.back()))
            std::sort(links->begin(), links->end(),
                      [&](int32_t a, int32_t b) { return scanOrder(links_[size_t(a)], links_[size_t(b)]); });
    }
    return true;
}
