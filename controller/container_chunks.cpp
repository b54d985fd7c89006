// container_chunks.cpp - writing and reading the container's chunks; every count read is checked.
#include "controller/container_chunks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numeric>
#include <unordered_map>
#include <utility>
#include <vector>

#include <xmmintrin.h>

#include "graph/address_slots.h"
#include "graph/graph.h"
#include "graph/zoom_limits.h"
#include "host/core/errors.h"

namespace cc = container_chunk;

namespace {

// ---- writing

class Writer {
public:
    explicit Writer(ISave& isave) : isave(isave) {}
    void write(const void* data, size_t size) {
        ULONG written = 0;
        if (isave.Write(data, ULONG(size), &written) != IO_OK) ok = false;
    }
    // A data chunk of fixed-size values, handed to the host in one write.
    template <class... T>
    void chunk(USHORT id, const T&... values) {
        uint8_t bytes[(sizeof(T) + ...)];
        size_t at = 0;
        ((std::memcpy(bytes + at, &values, sizeof values), at += sizeof values), ...);
        begin(id);
        write(bytes, sizeof bytes);
        end();
    }
    static uint8_t flag(uint8_t value) { return value ? 1 : 0; }
    void begin(USHORT id) { isave.BeginChunk(id); }
    void end() { isave.EndChunk(); }
    void text(USHORT id, const std::string& s) {
        begin(id);
        if (isave.WriteCString(s.c_str()) != IO_OK) ok = false;
        end();
    }
    int refId(void* object) { return object ? isave.GetRefID(object) : 0; }
    bool ok = true;
    std::vector<int32_t> scratch;  // a link list, gathered for one write

private:
    ISave& isave;
};

// A message of ASCII text in the host's characters.
std::basic_string<MCHAR> hostMessage(const std::string& ascii) {
    return std::basic_string<MCHAR>(ascii.begin(), ascii.end());
}

// The inputs of all nodes together.
size_t checkStorable(const SchematicGraph& table) {
    if (table.size() > size_t(kMaxStoredNodes))
        throw RuntimeError(hostMessage("vantrelController: " + std::to_string(table.size()) +
                           " nodes cannot be saved; a scene file holds at most " +
                           std::to_string(kMaxStoredNodes)));
    size_t inputs = 0;
    for (size_t c = 0; c < table.size(); ++c) {
        if (socketCount(*table[c]) > kMaxStoredSockets)
            throw RuntimeError(hostMessage("vantrelController: node " + std::to_string(c + 1) + " has " +
                               std::to_string(socketCount(*table[c])) +
                               " sockets; a scene file holds at most " +
                               std::to_string(kMaxStoredSockets) + " per node"));
        inputs += table[c]->inputs.size();
    }
    return inputs;
}

// Positions by pointer in one open-addressed table, each with a number of the key's
// (a socket's index): a save looks up every link's far end, and a node-based map would
// cost an allocation per socket.
class PositionIndex {
public:
    struct Slot {
        const void* key = nullptr;
        int32_t position = -1;
        int32_t number = -1;
    };
    explicit PositionIndex(size_t expected) : slots(addressTableCapacity(expected)), mask(slots.size() - 1) {}
    // The first position given for a key stays.
    void put(const void* key, int32_t position, int32_t number) {
        if (!key) return;
        Slot& slot = slots[slotOf(key)];
        if (!slot.key) slot = Slot{key, position, number};
    }
    // Null for a key never put.
    const Slot* find(const void* key) const {
        if (!key) return nullptr;
        const Slot& slot = slots[slotOf(key)];
        return slot.key ? &slot : nullptr;
    }

private:
    // The key's slot, or the empty one where it would go; the table is never more than half full.
    size_t slotOf(const void* key) const {
        size_t at = addressSlot(key, mask);
        while (slots[at].key && slots[at].key != key) at = (at + 1) & mask;
        return at;
    }
    std::vector<Slot> slots;
    size_t mask = 0;
};

// The table positions of a snapshot's nodes, for their parents. A slot holds only a
// position, the node being the snapshot's entry there: small enough to stay in the cache.
class NodePositions {
public:
    explicit NodePositions(const SchematicGraph& snapshot)
        : snapshot(snapshot), slots(addressTableCapacity(snapshot.size()), -1), mask(slots.size() - 1) {
        for (size_t c = 0; c < snapshot.size(); ++c) {
            const SchematicNode* n = snapshot[c];
            if (!n) continue;
            slots[slotOf(n)] = int32_t(c);  // the last position wins, as a table search from the end
        }
    }
    int32_t get(const SchematicNode* n) const { return n ? slots[slotOf(n)] : -1; }

private:
    size_t slotOf(const SchematicNode* n) const {
        size_t at = addressSlot(n, mask);
        while (slots[at] >= 0 && snapshot[size_t(slots[at])] != n) at = (at + 1) & mask;
        return at;
    }
    const SchematicGraph& snapshot;
    std::vector<int32_t> slots;
    size_t mask;
};

// Table positions of the snapshot's nodes, and the node and index of each link's far end,
// found once per save so that a large graph is written in time linear in its size. Far
// ends are inputs: every input's node and index are noted in one sweep over the nodes, so
// that a link's far end is one lookup in a table, not a visit to the socket and its node,
// which may lie anywhere in memory.
class SnapshotIndex {
public:
    SnapshotIndex(const SchematicGraph& snapshot, size_t inputTotal)
        : snapshot(snapshot), nodes(snapshot), inputs(inputTotal) {
        for (size_t c = 0; c < snapshot.size(); ++c)
            for (const SchematicSocket* s : snapshot[c]->inputs) inputs.put(s, int32_t(c), s->index);
    }
    int32_t node(const SchematicNode* n) const { return nodes.get(n); }
    // The position of the first node listing s, inputs before outputs, and s's index;
    // -1 for both without a socket.
    void farEnd(const SchematicSocket* s, int32_t& owner, int32_t& index) {
        if (const PositionIndex::Slot* input = inputs.find(s)) {
            owner = input->position;
            index = input->number;
            return;
        }
        owner = index = -1;
        if (!s) return;
        if (const PositionIndex::Slot* listed = searched().find(s)) owner = listed->position;
        index = s->index;
    }

private:
    // Every socket's first listing node, inputs before outputs, made the first time a
    // link's far end is no input.
    const PositionIndex& searched() {
        if (!sockets) {
            size_t total = 0;
            for (const SchematicNode* n : snapshot) total += n->inputs.size() + n->outputs.size();
            sockets = std::make_unique<PositionIndex>(total);
            for (size_t c = 0; c < snapshot.size(); ++c)
                for (const SchematicSocket* s : snapshot[c]->inputs) sockets->put(s, int32_t(c), s->index);
            for (size_t c = 0; c < snapshot.size(); ++c)
                for (const SchematicSocket* s : snapshot[c]->outputs) sockets->put(s, int32_t(c), s->index);
        }
        return *sockets;
    }
    const SchematicGraph& snapshot;
    NodePositions nodes;
    PositionIndex inputs;
    std::unique_ptr<PositionIndex> sockets;
};

void saveSocket(Writer& w, SnapshotIndex& snapshot, const SchematicSocket& s, int32_t j) {
    w.begin(USHORT(cc::firstSocket + j));
    w.chunk(cc::socketFlags, Writer::flag(s.flipped), Writer::flag(s.showValue));
    w.chunk(cc::socketRadiusValue, s.radius, s.value);
    w.chunk(cc::socketPlacement, s.socketPosition.x, s.socketPosition.y, s.labelOffset.x, s.labelOffset.y);
    w.text(cc::socketName, s.socketName);
    w.chunk(cc::socketController, int32_t(w.refId(static_cast<void*>(s.sceneController))), int32_t(s.index),
            int32_t(s.direction));
    w.text(cc::socketDataClass, s.socketDataClass);
    w.chunk(cc::socketHidden, Writer::flag(s.socketIsHidden));
    w.chunk(cc::socketSeparator, Writer::flag(s.drawSeperator));
    if (s.direction == 1) {
        const size_t n = s.links.size();
        std::vector<int32_t>& list = w.scratch;
        list.clear();
        list.push_back(int32_t(n));
        for (const SchematicSocket* peer : s.links) {
            int32_t owner, index;
            snapshot.farEnd(peer, owner, index);
            list.push_back(owner);
            list.push_back(index);
        }
        w.begin(cc::socketLinks);
        w.write(list.data(), list.size() * sizeof(int32_t));
        w.end();
        list.resize(1);
        for (size_t k = 0; k < n; ++k)
            list.push_back(k < s.linkWeights.size() ? s.linkWeights[k] : kDefaultLinkWeight);
        w.begin(cc::socketWeights);
        w.write(list.data(), list.size() * sizeof(int32_t));
        w.end();
    }
    w.chunk(cc::socketColor, uint32_t(s.socketColor));
    w.text(cc::socketInfo, s.socketInfo);
    w.end();
}

void saveNode(Writer& w, const SchematicGraph& snapshot, SnapshotIndex& index, size_t c) {
    const SchematicNode& n = *snapshot[c];
    w.begin(USHORT(cc::firstNode + c));
    w.chunk(cc::nodePosition, n.position.x, n.position.y, n.nameOffset.x, n.nameOffset.y);
    w.chunk(cc::nodeColor, uint32_t(n.nodeColor));
    const uint8_t flags[7] = {Writer::flag(n.selected),   Writer::flag(n.collapsed),
                              Writer::flag(n.hidden),     Writer::flag(n.posLocked),
                              Writer::flag(n.selectable), Writer::flag(n.showBitmapOnly),
                              Writer::flag(n.isCollapsible)};
    w.chunk(cc::nodeFlags, flags);
    w.text(cc::nodeName, n.nodeName);
    w.text(cc::nodeInfo, n.nodeInfo);
    w.text(cc::nodeBitmapPath, n.bitmapPath);
    w.chunk(cc::nodeEdgeSize, n.edgeSize);
    w.chunk(cc::nodeSize, int32_t(n.width), int32_t(n.height), int32_t(n.inputs.size()),
            int32_t(n.outputs.size()), int32_t(w.refId(static_cast<void*>(n.sceneNode))),
            int32_t(n.collapsedSize.x), int32_t(n.collapsedSize.y));
    w.chunk(cc::nodeParent, index.node(n.parent));
    w.chunk(cc::nodeDrawFromParent, Writer::flag(n.drawConnectionsFromParent));
    w.chunk(cc::nodeTextAlign, int32_t(n.textAlign));
    w.chunk(cc::nodeBitmapSize, n.bitmapSize.x, n.bitmapSize.y);
    int32_t j = 0;
    for (const SchematicSocket* s : n.inputs) saveSocket(w, index, *s, j++);
    for (const SchematicSocket* s : n.outputs) saveSocket(w, index, *s, j++);
    w.end();
}

// ---- reading

inline constexpr size_t kChunkHeaderBytes = 6;  // identifier and length

struct PendingLink {
    int32_t sourceNode;   // position among the loaded nodes of the node holding the output
    int32_t socketIndex;  // the output's index in its own node
    int32_t nodeIndex;    // node holding the input, as stored
    int32_t peerIndex;    // the input's index, as stored
    int32_t weight;
};

struct MadeSocket {
    SchematicSocket* socket;
    int32_t index;      // as the socket has it once made
    int32_t direction;
};

class Reader {
public:
    Reader(ILoad& iload, std::deque<SceneRefPatch>& sceneRefs) : iload(iload), sceneRefs(sceneRefs) {}

