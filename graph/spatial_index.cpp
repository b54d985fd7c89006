// spatial_index.cpp - the grid behind presses and culling, and the extents it holds.
#include "graph/spatial_index.h"

#include <algorithm>
#include <cmath>

#include "graph/geometry.h"
#include "graph/hierarchy.h"

namespace {

// Beyond this a float no longer places a pixel within the slack below.
constexpr float kReach = 1.0e7f;
// Rounding of (p * zoom + pan) against (p * zoom) + another pan, and truncation.
constexpr float kSlack = 4.0f;
constexpr int32_t kMaxCellsPerItem = 256;
constexpr int32_t kMaxColumns = 512;

struct Grow {
    BoundsF b{INFINITY, INFINITY, -INFINITY, -INFINITY};
    void add(float l, float t, float r, float bo) {
        b.left = (std::min)({b.left, l, r});
        b.right = (std::max)({b.right, l, r});
        b.top = (std::min)({b.top, t, bo});
        b.bottom = (std::max)({b.bottom, t, bo});
    }
    void add(Vec2 p) { add(p.x, p.y, p.x, p.y); }
    bool finish(float by, BoundsF& out) const {
        out = {b.left - by, b.top - by, b.right + by, b.bottom + by};
        return std::isfinite(out.left) && std::isfinite(out.right) && std::isfinite(out.top) &&
               std::isfinite(out.bottom);
    }
};

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

}  // namespace

bool nodeExtent(const SchematicNode& node, BoundsF& out) {
    const Vec2 p = nodePositionClient(node), s = nodeSizeClient(node);
    const float x = p.x, y = p.y, w = s.x, h = s.y, z = zoomOf(node);
    Grow g;
    g.add(x - kShadowOffset, y, x + w + kShadowOffset, y + h + kShadowOffset);  // body and shadow
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
            const Vec2 a = socketScreenPosition(*socket);
            const float box = z * socket->radius;
            g.add(a.x, a.y, a.x + box, a.y + box);
            // Either label side, with its offset; the separator spans the node.
            const BoundsF right = socketLabelClient(*socket, a, box, w, z, labelHeight, true);
            const BoundsF left = socketLabelClient(*socket, a, box, w, z, labelHeight, false);
            g.add(right.left, right.top, right.right, right.bottom);
            g.add(left.left, left.top, left.right, left.bottom);
            g.add(x, right.top, x + w, right.top);
        }
    // Pens are centred on the outline.
    const float pen = float(std::min<int64_t>(std::llabs(int64_t(node.borderWidth)), int64_t(kReach)));
    return g.finish(kSlack + pen, out);
}

bool linkExtent(const GraphContext& ctx, const SchematicSocket& output, size_t u, BoundsF& out) {
    const SchematicSocket* input = output.links[u];
    const SchematicNode* node = output.ownerNode;
    if (!input || !node) return false;
    const SchematicNode* peer = input->ownerNode;
    const float z = zoomOf(*node);
    Grow g;
    // The press tests the straight segment between the two boxes' corners.
    const Vec2 a = socketScreenPosition(output), b = socketScreenPosition(*input);
    g.add(a);
    g.add(b);
    // The curve runs between the box centres or the visible ancestors' edges.
    const float hs = linkEndInsetClient(z);
    const SchematicNode* from = visibleAncestor(ctx, *node);
    if (from) {
        const Vec2 p = nodePositionClient(*from), s = nodeSizeClient(*from);
        g.add(p.x, p.y + s.y * 0.5f, p.x + s.x, p.y + s.y * 0.5f);
    }
    g.add(a.x + hs, a.y + hs, a.x + hs, a.y + hs);
    if (peer) {
        if (const SchematicNode* to = visibleAncestor(ctx, *peer)) {
            const Vec2 p = nodePositionClient(*to), s = nodeSizeClient(*to);
            g.add(p.x, p.y + s.y * 0.5f, p.x + s.x, p.y + s.y * 0.5f);
        }
    }
    g.add(b.x + hs, b.y + hs, b.x + hs, b.y + hs);
    // Probe square of the press, arrowhead, weight box (its half width and a pixel
    // of truncation; its half height is less).
    const float arrow = std::fabs(arrowLengthClient(z)) + std::fabs(arrowHalfWidthClient(z)) + kArrowRounding;
    const bool weights = node->viewStateRef && node->viewStateRef->drawWeights;
    static_assert(kWeightBoxHalfHeight <= kWeightBoxHalfWidth + 1.0f, "the weight box grows links evenly");
    const float weightBox = weights ? kWeightBoxHalfWidth + 1.0f : 0.0f;
    return g.finish(kSlack + (std::max)(kLinkProbeCover, arrow) + weightBox, out);
}

