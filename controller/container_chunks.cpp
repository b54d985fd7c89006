// container_chunks.cpp - writing and reading the container's chunks; every count read is checked.
#include "controller/container_chunks.h"

#include <cmath>
#include <numeric>
#include <unordered_map>
#include <utility>
#include <vector>

#include "graph/graph.h"
#include "host/errors.h"

namespace cc = container_chunk;

namespace {

// ---- writing

class Writer {
public:
    explicit Writer(ISave& isave) : isave(isave) {}
    template <class T>
    void put(const T& value) {
        ULONG written = 0;
        if (isave.Write(&value, sizeof value, &written) != IO_OK) ok = false;
    }
    void flag(uint8_t value) { put<uint8_t>(value ? 1 : 0); }
    void begin(USHORT id) { isave.BeginChunk(id); }
    void end() { isave.EndChunk(); }
    void text(USHORT id, const std::string& s) {
        begin(id);
        if (isave.WriteCString(s.c_str()) != IO_OK) ok = false;
        end();
    }
    int refId(void* object) { return object ? isave.GetRefID(object) : 0; }
    bool ok = true;

private:
    ISave& isave;
};

void checkStorable(const SchematicGraph& table) {
    if (table.size() > size_t(kMaxStoredNodes))
        throw RuntimeError("vantrelController: " + std::to_string(table.size()) +
                           " nodes cannot be saved; a scene file holds at most " +
                           std::to_string(kMaxStoredNodes));
    for (size_t c = 0; c < table.size(); ++c)
        if (socketCount(*table[c]) > kMaxStoredSockets)
            throw RuntimeError("vantrelController: node " + std::to_string(c + 1) + " has " +
                               std::to_string(socketCount(*table[c])) +
                               " sockets; a scene file holds at most " +
                               std::to_string(kMaxStoredSockets) + " per node");
}

// Table positions of the snapshot's nodes and sockets, found once per save so that a
// large graph is written in time linear in its size.
struct SnapshotIndex {
    explicit SnapshotIndex(const SchematicGraph& snapshot) {
        for (size_t c = 0; c < snapshot.size(); ++c) {
            const SchematicNode* n = snapshot[c];
            nodes[n] = int32_t(c);  // the last position wins, as a table search from the end
            // A socket's node is the first one listing it, inputs before outputs.
            for (const SchematicSocket* s : n->inputs) sockets.emplace(s, int32_t(c));
        }
        for (size_t c = 0; c < snapshot.size(); ++c)
            for (const SchematicSocket* s : snapshot[c]->outputs) sockets.emplace(s, int32_t(c));
    }
    int32_t node(const SchematicNode* n) const {
        auto at = n ? nodes.find(n) : nodes.end();
        return at == nodes.end() ? -1 : at->second;
    }
    int32_t ownerOf(const SchematicSocket* s) const {
        auto at = s ? sockets.find(s) : sockets.end();
        return at == sockets.end() ? -1 : at->second;
    }
    std::unordered_map<const SchematicNode*, int32_t> nodes;
    std::unordered_map<const SchematicSocket*, int32_t> sockets;
};

void saveSocket(Writer& w, const SnapshotIndex& snapshot, const SchematicSocket& s, int32_t j) {
    w.begin(USHORT(cc::firstSocket + j));
    w.begin(cc::socketFlags);
    w.flag(s.flipped);
    w.flag(s.showValue);
    w.end();
    w.begin(cc::socketRadiusValue);
    w.put(s.radius);
    w.put(s.value);
    w.end();
    w.begin(cc::socketPlacement);
    w.put(s.socketPosition.x);
    w.put(s.socketPosition.y);
    w.put(s.labelOffset.x);
    w.put(s.labelOffset.y);
    w.end();
    w.text(cc::socketName, s.socketName);
    w.begin(cc::socketController);
    w.put<int32_t>(w.refId(static_cast<void*>(s.sceneController)));
    w.put<int32_t>(s.index);
    w.put<int32_t>(s.direction);
    w.end();
    w.text(cc::socketDataClass, s.socketDataClass);
    w.begin(cc::socketHidden);
    w.flag(s.socketIsHidden);
    w.end();
    w.begin(cc::socketSeparator);
    w.flag(s.drawSeperator);
    w.end();
    if (s.direction == 1) {
        const int32_t n = int32_t(s.links.size());
        w.begin(cc::socketLinks);
        w.put(n);
        for (const SchematicSocket* peer : s.links) {
            w.put<int32_t>(snapshot.ownerOf(peer));
            w.put<int32_t>(peer ? peer->index : -1);
        }
        w.end();
        w.begin(cc::socketWeights);
        w.put(n);
        for (size_t k = 0; k < s.links.size(); ++k)
            w.put<int32_t>(k < s.linkWeights.size() ? s.linkWeights[k] : kDefaultLinkWeight);
        w.end();
    }
    w.begin(cc::socketColor);
    w.put<uint32_t>(s.socketColor);
    w.end();
    w.text(cc::socketInfo, s.socketInfo);
    w.end();
}

void saveNode(Writer& w, const SchematicGraph& snapshot, const SnapshotIndex& index, size_t c) {
    const SchematicNode& n = *snapshot[c];
    w.begin(USHORT(cc::firstNode + c));
    w.begin(cc::nodePosition);
    w.put(n.position.x);
    w.put(n.position.y);
    w.put(n.nameOffset.x);
    w.put(n.nameOffset.y);
    w.end();
    w.begin(cc::nodeColor);
    w.put<uint32_t>(n.nodeColor);
    w.end();
    w.begin(cc::nodeFlags);
    for (uint8_t f : {n.selected, n.collapsed, n.hidden, n.posLocked, n.selectable, n.showBitmapOnly,
                      n.isCollapsible})
        w.flag(f);
    w.end();
    w.text(cc::nodeName, n.nodeName);
    w.text(cc::nodeInfo, n.nodeInfo);
    w.text(cc::nodeBitmapPath, n.bitmapPath);
    w.begin(cc::nodeEdgeSize);
    w.put(n.edgeSize);
    w.end();
    w.begin(cc::nodeSize);
    w.put<int32_t>(n.width);
    w.put<int32_t>(n.height);
    w.put<int32_t>(int32_t(n.inputs.size()));
    w.put<int32_t>(int32_t(n.outputs.size()));
    w.put<int32_t>(w.refId(static_cast<void*>(n.sceneNode)));
    w.put<int32_t>(n.collapsedSize.x);
    w.put<int32_t>(n.collapsedSize.y);
    w.end();
    w.begin(cc::nodeParent);
    w.put<int32_t>(index.node(n.parent));
    w.end();
    w.begin(cc::nodeDrawFromParent);
    w.flag(n.drawConnectionsFromParent);
    w.end();
    w.begin(cc::nodeTextAlign);
    w.put<int32_t>(n.textAlign);
    w.end();
    w.begin(cc::nodeBitmapSize);
    w.put(n.bitmapSize.x);
    w.put(n.bitmapSize.y);
    w.end();
    int32_t j = 0;
    for (const SchematicSocket* s : n.inputs) saveSocket(w, index, *s, j++);
    for (const SchematicSocket* s : n.outputs) saveSocket(w, index, *s, j++);
    w.end();
}

// ---- reading

struct PendingLink {
    int32_t socketIndex;  // the output's index in its own node
    int32_t nodeIndex;    // node holding the input, as stored
    int32_t peerIndex;    // the input's index, as stored
    int32_t weight;
};

class Reader {
public:
    explicit Reader(ILoad& iload) : iload(iload) {}

