// hierarchy.cpp - re-parenting, ancestor walks and hide propagation.
#include "graph/hierarchy.h"

#include <algorithm>
#include <vector>

namespace {

void eraseChild(SchematicNode& parent, const SchematicNode* child) {
    auto& kids = parent.children;
    kids.erase(std::remove(kids.begin(), kids.end(), child), kids.end());
}

} // namespace

bool isAncestor(const SchematicNode* candidate, const SchematicNode& node) {
    if (!candidate) return false;
    // Two-speed walk: the fast pointer covers the whole chain, loop included,
    // before it meets the slow one, so no node count is needed to stop.
    const SchematicNode* slow = node.parent;
    const SchematicNode* fast = node.parent;
    while (fast) {
        if (fast == candidate) return true;
        fast = fast->parent;
        if (!fast) return false;
        if (fast == candidate) return true;
        fast = fast->parent;
        slow = slow->parent;
        if (fast == slow) return false;
    }
    return false;
}

bool setParent(SchematicNode& node, SchematicNode* parent, bool keepPlace) {
    if (parent && (parent == &node || isAncestor(&node, *parent))) return false;
    if (node.parent) {
        if (keepPlace) {
            node.position.x += node.parent->position.x;
            node.position.y += node.parent->position.y;
        }
        eraseChild(*node.parent, &node);
    }
    if (parent && keepPlace) {
        node.position.x -= parent->position.x;
        node.position.y -= parent->position.y;
    }
    node.parent = parent;
    if (parent) parent->children.push_back(&node);
    return true;
}

void adoptChild(SchematicNode& node, SchematicNode& parent) {
    node.parent = &parent;
    parent.children.push_back(&node);
}

SchematicNode* visibleAncestor(const SchematicNode& node, size_t stepBound) {
    SchematicNode* p = node.parent;
    for (size_t step = 0; p && p != &node && step < stepBound; ++step) {
        if (!p->hidden) return p;
        p = p->parent;
    }
    return nullptr;
}

SchematicNode* visibleAncestor(const GraphContext& ctx, const SchematicNode& node) {
    return visibleAncestor(node, ctx.nodeTable ? ctx.nodeTable->size() : 0);
}

void hideConnected(SchematicSocket& socket, const SchematicNode* stop, uint8_t value,
                   bool root) {
    SchematicNode* origin = socket.ownerNode;
    if (!origin || (origin == stop && !root)) return;
    if (!root) origin->hidden = value;

    // Explicit work list instead of recursion: a long chain of linked nodes
    // would otherwise nest one call per node. A node is queued only when it
    // changes, so cycles of links end.
    std::vector<SchematicNode*> pending;
    auto reach = [&](SchematicSocket* peer, bool force) {
        SchematicNode* owner = peer ? peer->ownerNode : nullptr;
        if (!owner || owner == stop) return;
        if (owner->hidden == value && !force) return;
        owner->hidden = value;
        pending.push_back(owner);
    };
    for (SchematicSocket* peer : socket.links) reach(peer, root);
    while (!pending.empty()) {
        SchematicNode* node = pending.back();
        pending.pop_back();
        for (auto* list : {&node->inputs, &node->outputs})
            for (SchematicSocket* t : *list)
                for (SchematicSocket* peer : t->links) reach(peer, false);
    }
}
