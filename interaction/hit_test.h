// hit_test.h - what lies under a client point: node bodies, sockets and links.
#pragma once
#include <cstdint>
#include <vector>

#include "graph/graph_context.h"
#include "graph/records.h"

// True when the node is selectable and (x, y) lies strictly inside its screen
// rectangle; a point on an edge misses, a hidden node is never hit.
bool nodeHitTest(const SchematicNode& node, float x, float y);
// True when (x, y) lies strictly inside the socket's screen box grown by 4 pixels.
// A hidden socket still answers where it would be drawn.
bool socketHitTest(const SchematicSocket& socket, float x, float y);
// Where t lies relative to the line pq: 0 off the line (always for p == q), 1 on
// the open ray ending at p, 3 on the open ray beginning at q, 2 on the segment.
int pointOnLine(Vec2I p, Vec2I q, Vec2I t);
// True when the straight segment between the output and one of its linked inputs
// passes through the 16 x 16 probe square at (x, y): 8 pixels left and up, 7 right
// and down. Curves are hit along the straight line, not where they are drawn.
bool linkHitTest(const SchematicSocket& output, const SchematicSocket& input, float x, float y);
// The same answer as linkHitTest, rejecting early when no probe can lie within a
// pixel of the segment (exact while every coordinate is below 2^24).
bool linkHitTestQuick(const SchematicSocket& output, const SchematicSocket& input, float x, float y);
// 0-based index of the first node in table order hit at (x, y), -1 when none.
int32_t findNodeByPos(const GraphContext& ctx, float x, float y);

// The nodes a search for hits at one point visits, in table order: the spatial
// index's candidates when it is up to date and answers, else every node. Read
// once: for loops that run no handler.
class NodesNearPoint {
public:
    NodesNearPoint(const GraphContext& ctx, float x, float y);
    int32_t size() const { return indexed_ ? int32_t(nodes_.size()) : all_; }
    int32_t operator[](int32_t k) const { return indexed_ ? nodes_[size_t(k)] : k; }

private:
    bool indexed_ = false;
    int32_t all_ = 0;
    std::vector<int32_t> nodes_;
};