bool SpatialIndex::current(const GraphContext& ctx) const {
    return built_ && generation_ == ctx.generation && table_ == ctx.nodeTable &&
           tableSize_ == ctx.nodeTable->size() && tableData_ == ctx.nodeTable->data() &&
           zoom_ == ctx.viewState->zoom;
}

// Every node's and link's extent, pan subtracted, and whether it went into cells.
struct SpatialIndex::Extents {
    std::vector<BoundsF> nodeBounds, linkBounds;
    std::vector<uint8_t> nodePlaced, linkPlaced;
};

void SpatialIndex::rebuild(const GraphContext& ctx) {
    resetFor(ctx);
    Extents extents;
    measure(ctx, extents);
    layOutGrid(extents);
    fillCells(extents.nodeBounds, extents.nodePlaced, nodeOffsets_, nodeCells_, alwaysNodes_);
    fillCells(extents.linkBounds, extents.linkPlaced, linkOffsets_, linkCells_, alwaysLinks_);
    indexLinksByNode(*ctx.nodeTable);
}

void SpatialIndex::resetFor(const GraphContext& ctx) {
    const SchematicGraph& table = *ctx.nodeTable;
    built_ = true;
    generation_ = ctx.generation;
    table_ = ctx.nodeTable;
    tableSize_ = table.size();
    tableData_ = table.data();
    zoom_ = ctx.viewState->zoom;
    alwaysNodes_.clear();
    alwaysLinks_.clear();
    links_.clear();
    movedNodes_.clear();
    selectedNodes_.clear();
    selectedOutputs_.clear();
    movedNode_.assign(table.size(), 0);
}

// Extents, pan subtracted; those that cannot be placed are answered always. The
// selection hints are taken on the same scan.
void SpatialIndex::measure(const GraphContext& ctx, Extents& out) {
    const SchematicGraph& table = *ctx.nodeTable;
    const Vec2 pan = ctx.viewState->pan;
    out.nodeBounds.assign(table.size(), BoundsF{});
    out.nodePlaced.assign(table.size(), 0);
    auto relative = [&](BoundsF& b) {
        b = {b.left - pan.x, b.top - pan.y, b.right - pan.x, b.bottom - pan.y};
        return placeable(b);
    };
    for (size_t i = 0; i < table.size(); ++i) {
        const SchematicNode* node = table[i];
        if (!node) continue;
        BoundsF b;
        const bool pinned = !followsPan(ctx, node) || (node->parent && !followsPan(ctx, node->parent));
        if (!pinned && nodeExtent(*node, b) && relative(b)) {
            out.nodeBounds[i] = b;
            out.nodePlaced[i] = 1;
        } else {
            alwaysNodes_.push_back(int32_t(i));
        }
        if (node->selected) selectedNodes_.push_back(int32_t(i));
        const SchematicNode* from = visibleAncestor(ctx, *node);
        for (size_t o = 0; o < node->outputs.size(); ++o) {
            const SchematicSocket* output = node->outputs[o];
            if (!output) continue;
            if (output->selectedLink != -1) selectedOutputs_.push_back({int32_t(i), int32_t(o)});
            for (size_t u = 0; u < output->links.size(); ++u) {
                const SchematicSocket* input = output->links[u];
                const SchematicNode* peer = input ? input->ownerNode : nullptr;
                const SchematicNode* to = peer ? visibleAncestor(ctx, *peer) : nullptr;
                const bool linkPinned = pinned || !followsPan(ctx, peer) || !followsPan(ctx, from) ||
                                        !followsPan(ctx, to) ||
                                        (peer && peer->parent && !followsPan(ctx, peer->parent));
                links_.push_back({int32_t(i), int32_t(o), int32_t(u)});
                BoundsF lb;
                const bool ok = !linkPinned && linkExtent(ctx, *output, u, lb) && relative(lb);
                out.linkBounds.push_back(lb);
                out.linkPlaced.push_back(ok ? 1 : 0);
                if (!ok) alwaysLinks_.push_back(int32_t(links_.size() - 1));
            }
        }
    }
}