    // The host fills the object in once the scene is read; the caller checks its kind.
    void recordSceneRef(int32_t refId, SchematicNode* node, SchematicSocket* socket) {
        sceneRefs.push_back(SceneRefPatch{nullptr, node, socket});
        iload.RecordBackpatch(refId, reinterpret_cast<void**>(&sceneRefs.back().object));
    }

    // Consecutive fixed-size values, asked of the host in one read.
    template <class... T>
    bool get(T&... values) {
        uint8_t bytes[(sizeof(T) + ...)];
        ULONG n = 0;
        if (iload.Read(bytes, sizeof bytes, &n) != IO_OK) return false;
        size_t at = 0;
        ((std::memcpy(&values, bytes + at, sizeof values), at += sizeof values), ...);
        return true;
    }
    // Flags stored a byte each; anything but zero reads as 1.
    template <class... T>
    bool flags(T&... values) {
        if (!get(values...)) return false;
        ((values = values ? 1 : 0), ...);
        return true;
    }
    bool text(std::string& s) {
        char* p = nullptr;
        if (iload.ReadCStringChunk(&p) != IO_OK) return false;
        // Most stored strings are empty.
        if (p && *p) s = p;
        else s.clear();
        return true;
    }
    // Reads n followed by n records of recordSize bytes, refusing an n the chunk cannot hold.
    bool count(int32_t& n, ULONG recordSize) {
        const ULONGLONG length = iload.CurChunkLength();
        if (!get(n) || n < 0) return false;
        return uint64_t(n) * recordSize <= uint64_t(length) - sizeof n;
    }
    // A counted array of records of perRecord int32 values each (a socket's links:
    // node and socket index; its weights: one value), read in one call.
    bool int32Records(std::vector<int32_t>& values, int32_t perRecord) {
        int32_t n = 0;
        values.clear();
        if (!count(n, ULONG(perRecord * sizeof(int32_t)))) return false;
        if (n == 0) return true;
        values.resize(size_t(n) * size_t(perRecord));
        ULONG got = 0;
        return iload.Read(values.data(), ULONG(values.size() * sizeof(int32_t)), &got) == IO_OK;
    }

