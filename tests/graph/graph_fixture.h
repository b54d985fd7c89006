// graph_fixture.h - a control-less graph context with a seam that records calls.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "graph/graph.h"
#include "tests/support/schematic_parts.h"

struct RecordingSeam : GraphSeam {
    struct Raised {
        GraphEvent event;
        std::vector<int32_t> args;
    };
    std::vector<std::optional<RectI>> redraws; // nullopt: the whole view
    std::vector<void*> released;
    std::vector<Raised> events;
    std::function<void(GraphEvent)> handler;   // runs inside raiseEvent, like a script

    void redraw(const RectI* rect) override {
        redraws.push_back(rect ? std::optional<RectI>(*rect) : std::nullopt);
    }
    void releaseBitmap(void* handle) override { released.push_back(handle); }
    void raiseEvent(GraphEvent event, const int32_t* args, int count) override {
        events.push_back({event, std::vector<int32_t>(args, args + count)});
        if (handler) handler(event);
    }
};

class GraphTest : public ::testing::Test, protected SchematicParts {
protected:
    RecordingSeam seam;

    GraphTest() { ctx.seam = &seam; }
    ~GraphTest() override {
        seam.handler = nullptr;
        ctx.tableBorrowed = false;
        clearGraph(ctx);
    }

    SchematicNode& newNode() {
        addNode(ctx);
        return *table.back();
    }
    SchematicSocket& input(SchematicNode& n) { return *addSocket(ctx, n, 0, "Input", false); }
    SchematicSocket& output(SchematicNode& n) { return *addSocket(ctx, n, 1, "Output", false); }

    // Every link entry has its mirror, outputs carry one weight per link.
    void expectLinksMirrored() {
        auto count = [](const SchematicSocket* s, const SchematicSocket* p) {
            return std::count(s->links.begin(), s->links.end(), p);
        };
        for (SchematicNode* n : table)
            for (auto* list : {&n->inputs, &n->outputs})
                for (SchematicSocket* s : *list) {
                    if (s->direction == 1) {
                        EXPECT_EQ(s->linkWeights.size(), s->links.size());
                    }
                    for (SchematicSocket* peer : s->links) {
                        EXPECT_GE(ownerIndexOfSocket(ctx, peer), 0);
                        EXPECT_EQ(count(s, peer), count(peer, s));
                    }
                }
    }
};
