// bench_graph.h - the benchmark graph, its views, a clock and the result lines ./run bench gathers.
#pragma once
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "graph/graph.h"

// Nodes on a grid, each with two inputs and one output; the output feeds two
// random nodes at most three grid steps away, as a hand-built graph links
// neighbours rather than random far ends.
inline constexpr float kColumnStep = 160.0f, kRowStep = 110.0f;

inline int gridColumns(int nodes) { return int(std::ceil(std::sqrt(double(nodes)))); }

inline void buildBenchGraph(GraphContext& ctx, int nodes, uint32_t seed = 7) {
    const int columns = gridColumns(nodes);
    for (int i = 0; i < nodes; ++i) {
        addNode(ctx);
        SchematicNode& n = *ctx.nodeTable->back();
        n.position = {float(i % columns) * kColumnStep, float(i / columns) * kRowStep};
        n.nodeName = "Node " + std::to_string(i);
        addSocket(ctx, n, 0, "A", false);
        addSocket(ctx, n, 0, "B", false);
        addSocket(ctx, n, 1, "Out", false);
    }
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> step(-3, 3), which(0, 1);
    SchematicGraph& table = *ctx.nodeTable;
    for (int i = 0; i < nodes; ++i)
        for (int k = 0; k < 2; ++k) {
            const int col = std::clamp(i % columns + step(rng), 0, columns - 1);
            const int row = std::clamp(i / columns + step(rng), 0, (nodes - 1) / columns);
            const int j = std::min(nodes - 1, row * columns + col);
            connectSockets(*table[size_t(i)]->outputs[0], *table[size_t(j)]->inputs[size_t(which(rng))]);
        }
}

// The pan that puts the graph's middle at the middle of a view.
inline Vec2 panToMiddle(int nodes, float zoom, int width, int height) {
    const int columns = gridColumns(nodes), rows = (nodes + columns - 1) / columns;
    const float cx = float(columns) * kColumnStep * 0.5f, cy = float(rows) * kRowStep * 0.5f;
    return {float(width) * 0.5f - cx * zoom, float(height) * 0.5f - cy * zoom};
}

// The zoom at which the whole graph fits a view.
inline float zoomToFit(int nodes, int width, int height) {
    const int columns = gridColumns(nodes), rows = (nodes + columns - 1) / columns;
    return std::min(float(width) / (float(columns) * kColumnStep), float(height) / (float(rows) * kRowStep));
}

// Milliseconds of one call of body: the mean over a batch of at least `times` calls and
// 40 ms, the best of five batches, as a shared machine and Wine's display server let
// single batches run slow.
template <class Body>
double millisPerCall(int times, Body body) {
    using Clock = std::chrono::steady_clock;
    body();  // warm: caches, the index, the font mapper
    double best = 0.0;
    const auto began = Clock::now();
    for (int batch = 0; batch < 5; ++batch) {
        int calls = 0;
        const auto start = Clock::now();
        double elapsed = 0.0;
        while (calls < times || elapsed < 0.04) {
            body();
            ++calls;
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        }
        const double ms = elapsed * 1000.0 / calls;
        best = batch == 0 ? ms : (std::min)(best, ms);
        if (std::chrono::duration<double>(Clock::now() - began).count() > 20.0) break;
    }
    return best;
}

// Which build measured: both Windows builds run the painting benchmarks.
inline const char* buildName() { return sizeof(void*) == 8 ? "64-bit build" : "32-bit build"; }

// One line per result, gathered by ./run bench:
//   row <case> <size> <ours ms> <baseline ms> <baseline kind> <target> <met>
//   plot <series> <nodes> <ms>
inline void reportRow(const std::string& name, const std::string& size, double ours, double base,
                      const char* baseKind, const std::string& target, bool met) {
    std::printf("row\t%s\t%s\t%.3f\t%.3f\t%s\t%s\t%s\n", name.c_str(), size.c_str(), ours, base, baseKind,
                target.c_str(), met ? "yes" : "NO");
    std::fflush(stdout);
}
inline void reportPoint(const char* series, int nodes, double ms) {
    std::printf("plot\t%s\t%d\t%.4f\n", series, nodes, ms);
    std::fflush(stdout);
}