    template <class T>
    bool get(T& value) {
        ULONG n = 0;
        return iload.Read(&value, sizeof value, &n) == IO_OK;
    }
    bool flag(uint8_t& value) {
        uint8_t b = 0;
        if (!get(b)) return false;
        value = b ? 1 : 0;
        return true;
    }
    bool text(std::string& s) {
        char* p = nullptr;
        if (iload.ReadCStringChunk(&p) != IO_OK) return false;
        s = p ? p : "";
        return true;
    }
    // Reads n followed by n records of recordSize bytes, refusing an n the chunk cannot hold.
    bool count(int32_t& n, ULONG recordSize) {
        const ULONG length = iload.CurChunkLength();
        if (!get(n) || n < 0) return false;
        return uint64_t(n) * recordSize <= uint64_t(length) - sizeof n;
    }

    ILoad& iload;
};

// A zoom the view can divide by: what a script write would have stored.
float usableZoom(float zoom) {
    if (!std::isfinite(zoom)) return 1.0f;
    return zoom < 0.1f ? 0.1f : zoom;
}

float finiteOr(float value, float fallback) { return std::isfinite(value) ? value : fallback; }

bool loadViewHeader(Reader& r, SchematicViewState& view, std::string& backgroundPath,
                    int32_t& storedNodeCount) {
    IOResult res;
    while ((res = r.iload.OpenChunk()) == IO_OK) {
        bool ok = true;
        switch (r.iload.CurChunkID()) {
            case cc::viewZoom: {
                int32_t version = 0;
                float zoom = 1.0f;
                ok = r.get(version) && r.get(zoom);  // the version is not used
                if (ok) view.zoom = usableZoom(zoom);
                break;
            }
            case cc::viewPan: {
                Vec2 pan;
                ok = r.get(pan.x) && r.get(pan.y);
                if (ok) view.pan = Vec2{finiteOr(pan.x, 0.0f), finiteOr(pan.y, 0.0f)};
                break;
            }
            case cc::viewNodeCount: ok = r.get(storedNodeCount); break;
            case cc::viewBackground: ok = r.text(backgroundPath); break;
            default: break;
        }
        if (!ok || r.iload.CloseChunk() != IO_OK) return false;
    }
    return res == IO_END;
}

bool loadSocket(Reader& r, SchematicNode& node, std::vector<PendingLink>& pending) {
    // Everything is read first; the socket is made only from a complete chunk.
    SchematicSocket stored;
    bool haveFlags = false, haveRadius = false, havePlacement = false, haveIndex = false;
    bool haveColor = false;
    int32_t controllerRef = 0, direction = 0;
    std::vector<std::pair<int32_t, int32_t>> links;
    std::vector<int32_t> weights;

    IOResult res;
    while ((res = r.iload.OpenChunk()) == IO_OK) {
        bool ok = true;
        switch (r.iload.CurChunkID()) {
            case cc::socketFlags: ok = haveFlags = r.flag(stored.flipped) && r.flag(stored.showValue); break;
            case cc::socketRadiusValue: ok = haveRadius = r.get(stored.radius) && r.get(stored.value); break;
            case cc::socketPlacement:
                ok = havePlacement = r.get(stored.socketPosition.x) && r.get(stored.socketPosition.y) &&
                                     r.get(stored.labelOffset.x) && r.get(stored.labelOffset.y);
                break;
            case cc::socketName: ok = r.text(stored.socketName); break;
            case cc::socketController:
                ok = haveIndex = r.get(controllerRef) && r.get(stored.index) && r.get(direction);
                break;
            case cc::socketDataClass: ok = r.text(stored.socketDataClass); break;
            case cc::socketHidden: ok = r.flag(stored.socketIsHidden); break;
            case cc::socketSeparator: ok = r.flag(stored.drawSeperator); break;
            case cc::socketLinks:
                // Links are stored on outputs; the direction has to be known first.
                if (direction == 1) {
                    int32_t n = 0;
                    ok = r.count(n, 8);
                    links.clear();
                    for (int32_t k = 0; ok && k < n; ++k) {
                        int32_t nodeIndex = 0, socketIndex = 0;
                        ok = r.get(nodeIndex) && r.get(socketIndex);
                        links.emplace_back(nodeIndex, socketIndex);
                    }
                }
                break;
            case cc::socketWeights:
                if (direction == 1) {
                    int32_t n = 0;
                    ok = r.count(n, 4);
                    weights.clear();
                    for (int32_t k = 0; ok && k < n; ++k) {
                        int32_t weight = 0;
                        ok = r.get(weight);
                        weights.push_back(weight);
                    }
                }
                break;
            case cc::socketColor: ok = haveColor = r.get(stored.socketColor); break;
            case cc::socketInfo: ok = r.text(stored.socketInfo); break;
            default: break;
        }
        if (!ok || r.iload.CloseChunk() != IO_OK) return false;
    }
    if (res != IO_END) return false;

    GraphContext none;
    SchematicSocket* s = addSocket(none, node, direction, stored.socketName, false);
    if (haveFlags) s->flipped = stored.flipped, s->showValue = stored.showValue;
    if (haveRadius) s->radius = stored.radius, s->value = stored.value;
    if (havePlacement) s->socketPosition = stored.socketPosition, s->labelOffset = stored.labelOffset;
    if (haveIndex) s->index = stored.index;
    if (haveColor) s->socketColor = stored.socketColor;
    s->socketDataClass = std::move(stored.socketDataClass);
    s->socketInfo = std::move(stored.socketInfo);
    s->socketIsHidden = stored.socketIsHidden;
    s->drawSeperator = stored.drawSeperator;
    if (controllerRef != 0)
        r.iload.RecordBackpatch(controllerRef, reinterpret_cast<void**>(&s->sceneController),
                                BACKPATCH_CONTROL);
    for (size_t k = 0; k < links.size(); ++k)
        pending.push_back(PendingLink{s->index, links[k].first, links[k].second,
                                      k < weights.size() ? weights[k] : kDefaultLinkWeight});
    return true;
}

// Frees a node that never made it into a table.
struct NodeGuard {
    SchematicNode* node;
    ~NodeGuard() {
        if (!node) return;
        GraphContext none;
        destroyNode(none, node);
    }
};

bool loadNode(Reader& r, SchematicViewState* nodeView, NodeGuard& guard,
              std::vector<PendingLink>& pending, std::vector<int32_t>& parents) {
    SchematicNode& n = *guard.node;
    n.viewStateRef = nodeView;
    bool haveSize = false;
    Vec2I storedSize;
    USHORT lastSocketId = 0;

    IOResult res;
    while ((res = r.iload.OpenChunk()) == IO_OK) {
        const USHORT id = r.iload.CurChunkID();
        bool ok = true;
        switch (id) {
            case cc::nodeName: ok = r.text(n.nodeName); break;
            case cc::nodeInfo: ok = r.text(n.nodeInfo); break;
            case cc::nodeBitmapPath: ok = r.text(n.bitmapPath); break;
            case cc::nodeEdgeSize: ok = r.get(n.edgeSize); break;
            case cc::nodeFlags:
                ok = r.flag(n.selected) && r.flag(n.collapsed) && r.flag(n.hidden) && r.flag(n.posLocked) &&
                     r.flag(n.selectable) && r.flag(n.showBitmapOnly) && r.flag(n.isCollapsible);
                break;
            case cc::nodePosition:
                ok = r.get(n.position.x) && r.get(n.position.y) && r.get(n.nameOffset.x) &&
                     r.get(n.nameOffset.y);
                break;
            case cc::nodeColor: ok = r.get(n.nodeColor); break;
            case cc::nodeDrawFromParent: ok = r.flag(n.drawConnectionsFromParent); break;
            case cc::nodeTextAlign: ok = r.get(n.textAlign); break;
            case cc::nodeBitmapSize: ok = r.get(n.bitmapSize.x) && r.get(n.bitmapSize.y); break;
            case cc::nodeSize: {
                int32_t inputs = 0, outputs = 0, sceneNodeRef = 0;  // the counts are not used
                ok = haveSize = r.get(storedSize.x) && r.get(storedSize.y) && r.get(inputs) &&
                                r.get(outputs) && r.get(sceneNodeRef) && r.get(n.collapsedSize.x) &&
                                r.get(n.collapsedSize.y);
                if (ok && sceneNodeRef != 0)
                    r.iload.RecordBackpatch(sceneNodeRef, reinterpret_cast<void**>(&n.sceneNode),
                                            BACKPATCH_NODE);
                break;
            }
            case cc::nodeParent: {
                int32_t parent = -1;
                if (r.iload.CurChunkLength() > 0) ok = r.get(parent);
                parents.push_back(parent);
                break;
            }
            default:
                // Past the first 257 identifiers a chunk is a socket only while it continues
                // the node's run of sockets (so none is lost on a crowded node); any other
                // unknown chunk is skipped, as chunks of later versions must be.
                if ((id >= cc::firstSocket && id <= cc::lastPlainSocket) ||
                    (lastSocketId != 0 && id == lastSocketId + 1)) {
                    ok = loadSocket(r, n, pending);
                    lastSocketId = id;
                }
                break;
        }
        if (!ok || r.iload.CloseChunk() != IO_OK) return false;
    }
    if (res != IO_END) return false;
    // Socket creation grew the node a row per socket; the stored size wins.
    if (haveSize) n.width = storedSize.x, n.height = storedSize.y;
    return true;
}

void restoreParents(const std::vector<SchematicNode*>& loaded, const std::vector<int32_t>& parents) {
    // Positions are stored relative to the parent already, so nothing moves.
    if (parents.size() != loaded.size()) return;
    const int32_t count = int32_t(loaded.size());
    // Nodes are parented in table order and a parent that would close a cycle is refused,
    // as setParent would; the top of each tree is tracked here (union-find with path
    // halving) so a long stored chain costs no walk up the chain per node.
    std::vector<int32_t> top(loaded.size());
    std::iota(top.begin(), top.end(), 0);
    auto topOf = [&](int32_t k) {
        while (top[size_t(k)] != k) k = top[size_t(k)] = top[size_t(top[size_t(k)])];
        return k;
    };
    for (int32_t i = 0; i < count; ++i) {
        const int32_t p = parents[size_t(i)];
        if (p < 0 || p >= count || p == i) continue;
        const int32_t t = topOf(p);
        if (t == i) continue;  // i is already above p
        adoptChild(*loaded[size_t(i)], *loaded[size_t(p)]);
        top[size_t(i)] = t;
    }
}

// The first socket of a list with each stored index, as a search of the list would find it.
using SocketsByIndex = std::unordered_map<int32_t, SchematicSocket*>;
void indexSockets(const std::vector<SchematicSocket*>& list, SocketsByIndex& byIndex) {
    for (SchematicSocket* s : list) byIndex.emplace(s->index, s);
}

SchematicSocket* withIndex(const SocketsByIndex& byIndex, int32_t index) {
    auto at = byIndex.find(index);
    return at == byIndex.end() ? nullptr : at->second;
}

void restoreLinks(const std::vector<SchematicNode*>& loaded,
                  const std::vector<std::vector<PendingLink>>& pending) {
    const int32_t count = int32_t(loaded.size());
    std::vector<SocketsByIndex> outputs(loaded.size()), inputs(loaded.size());
    for (size_t i = 0; i < loaded.size(); ++i) {
        indexSockets(loaded[i]->outputs, outputs[i]);
        indexSockets(loaded[i]->inputs, inputs[i]);
    }
    for (size_t i = 0; i < loaded.size(); ++i) {
        SchematicNode& source = *loaded[i];
        for (const PendingLink& e : pending[i]) {
            if (e.nodeIndex < 0 || e.nodeIndex >= count) continue;
            SchematicNode& target = *loaded[size_t(e.nodeIndex)];
            if (e.socketIndex >= socketCount(source) || e.peerIndex >= socketCount(target)) continue;
            SchematicSocket* output = withIndex(outputs[i], e.socketIndex);
            SchematicSocket* input = withIndex(inputs[size_t(e.nodeIndex)], e.peerIndex);
            if (output && input) connectSockets(*output, *input, e.weight);
        }
    }
}

}  // namespace

