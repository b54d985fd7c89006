// paint_bench.cpp - painting big graphs under Wine: the culled paint against the plain one,
//   and the frame of a node drag, through the real window.
#include <windows.h>

#include "bench/bench_graph.h"
#include "host/start_host.h"
#include "tests/support/plugin_session.h"

namespace {

using PaintFn = void (*)(SchematicControl*);
using RegionFn = void (*)(SchematicControl*, const RECT*);

constexpr int kWidth = 1280, kHeight = 1024;
bool plainToo = true;  // off when one section runs for a profile
// Wine's 32-bit GDI costs several times more per call: each row names its build.
std::string named(const char* what) { return std::string(what) + ", " + buildName(); }

struct View {
    TestRollout ro{kWidth, kHeight};
    PaintFn plain = reinterpret_cast<PaintFn>(
        reinterpret_cast<void*>(GetProcAddress(PluginSession::get().module, "vantrelPaintStraightforward")));
    RegionFn region = reinterpret_cast<RegionFn>(
        reinterpret_cast<void*>(GetProcAddress(PluginSession::get().module, "vantrelPaintRegion")));

    explicit View(int nodes) {
        ro.open();
        buildBenchGraph(graph(), nodes);
        view().showInfo = 0;
    }
    ~View() { clearGraph(graph()); }
    SchematicControl& sc() { return ro.control(); }
    GraphContext& graph() { return sc().graph; }
    SchematicViewState& view() { return *sc().viewState; }

    void look(float zoom, Vec2 pan) {
        view().zoom = zoom;
        view().pan = pan;
        ++graph().generation;
    }
    double ours() {
        RECT all{0, 0, view().viewRect.right, view().viewRect.bottom};
        return millisPerCall(20, [&] { region(&sc(), &all); });
    }
    double straightforward(int times) { return !plainToo ? 0.0 : millisPerCall(times, [&] { plain(&sc()); }); }

    // One drag frame: the move message and the paint of what it invalidated.
    double dragFrame() {
        // The node nearest the view's middle.
        const int nodes = int(graph().nodeTable->size()), columns = gridColumns(nodes);
        const int rows = (nodes + columns - 1) / columns;
        const SchematicNode& n = *(*graph().nodeTable)[size_t(std::min(nodes - 1, rows / 2 * columns + columns / 2))];
        const RectI r = nodeScreenRect(n);
        int x = (r.left + r.right) / 2, y = r.top + 5;
        HWND w = sc().window;
        SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        UpdateWindow(w);
        int step = 0;
        const double ms = millisPerCall(200, [&] {
            x += (step++ / 20) % 2 ? -1 : 1;  // back and forth, staying in view
            SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
            UpdateWindow(w);
        });
        SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        UpdateWindow(w);
        return ms;
    }
};

}  // namespace

int main(int argc, char** argv) {
    start_host();
    // One section by name (for profiling), or all of them.
    const std::string only = argc > 1 ? argv[1] : "";
    auto wanted = [&](const char* section) { return only.empty() || only == section; };
    plainToo = only.empty();
    // Paint time against size: zoom 1, a full view into the middle.
    for (int nodes : {100, 300, 1000, 3000, 10000}) {
        if (!wanted("sizes") && !(nodes == 10000 && wanted("big"))) continue;
        View v(nodes);
        v.look(1.0f, panToMiddle(nodes, 1.0f, kWidth, kHeight));
        const double ours = v.ours(), plain = v.straightforward(nodes >= 3000 ? 3 : 10);
        reportPoint(named("paint").c_str(), nodes, ours);
        reportPoint(named("plain paint").c_str(), nodes, plain);
        if (nodes == 10000) {
            reportRow(named("paint, zoom 1, 1280 x 1024 view into the middle"), "10,000 nodes / 20,000 links", ours,
                      plain, "plain paint", "<= 5 ms", ours <= 5.0);
            const float fit = zoomToFit(nodes, kWidth, kHeight);
            v.look(0.03f, panToMiddle(nodes, 0.03f, kWidth, kHeight));
            const double zoomedOut = v.ours(), zoomedOutPlain = v.straightforward(3);
            reportRow(named("paint, zoom 0.03, all visible"), "10,000 nodes / 20,000 links", zoomedOut, zoomedOutPlain,
                      "plain paint", "<= 33 ms", zoomedOut <= 33.0);
            (void)fit;
        }
    }
    if (wanted("fit")) {
        View v(2000);
        const float zoom = zoomToFit(2000, kWidth, kHeight);
        v.look(zoom, panToMiddle(2000, zoom, kWidth, kHeight));
        const double ours = v.ours(), plain = v.straightforward(5);
        char size[64];
        std::snprintf(size, sizeof size, "2,000 nodes / 4,000 links, zoom %.2f", zoom);
        reportRow(named("paint, all visible"), size, ours, plain, "plain paint", "<= 8 ms", ours <= 8.0);
    }
    if (!wanted("drag")) return 0;
    double small = 0, big = 0;
    for (int nodes : {100, 10000}) {
        View v(nodes);
        v.look(1.0f, panToMiddle(nodes, 1.0f, kWidth, kHeight));
        (nodes == 100 ? small : big) = v.dragFrame();
    }
    reportRow(named("drag frame moving one node (move + partial repaint)"), "10,000 nodes vs 100", big, small,
              "same at 100 nodes", "within 2x", big <= 2.0 * small);
    return 0;
}