// Grid: about one node per cell over the placed extents.
void SpatialIndex::layOutGrid(const Extents& extents) {
    Grow all;
    size_t placed = 0;
    for (size_t i = 0; i < extents.nodeBounds.size(); ++i)
        if (extents.nodePlaced[i]) {
            const BoundsF& b = extents.nodeBounds[i];
            all.add(b.left, b.top, b.right, b.bottom);
            ++placed;
        }
    for (size_t i = 0; i < extents.linkBounds.size(); ++i)
        if (extents.linkPlaced[i]) {
            const BoundsF& b = extents.linkBounds[i];
            all.add(b.left, b.top, b.right, b.bottom);
        }
    BoundsF extent;
    if (!all.finish(0.0f, extent)) extent = {0, 0, 1, 1};
    const float width = (std::max)(1.0f, extent.right - extent.left);
    const float height = (std::max)(1.0f, extent.bottom - extent.top);
    float cell = std::sqrt(width * height / float(std::max<size_t>(1, placed)));
    cell = (std::max)({cell, 8.0f, width / kMaxColumns, height / kMaxColumns});
    originX_ = extent.left;
    originY_ = extent.top;
    cell_ = cell;
    columns_ = (std::min)(kMaxColumns, int32_t(width / cell) + 1);
    rows_ = (std::min)(kMaxColumns, int32_t(height / cell) + 1);
}

