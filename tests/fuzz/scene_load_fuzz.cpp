// scene_load_fuzz.cpp - any bytes, as a scene file and as a container's own data: refused or
//   loaded into a consistent graph, and whatever loaded saves again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "controller/plugin.h"
#include "controller/vantrel_controller.h"
#include "graph/graph.h"
#include "host/scene/chunk_file.h"
#include "host/core/errors.h"
#include "host/scene/scene.h"
#include "host/start_host.h"

namespace {

void require(bool holds) {
    if (!holds) __builtin_trap();
}

// What every graph operation relies on: mirrored links, one weight per output link,
// parents and children in step, no parent cycle. Linear in the graph, so a large
// input that loads quickly is also checked quickly.
void checkGraph(const SchematicGraph& table) {
    std::unordered_set<const SchematicSocket*> owned;
    std::unordered_map<const SchematicNode*, int> state;  // 1 on the walk, 2 known to end
    for (const SchematicNode* n : table) {
        for (const auto* list : {&n->inputs, &n->outputs})
            for (const SchematicSocket* s : *list) owned.insert(s);
        state.emplace(n, 0);
    }
    std::vector<const SchematicNode*> walk;
    for (const SchematicNode* n : table) {
        for (const SchematicNode* k = n; k && state[k] != 2; k = k->parent) {
            require(state[k] != 1);  // met again on one walk: a parent cycle
            state[k] = 1;
            walk.push_back(k);
        }
        for (const SchematicNode* k : walk) state[k] = 2;
        walk.clear();
        if (n->parent) {
            const auto& kids = n->parent->children;
            require(std::count(kids.begin(), kids.end(), n) == 1);
        }
        for (const auto* list : {&n->inputs, &n->outputs})
            for (const SchematicSocket* s : *list) {
                require(s->ownerNode == n);
                if (s->direction == 1) require(s->linkWeights.size() == s->links.size());
                std::unordered_map<const SchematicSocket*, int> toPeer;
                for (const SchematicSocket* peer : s->links) {
                    require(owned.count(peer) == 1);
                    ++toPeer[peer];
                }
                for (const auto& [peer, times] : toPeer)
                    require(std::count(peer->links.begin(), peer->links.end(), s) == times);
            }
    }
}

void saveAgain(ReferenceTarget& object) {
    ChunkWriter w;
    try {
        require(object.Save(&w) == IO_OK);
    } catch (RuntimeError&) {
        return;  // a graph too large to store is refused, not written
    }
    require(!w.failed() && w.depth() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    start_host();
    static const bool registered = (register_class(LibClassDesc(0)), true);
    (void)registered;

    {
        Scene scene;
        try {
            scene.loadFromBytes(data, size);
        } catch (MAXScriptException&) {
            require(scene.nodes().empty() && scene.tracks().empty());
        }
        for (Control* track : scene.tracks())
            if (isVantrelController(track)) checkGraph(static_cast<vantrelController*>(track)->nodeTable);
        try {
            scene.saveToBytes();
        } catch (RuntimeError&) {
        }
    }
    {
        auto* container = static_cast<vantrelController*>(static_cast<Animatable*>(LibClassDesc(0)->Create(1)));
        ChunkReader reader(data, size);
        container->Load(&reader);
        checkGraph(container->nodeTable);
        saveAgain(*container);
        container->DeleteThis();
    }
    return 0;
}
