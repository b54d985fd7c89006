// link_ops.cpp - link creation and removal with mirrored entries.
#include "graph/link_ops.h"

#include <utility>

namespace {

// Position of the last entry of socket.links that is peer; -1 when none.
ptrdiff_t lastLinkTo(const SchematicSocket& socket, const SchematicSocket* peer) {
    for (size_t i = socket.links.size(); i-- > 0;)
        if (socket.links[i] == peer) return ptrdiff_t(i);
    return -1;
}

} // namespace

void removeLinkEntry(GraphContext& ctx, SchematicSocket& socket, size_t pos) {
    if (pos >= socket.links.size()) return;
    socket.links.erase(socket.links.begin() + ptrdiff_t(pos));
    if (socket.direction == 1 && pos < socket.linkWeights.size())
        socket.linkWeights.erase(socket.linkWeights.begin() + ptrdiff_t(pos));

    // selectedLink is a position, so it follows its link down the list; when its
    // link is the one removed, or the position is gone, nothing stays selected.
    const int32_t removed = int32_t(pos);
    if (socket.selectedLink > removed) --socket.selectedLink;
    else if (socket.selectedLink == removed) socket.selectedLink = -1;
    if (socket.selectedLink >= int32_t(socket.links.size())) socket.selectedLink = -1;
    if (socket.selectedLink < 0 && ctx.selectedConnection == &socket)
        ctx.selectedConnection = nullptr;
}

bool connectSockets(SchematicSocket& output, SchematicSocket& input, int32_t weight) {
    if (output.direction != 1 || input.direction != 0) return false;
    output.links.push_back(&input);
    output.linkWeights.push_back(weight);
    input.links.push_back(&output);
    return true;
}

bool disconnectSockets(GraphContext& ctx, SchematicSocket& a, SchematicSocket& b) {
    // Alternates between the two ends until one no longer holds the other, so
    // duplicate pairs go together; a loop rather than mutual recursion keeps
    // long duplicate runs from a loaded file off the stack.
    SchematicSocket* from = &a;
    SchematicSocket* to = &b;
    bool removedAny = false;
    for (;;) {
        const ptrdiff_t pos = lastLinkTo(*from, to);
        if (pos < 0) break;
        removeLinkEntry(ctx, *from, size_t(pos));
        removedAny = true;
        std::swap(from, to);
    }
    return removedAny;
}

bool toggleLink(GraphContext& ctx, SchematicSocket& output, SchematicSocket& input) {
    if (disconnectSockets(ctx, output, input)) return false;
    return connectSockets(output, input);
}
