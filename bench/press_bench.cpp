// press_bench.cpp - left presses at 100 to 10,000 nodes: through the spatial index and the plain scan.
#include <memory>

#include "bench/bench_graph.h"
#include "graph/spatial_index.h"
#include "interaction/handlers.h"
#include "tests/support/schematic_parts.h"

namespace {

// No window: events and repaints go nowhere, as with a script without handlers.
struct QuietPort : WindowPort, GraphSeam {
    void raise(UiEvent, const int32_t*, int) override {}
    void raiseEvent(GraphEvent, const int32_t*, int) override {}
    void redraw(const RectI*) override {}
    void releaseBitmap(void*) override {}
    void takeFocus() override {}
    void capturePointer() override {}
    void releasePointer() override {}
    void showAboutBox() override {}
    bool nudgeSceneController(Control&, float) override { return false; }
};

struct Bench : SchematicParts {
    QuietPort port;
    explicit Bench(int nodes) {
        ctx.seam = &port;
        buildBenchGraph(ctx, nodes);
        // The whole graph in a 1280 x 1024 view.
        view.viewRect = {0, 0, 1280, 1024};
        view.zoom = zoomToFit(nodes, 1280, 1024);
        view.pan = panToMiddle(nodes, view.zoom, 1280, 1024);
    }
    ~Bench() { clearGraph(ctx); }

    // With fresh, the pressed node is unselected first, so the press selects it
    // and deselects every other node.
    double press(PointerInput at, bool indexed, bool fresh = false) {
        ctx.spatialIndex = indexed ? std::make_shared<SpatialIndex>() : nullptr;
        SchematicNode& middle = *table[table.size() / 2];
        return millisPerCall(indexed ? 200 : 5, [&] {
            if (fresh) middle.selected = 0;
            onLeftPress(ctx, port, at);
        });
    }
    void look(float zoom) {
        view.zoom = zoom;
        view.pan = panToMiddle(int(table.size()), zoom, 1280, 1024);
    }
    // A client point between four nodes, and the middle of the node nearest the view's middle.
    PointerInput emptySpace() const {
        const Vec2 p = nodePositionClient(*table[table.size() / 2]);
        return {int32_t(p.x - 30.0f * view.zoom), int32_t(p.y - 5.0f * view.zoom), {}, 0};
    }
    PointerInput onNode() const {
        const SchematicNode& n = *table[table.size() / 2];
        const Vec2 p = nodePositionClient(n), s = nodeSizeClient(n);
        return {int32_t(p.x + s.x * 0.5f), int32_t(p.y + s.y * 0.5f), {}, 0};
    }
};

}  // namespace

int main() {
    for (int nodes : {100, 300, 1000, 3000, 10000, 30000, 100000}) {
        Bench b(nodes);
        const double ours = b.press(b.emptySpace(), true), plain = b.press(b.emptySpace(), false);
        reportPoint("press", nodes, ours);
        reportPoint("press (plain scan)", nodes, plain);
        if (nodes == 100000) {
            reportRow("left press on empty space", "100,000 nodes / 200,000 links, all in view", ours, plain,
                      "plain scan", "<= 0.05 ms", ours <= 0.05);
            b.look(1.0f);
            const double body = b.press(b.onNode(), true, true), plainBody = b.press(b.onNode(), false, true);
            reportRow("left press on a node body, selecting it (zoom 1)", "100,000 nodes / 200,000 links", body,
                      plainBody, "plain scan", "<= 0.05 ms", body <= 0.05);
        }
        if (nodes != 10000) continue;
        const std::string size = "10,000 nodes / 20,000 links, all in view";
        reportRow("left press on empty space", size, ours, plain, "plain scan", "<= 1 ms, >= 20x",
                  ours <= 1.0 && plain / ours >= 20.0);
        const double oursNode = b.press(b.onNode(), true), plainNode = b.press(b.onNode(), false);
        // At this zoom a node is 8 pixels wide and its socket boxes (4-pixel margins) cover it.
        reportRow("left press on a node (a socket at this zoom)", size, oursNode, plainNode, "plain scan",
                  "<= 1 ms, >= 20x", oursNode <= 1.0 && plainNode / oursNode >= 20.0);
        b.look(1.0f);
        const double oursBody = b.press(b.onNode(), true, true), plainBody = b.press(b.onNode(), false, true);
        reportRow("left press on a node body, selecting it (zoom 1)", "10,000 nodes / 20,000 links", oursBody,
                  plainBody, "plain scan", "<= 1 ms, >= 20x", oursBody <= 1.0 && plainBody / oursBody >= 20.0);
    }
    return 0;
}
