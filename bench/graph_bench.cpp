// graph_bench.cpp - graph operations on big graphs: building, deleting, hiding.
#include <benchmark/benchmark.h>

#include "graph/graph.h"
#include "tests/support/schematic_parts.h"

namespace {
struct BenchGraph : SchematicParts {
    ~BenchGraph() { clearGraph(ctx); }

    // A chain: node i's output feeds node i+1's input.
    void buildChain(int nodes) {
        SchematicSocket* previous = nullptr;
        for (int i = 0; i < nodes; ++i) {
            addNode(ctx);
            SchematicNode& node = *table.back();
            SchematicSocket* in = addSocket(ctx, node, 0, "Input", false);
            SchematicSocket* out = addSocket(ctx, node, 1, "Output", false);
            if (previous) connectSockets(*previous, *in);
            previous = out;
        }
    }
};
}  // namespace

static void BuildChain(benchmark::State& state) {
    for (auto _ : state) {
        BenchGraph g;
        g.buildChain(int(state.range(0)));
        benchmark::DoNotOptimize(g.table.data());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BuildChain)->Arg(1000)->Arg(10000);

static void DeleteEveryOtherNode(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        BenchGraph g;
        g.buildChain(int(state.range(0)));
        for (size_t i = 0; i < g.table.size(); i += 2) g.table[i]->selected = 1;
        state.ResumeTiming();
        deleteSelection(g.ctx);
    }
}
BENCHMARK(DeleteEveryOtherNode)->Arg(1000)->Arg(5000);

static void HideWholeChain(benchmark::State& state) {
    BenchGraph g;
    g.buildChain(int(state.range(0)));
    SchematicSocket* start = g.table.front()->outputs.front();
    int v = 1;
    for (auto _ : state) {
        hideConnected(*start, g.table.front(), v, 1);
        v ^= 1;
    }
}
BENCHMARK(HideWholeChain)->Arg(1000)->Arg(10000);

BENCHMARK_MAIN();
