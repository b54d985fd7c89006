// scene_load_fuzz.cpp - any bytes, as a scene file and as a container's own data: refused or
//   loaded into a consistent graph, and whatever loaded saves again.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "controller/plugin.h"
#include "controller/vantrel_controller.h"
#include "graph/graph.h"
#include "host/chunk_file.h"
#include "host/errors.h"
#include "host/scene.h"

namespace {

void require(bool holds) {
    if (!holds) __builtin_trap();
}

// What every graph operation relies on: mirrored links, one weight per output link,
// parents and children in step, no parent cycle.
void checkGraph(const SchematicGraph& table) {
    for (const SchematicNode* n : table) {
        require(!isAncestor(n, *n));
        if (n->parent) {
            const auto& kids = n->parent->children;
            require(std::count(kids.begin(), kids.end(), n) == 1);
        }
        for (const auto* list : {&n->inputs, &n->outputs})
            for (const SchematicSocket* s : *list) {
                require(s->ownerNode == n);
                if (s->direction == 1) require(s->linkWeights.size() == s->links.size());
                for (const SchematicSocket* peer : s->links) {
                    require(ownerIndexOfSocket(table, peer) >= 0);
                    require(std::count(peer->links.begin(), peer->links.end(), s) ==
                            std::count(s->links.begin(), s->links.end(), peer));
                }
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