IOResult saveContainerChunks(ISave& isave, const SchematicGraph& table, const SchematicViewState& view,
                             const std::string& backgroundPath) {
    const SchematicGraph snapshot = table;
    checkStorable(snapshot);
    Writer w(isave);
    w.begin(cc::viewHeader);
    w.begin(cc::viewZoom);
    w.put<int32_t>(1);
    w.put(view.zoom);
    w.end();
    w.begin(cc::viewPan);
    w.put(view.pan.x);
    w.put(view.pan.y);
    w.end();
    w.begin(cc::viewNodeCount);
    w.put<int32_t>(int32_t(snapshot.size()));
    w.end();
    w.text(cc::viewBackground, backgroundPath);
    w.end();
    const SnapshotIndex index(snapshot);
    for (size_t c = 0; c < snapshot.size(); ++c) saveNode(w, snapshot, index, c);
    return w.ok ? IO_OK : IO_ERROR;
}

IOResult loadContainerChunks(ILoad& iload, SchematicGraph& table, SchematicViewState& view,
                             std::string& backgroundPath, int32_t& storedNodeCount,
                             SchematicViewState* nodeView) {
    Reader r(iload);
    std::vector<SchematicNode*> loaded;
    std::vector<std::vector<PendingLink>> pending;
    std::vector<int32_t> parents;

    IOResult res;
    while ((res = iload.OpenChunk()) == IO_OK) {
        const USHORT id = iload.CurChunkID();
        bool ok = true;
        if (id == cc::viewHeader) {
            ok = loadViewHeader(r, view, backgroundPath, storedNodeCount);
        } else if (id >= cc::firstNode) {
            NodeGuard guard{new SchematicNode};
            std::vector<PendingLink> links;
            ok = loadNode(r, nodeView, guard, links, parents);
            if (ok) {
                // Everything that may fail comes first; the table's push is the hand-over,
                // so the node has exactly one owner whatever throws.
                loaded.push_back(guard.node);
                pending.push_back(std::move(links));
                table.push_back(guard.node);
                guard.node = nullptr;
            }
        }
        if (!ok || iload.CloseChunk() != IO_OK) return IO_ERROR;
    }
    if (res != IO_END) return IO_ERROR;
    restoreParents(loaded, parents);
    restoreLinks(loaded, pending);
    return IO_OK;
}