    ILoad& iload;
    std::deque<SceneRefPatch>& sceneRefs;
    // Reused from socket to socket so that reading one costs no allocation.
    std::vector<int32_t> links, weights;
    std::vector<PendingLink> pending;
    // Every socket made, node by node in table order and in creation order within a node,
    // and where each node's run ends: links are restored from this compact list rather
    // than from the nodes and sockets themselves, which lie scattered in memory.
    std::vector<MadeSocket> made;
    std::vector<size_t> madeEnd;
};

// A zoom the view can divide by: a finite one raised to the script floor, anything
// else the default (a script write keeps +inf and raises NaN and -inf to the floor).
float usableZoom(float zoom) {
    return std::isfinite(zoom) ? atLeastScriptZoom(zoom) : 1.0f;
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
                ok = r.get(version, zoom);  // the version is not used
                if (ok) view.zoom = usableZoom(zoom);
                break;
            }
            case cc::viewPan: {
                Vec2 pan;
                ok = r.get(pan.x, pan.y);
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

// What a socket chunk holds, read before the socket is made; unset fields keep a new
// socket's defaults.
struct StoredSocket {
    uint8_t flipped = 0, showValue = 1, socketIsHidden = 0, drawSeperator = 0;
    float radius = 0.0f, value = 0.0f;
    Vec2 socketPosition, labelOffset;
    int32_t index = -1;
    uint32_t socketColor = 0;
    std::string socketName, socketDataClass, socketInfo;
    int32_t controllerRef = 0, direction = 0;
    bool haveFlags = false, haveRadius = false, havePlacement = false, haveIndex = false;
    bool haveColor = false;
};

// Phase 1: every sub-chunk into stored, the links and weights into the reader's
// reused arrays. False for a damaged chunk.
bool readSocketChunks(Reader& r, StoredSocket& stored) {
    r.links.clear();  // node and socket index, in turn
    r.weights.clear();
    IOResult res;
    while ((res = r.iload.OpenChunk()) == IO_OK) {
        bool ok = true;
        switch (r.iload.CurChunkID()) {
            case cc::socketFlags: ok = stored.haveFlags = r.flags(stored.flipped, stored.showValue); break;
            case cc::socketRadiusValue: ok = stored.haveRadius = r.get(stored.radius, stored.value); break;
            case cc::socketPlacement:
                ok = stored.havePlacement = r.get(stored.socketPosition.x, stored.socketPosition.y,
                                                  stored.labelOffset.x, stored.labelOffset.y);
                break;
            case cc::socketName: ok = r.text(stored.socketName); break;
            case cc::socketController:
                ok = stored.haveIndex = r.get(stored.controllerRef, stored.index, stored.direction);
                break;
            case cc::socketDataClass: ok = r.text(stored.socketDataClass); break;
            case cc::socketHidden: ok = r.flags(stored.socketIsHidden); break;
            case cc::socketSeparator: ok = r.flags(stored.drawSeperator); break;
            // Links are stored on outputs; the direction has to be known first.
            case cc::socketLinks: if (stored.direction == 1) ok = r.int32Records(r.links, 2); break;
            case cc::socketWeights: if (stored.direction == 1) ok = r.int32Records(r.weights, 1); break;
            case cc::socketColor: ok = stored.haveColor = r.get(stored.socketColor); break;
            case cc::socketInfo: ok = r.text(stored.socketInfo); break;
            default: break;
        }
        if (!ok || r.iload.CloseChunk() != IO_OK) return false;
    }
    return res == IO_END;
}

// Phase 2: the socket, made on the node from a complete chunk.
SchematicSocket* makeStoredSocket(Reader& r, SchematicNode& node, StoredSocket& stored) {
    GraphContext none;
    SchematicSocket* s = addSocket(none, node, stored.direction, stored.socketName, false);
    if (stored.haveFlags) s->flipped = stored.flipped, s->showValue = stored.showValue;
    if (stored.haveRadius) s->radius = stored.radius, s->value = stored.value;
    if (stored.havePlacement) s->socketPosition = stored.socketPosition, s->labelOffset = stored.labelOffset;
    if (stored.haveIndex) s->index = stored.index;
    if (stored.haveColor) s->socketColor = stored.socketColor;
    s->socketDataClass = std::move(stored.socketDataClass);
    s->socketInfo = std::move(stored.socketInfo);
    s->socketIsHidden = stored.socketIsHidden;
    s->drawSeperator = stored.drawSeperator;
    if (stored.controllerRef != 0) r.recordSceneRef(stored.controllerRef, nullptr, s);
    r.made.push_back(MadeSocket{s, s->index, s->direction});
    return s;
}

// Phase 3: the socket's links wait until every node is read.
void queueStoredLinks(Reader& r, SchematicSocket& s, int32_t nodePosition) {
    const size_t linkCount = r.links.size() / 2;
    // Room for the links the restore will add; the count is bounded by the chunk's bytes.
    s.links.reserve(linkCount);
    s.linkWeights.reserve(linkCount);
    for (size_t k = 0; k < linkCount; ++k)
        r.pending.push_back(PendingLink{nodePosition, s.index, r.links[2 * k], r.links[2 * k + 1],
                                        k < r.weights.size() ? r.weights[k] : kDefaultLinkWeight});
}

bool loadSocket(Reader& r, SchematicNode& node, int32_t nodePosition) {
    StoredSocket stored;
    if (!readSocketChunks(r, stored)) return false;
    queueStoredLinks(r, *makeStoredSocket(r, node, stored), nodePosition);
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

bool loadNode(Reader& r, SchematicViewState* nodeView, NodeGuard& guard, int32_t position,
              std::vector<int32_t>& parents) {
    SchematicNode& n = *guard.node;
    n.viewStateRef = nodeView;
    // A socket chunk holds at least a header, so the node's length bounds its sockets.
    const size_t socketBound = static_cast<size_t>(r.iload.CurChunkLength() / kChunkHeaderBytes);
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
                ok = r.flags(n.selected, n.collapsed, n.hidden, n.posLocked, n.selectable, n.showBitmapOnly,
                             n.isCollapsible);
                break;
            case cc::nodePosition: ok = r.get(n.position.x, n.position.y, n.nameOffset.x, n.nameOffset.y); break;
            case cc::nodeColor: ok = r.get(n.nodeColor); break;
            case cc::nodeDrawFromParent: ok = r.flags(n.drawConnectionsFromParent); break;
            case cc::nodeTextAlign: ok = r.get(n.textAlign); break;
            case cc::nodeBitmapSize: ok = r.get(n.bitmapSize.x, n.bitmapSize.y); break;
            case cc::nodeSize: {
                int32_t inputs = 0, outputs = 0, sceneNodeRef = 0;  // the counts are not used
                ok = haveSize = r.get(storedSize.x, storedSize.y, inputs, outputs, sceneNodeRef,
                                      n.collapsedSize.x, n.collapsedSize.y);
                if (ok && n.inputs.empty() && n.outputs.empty()) {
                    // Room for the sockets the node says it has, as far as its bytes can hold.
                    if (inputs > 0) n.inputs.reserve((std::min)(size_t(inputs), socketBound));
                    if (outputs > 0) n.outputs.reserve((std::min)(size_t(outputs), socketBound));
                }
                if (ok && sceneNodeRef != 0) r.recordSceneRef(sceneNodeRef, &n, nullptr);
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
                    ok = loadSocket(r, n, position);
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

// The first socket of a node's inputs or outputs with each stored index, as a search of
// the list would find it, read from the list of sockets made: a node's sockets are
// together there. Short lists are searched; long ones (a crowded node, a hostile file)
// are looked up in one map built for them alone, so a link costs the same on any node.
class SocketFinder {
public:
    SocketFinder(const std::vector<MadeSocket>& made, const std::vector<size_t>& madeEnd)
        : made(made), madeEnd(madeEnd), crowdedLists(madeEnd.size(), 0) {
        for (size_t node = 0; node < madeEnd.size(); ++node) {
            size_t outputs = 0;
            for (size_t at = start(node); at < madeEnd[node]; ++at) outputs += made[at].direction == 1;
            const size_t inputs = count(node) - outputs;
            for (int direction = 0; direction < 2; ++direction) {
                if ((direction ? outputs : inputs) <= kShort) continue;
                crowdedLists[node] |= uint8_t(1 << direction);
                for (size_t at = start(node); at < madeEnd[node]; ++at)
                    if (made[at].direction == direction)
                        crowded.emplace(key(node, direction, made[at].index), made[at].socket);
            }
        }
    }
    // The node's sockets, inputs and outputs.
    int32_t count(size_t node) const { return int32_t(madeEnd[node] - start(node)); }
    SchematicSocket* find(size_t node, int direction, int32_t index) const {
        if (!(crowdedLists[node] & (1 << direction))) {
            for (size_t at = start(node); at < madeEnd[node]; ++at)
                if (made[at].direction == direction && made[at].index == index) return made[at].socket;
            return nullptr;
        }
        auto at = crowded.find(key(node, direction, index));
        return at == crowded.end() ? nullptr : at->second;
    }

private:
    static constexpr size_t kShort = 16;
    size_t start(size_t node) const { return node ? madeEnd[node - 1] : 0; }
    static uint64_t key(size_t node, int direction, int32_t index) {
        return (uint64_t(node) << 33) | (uint64_t(direction) << 32) | uint32_t(index);
    }
    const std::vector<MadeSocket>& made;
    const std::vector<size_t>& madeEnd;
    std::vector<uint8_t> crowdedLists;  // per node: bit 0 its inputs, bit 1 its outputs
    std::unordered_map<uint64_t, SchematicSocket*> crowded;
};

// Both ends of every link are found first, from the compact list of sockets made; the
// links are then made in file order, each far end asked of memory some links ahead, as
// far ends lie scattered and waiting for each in turn would cost more than the rest.
void restoreLinks(const std::vector<MadeSocket>& made, const std::vector<size_t>& madeEnd,
                  const std::vector<PendingLink>& pending) {
    const int32_t count = int32_t(madeEnd.size());
    const SocketFinder sockets(made, madeEnd);
    struct Ends {
        SchematicSocket* output;
        SchematicSocket* input;
        int32_t weight;
    };
    std::vector<Ends> ends;
    ends.reserve(pending.size());
    for (const PendingLink& e : pending) {
        if (e.nodeIndex < 0 || e.nodeIndex >= count) continue;
        if (e.socketIndex >= sockets.count(size_t(e.sourceNode)) || e.peerIndex >= sockets.count(size_t(e.nodeIndex)))
            continue;
        SchematicSocket* output = sockets.find(size_t(e.sourceNode), 1, e.socketIndex);
        SchematicSocket* input = sockets.find(size_t(e.nodeIndex), 0, e.peerIndex);
        if (output && input) ends.push_back(Ends{output, input, e.weight});
    }
    constexpr size_t kAhead = 8;
    for (size_t k = 0; k < ends.size(); ++k) {
        if (k + kAhead < ends.size()) _mm_prefetch(reinterpret_cast<const char*>(ends[k + kAhead].input), _MM_HINT_T0);
        // An input's list starts with room for two links: the smallest heap block holds
        // two pointers anyway, and a second link then moves nothing.
        std::vector<SchematicSocket*>& inputLinks = ends[k].input->links;
        if (inputLinks.capacity() == 0) inputLinks.reserve(2);
        connectSockets(*ends[k].output, *ends[k].input, ends[k].weight);
    }
}

}  // namespace

IOResult saveContainerChunks(ISave& isave, const SchematicGraph& table, const SchematicViewState& view,
                             const std::string& backgroundPath) {
    const SchematicGraph snapshot = table;
    const size_t inputTotal = checkStorable(snapshot);
    Writer w(isave);
    w.begin(cc::viewHeader);
    w.chunk(cc::viewZoom, int32_t(1), view.zoom);
    w.chunk(cc::viewPan, view.pan.x, view.pan.y);
    w.chunk(cc::viewNodeCount, int32_t(snapshot.size()));
    w.text(cc::viewBackground, backgroundPath);
    w.end();
    SnapshotIndex index(snapshot, inputTotal);
    for (size_t c = 0; c < snapshot.size(); ++c) saveNode(w, snapshot, index, c);
    return w.ok ? IO_OK : IO_ERROR;
}

IOResult loadContainerChunks(ILoad& iload, SchematicGraph& table, SchematicViewState& view,
                             std::string& backgroundPath, int32_t& storedNodeCount,
                             SchematicViewState* nodeView, std::deque<SceneRefPatch>& sceneRefs) {
    Reader r(iload, sceneRefs);
    std::vector<SchematicNode*> loaded;
    std::vector<int32_t> parents;

    IOResult res;
    while ((res = iload.OpenChunk()) == IO_OK) {
        const USHORT id = iload.CurChunkID();
        bool ok = true;
        if (id == cc::viewHeader) {
            ok = loadViewHeader(r, view, backgroundPath, storedNodeCount);
            if (ok && loaded.empty() && storedNodeCount > 0) {
                // Room for the nodes the header announces, up to what a container can number:
                // a damaged count gets no more memory than that.
                const size_t expected = size_t((std::min)(storedNodeCount, kMaxStoredNodes));
                loaded.reserve(expected);
                r.madeEnd.reserve(expected);
                parents.reserve(expected);
                table.reserve(table.size() + expected);
            }
        } else if (id >= cc::firstNode) {
            NodeGuard guard{new SchematicNode};
            ok = loadNode(r, nodeView, guard, int32_t(loaded.size()), parents);
            if (ok) {
                // Everything that may fail comes first; the table's push is the hand-over,
                // so the node has exactly one owner whatever throws.
                loaded.push_back(guard.node);
                r.madeEnd.push_back(r.made.size());
                table.push_back(guard.node);
                guard.node = nullptr;
            }
        }
        if (!ok || iload.CloseChunk() != IO_OK) return IO_ERROR;
    }
    if (res != IO_END) return IO_ERROR;
    restoreParents(loaded, parents);
    restoreLinks(r.made, r.madeEnd, r.pending);
    return IO_OK;
}