// Counting pass, then filling: cells as one flat array per kind. Items spanning
// too many cells are answered always instead.
void SpatialIndex::fillCells(const std::vector<BoundsF>& bounds, const std::vector<uint8_t>& isPlaced,
                             std::vector<int32_t>& offsets, std::vector<int32_t>& cells,
                             std::vector<int32_t>& always) const {
    const size_t cellCount = size_t(columns_) * size_t(rows_);
    offsets.assign(cellCount + 1, 0);
    std::vector<int32_t> span(bounds.size() * 4, 0);
    for (size_t i = 0; i < bounds.size(); ++i) {
        if (!isPlaced[i]) continue;
        const BoundsF& b = bounds[i];
        const int32_t c0 = std::clamp(int32_t((b.left - originX_) / cell_), 0, columns_ - 1);
        const int32_t c1 = std::clamp(int32_t((b.right - originX_) / cell_), 0, columns_ - 1);
        const int32_t r0 = std::clamp(int32_t((b.top - originY_) / cell_), 0, rows_ - 1);
        const int32_t r1 = std::clamp(int32_t((b.bottom - originY_) / cell_), 0, rows_ - 1);
        if (int64_t(c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerItem) {
            always.push_back(int32_t(i));
            continue;
        }
        span[i * 4] = c0, span[i * 4 + 1] = c1, span[i * 4 + 2] = r0, span[i * 4 + 3] = r1 + 1;
        for (int32_t r = r0; r <= r1; ++r)
            for (int32_t c = c0; c <= c1; ++c) ++offsets[size_t(r) * size_t(columns_) + size_t(c) + 1];
    }
    for (size_t c = 0; c < cellCount; ++c) offsets[c + 1] += offsets[c];
    cells.assign(size_t(offsets[cellCount]), 0);
    std::vector<int32_t> next(offsets.begin(), offsets.end() - 1);
    for (size_t i = 0; i < bounds.size(); ++i) {
        if (span[i * 4 + 3] == 0) continue;  // not placed in cells
        for (int32_t r = span[i * 4 + 2]; r < span[i * 4 + 3]; ++r)
            for (int32_t c = span[i * 4]; c <= span[i * 4 + 1]; ++c)
                cells[size_t(next[size_t(r) * size_t(columns_) + size_t(c)]++)] = int32_t(i);
    }
    std::sort(always.begin(), always.end());
}

// Links by node at either end, for nodes a drag moves; the stamps start afresh.
void SpatialIndex::indexLinksByNode(const SchematicGraph& table) {
    std::vector<int32_t> count(table.size() + 1, 0);
    std::vector<int32_t> peerOf(links_.size(), -1);
    {
        // Node of each link's input, through the socket's owner.
        std::vector<std::pair<const SchematicNode*, int32_t>> owners;
        owners.reserve(table.size());
        for (size_t i = 0; i < table.size(); ++i) owners.push_back({table[i], int32_t(i)});
        std::sort(owners.begin(), owners.end());
        for (size_t l = 0; l < links_.size(); ++l) {
            const LinkItem& k = links_[l];
            const SchematicSocket* input = table[size_t(k.node)]->outputs[size_t(k.output)]->links[size_t(k.link)];
            const SchematicNode* peer = input ? input->ownerNode : nullptr;
            auto it = std::lower_bound(owners.begin(), owners.end(), std::make_pair(peer, int32_t(-1)));
            if (peer && it != owners.end() && it->first == peer) peerOf[l] = it->second;
        }
    }
    for (size_t l = 0; l < links_.size(); ++l) {
        ++count[size_t(links_[l].node) + 1];
        if (peerOf[l] >= 0 && peerOf[l] != links_[l].node) ++count[size_t(peerOf[l]) + 1];
    }
    for (size_t i = 0; i < table.size(); ++i) count[i + 1] += count[i];
    linksOfNodeOffsets_ = count;
    linksOfNode_.assign(size_t(count[table.size()]), 0);
    for (size_t l = 0; l < links_.size(); ++l) {
        linksOfNode_[size_t(count[size_t(links_[l].node)]++)] = int32_t(l);
        if (peerOf[l] >= 0 && peerOf[l] != links_[l].node) linksOfNode_[size_t(count[size_t(peerOf[l])]++)] = int32_t(l);
    }
    nodeStamps_.assign(table.size(), 0);
    linkStamps_.assign(links_.size(), 0);
    stamp_ = 0;
}

void SpatialIndex::noteMoved(const GraphContext& ctx, int32_t index) {
    if (!ctx.nodeTable || !ctx.viewState || !current(ctx)) return;
    const SchematicNode* node = (*ctx.nodeTable)[size_t(index)];
    // A parent's move moves its children and the links drawn from its edges.
    if (!node || node->parent || !node->children.empty() || movedNodes_.size() >= 64) {
        built_ = false;
        return;
    }
    if (movedNode_[size_t(index)]) return;
    movedNode_[size_t(index)] = 1;
    movedNodes_.push_back(index);
}

void SpatialIndex::collect(const std::vector<int32_t>& offsets, const std::vector<int32_t>& cells,
                           const std::vector<int32_t>& always, int32_t count, const BoundsF& rel,
                           std::vector<uint32_t>& stamps, std::vector<int32_t>& out) {
    out.clear();
    auto take = [&](int32_t id) {
        if (stamps[size_t(id)] == stamp_) return;
        stamps[size_t(id)] = stamp_;
        out.push_back(id);
    };
    for (int32_t id : always) take(id);
    const bool outside = rel.right < originX_ || rel.bottom < originY_ ||
                         rel.left > originX_ + cell_ * float(columns_) ||
                         rel.top > originY_ + cell_ * float(rows_);
    if (!outside) {
        const int32_t c0 = std::clamp(int32_t(std::floor((rel.left - originX_) / cell_)), 0, columns_ - 1);
        const int32_t c1 = std::clamp(int32_t(std::floor((rel.right - originX_) / cell_)), 0, columns_ - 1);
        const int32_t r0 = std::clamp(int32_t(std::floor((rel.top - originY_) / cell_)), 0, rows_ - 1);
        const int32_t r1 = std::clamp(int32_t(std::floor((rel.bottom - originY_) / cell_)), 0, rows_ - 1);
        for (int32_t r = r0; r <= r1; ++r)
            for (int32_t c = c0; c <= c1; ++c) {
                const size_t cell = size_t(r) * size_t(columns_) + size_t(c);
                for (int32_t k = offsets[cell]; k < offsets[cell + 1]; ++k) take(cells[size_t(k)]);
            }
    }
    // Table order: by the stamps when most items came, by sorting otherwise.
    if (out.size() * 8 > size_t(count)) {
        out.clear();
        for (int32_t id = 0; id < count; ++id)
            if (stamps[size_t(id)] == stamp_) out.push_back(id);
    } else {
        std::sort(out.begin(), out.end());
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
    if (!current(ctx)) rebuild(ctx);
    if (++stamp_ == 0) {  // wrapped: no stale stamp may look current
        std::fill(nodeStamps_.begin(), nodeStamps_.end(), 0);
        std::fill(linkStamps_.begin(), linkStamps_.end(), 0);
        stamp_ = 1;
    }
    if (nodes) {
        alwaysScratch_ = alwaysNodes_;
        alwaysScratch_.insert(alwaysScratch_.end(), movedNodes_.begin(), movedNodes_.end());
        collect(nodeOffsets_, nodeCells_, alwaysScratch_, int32_t(tableSize_), rel, nodeStamps_, *nodes);
    }
    if (links) {
        alwaysScratch_ = alwaysLinks_;
        for (int32_t n : movedNodes_)
            for (int32_t k = linksOfNodeOffsets_[size_t(n)]; k < linksOfNodeOffsets_[size_t(n) + 1]; ++k)
                alwaysScratch_.push_back(linksOfNode_[size_t(k)]);
        collect(linkOffsets_, linkCells_, alwaysScratch_, int32_t(links_.size()), rel, linkStamps_, *links);
    }
    return true;
}
