// demo.cpp - the demonstration: a rollout with a SchematicControl, a small graph built the
// way a script builds it, one link selected by a click, and a screenshot of the result.
#include "host/runner/demo.h"

#include <windows.h>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "host/errors.h"
#include "host/heap.h"
#include "host/images.h"
#include "host/plugins.h"
#include "host/rollout.h"
#include "host/screenshot.h"
#include "host/value.h"

namespace {
void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

Value* keyword(const char* name) { return Name::intern(name); }

// ctrl.name and ctrl.name = value, as the script engine calls them.
struct ScriptAccess {
    RolloutControl* control;
    Value* get(const char* name) {
        Value* args[] = {keyword(name)};
        return control->get_property(args, 1);
    }
    Value* set(const char* name, Value* value) {
        Value* args[] = {value, keyword(name)};
        return control->set_property(args, 2);
    }
};

struct DemoNode {
    const char* name;
    float x, y;
    COLORREF_T color;
    const char* inputs[2];
    const char* outputs[1];
};

// Positions in view pixels (zoom 1, no pan); nodes are 100 wide.
const DemoNode kNodes[] = {
    {"Texture", 20, 20, 0x0057C6E0, {nullptr, nullptr}, {"Colour"}},
    {"Noise", 20, 150, 0x00783C28, {nullptr, nullptr}, {"Amount"}},
    {"Mix", 170, 60, 0x008CC878, {"A", "B"}, {"Result"}},
    {"Material", 290, 180, 0x0057C6E0, {"Diffuse", nullptr}, {nullptr}},
};

// Node number, socket number (both 1-based, as scripts count) of each link's ends.
struct DemoLink {
    int fromNode, fromSocket, toNode, toSocket;
};
const DemoLink kLinks[] = {{1, 1, 3, 1}, {2, 1, 3, 2}, {3, 3, 4, 1}};

// A warm-to-cool gradient standing in for a texture preview.
Value* makeSwatchBitmap(int width, int height) {
    auto* bitmap = new Bitmap(width, height);
    std::vector<BMM_Color_64> row(width);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            row[x].r = WORD(65535 * x / (width - 1));
            row[x].g = WORD(65535 * y / (height - 1) / 2);
            row[x].b = WORD(65535 - 65535 * x / (width - 1));
        }
        bitmap->PutPixels(0, y, width, row.data());
    }
    return new MAXBitMap(bitmap);
}

// Builds the graph through the control's properties; the host's errors propagate.
void buildGraph(ScriptAccess& sc) {
    for (const DemoNode& n : kNodes) {
        int number = sc.get("addNode")->to_int();
        sc.set("activeNode", Integer::intern(number));
        sc.set("nodeName", new String(n.name));
        sc.set("activeNodePos", new Point2Value(n.x, n.y));
        sc.set("nodeColor", new ColorValue(n.color));
        for (const char* input : n.inputs)
            if (input) {
                int socket = sc.get("addInSocket")->to_int();
                sc.set("activeSocket", Integer::intern(socket));
                sc.set("socketName", new String(input));
            }
        for (const char* output : n.outputs)
            if (output) {
                int socket = sc.get("addOutSocket")->to_int();
                sc.set("activeSocket", Integer::intern(socket));
                sc.set("socketName", new String(output));
            }
    }
    for (const DemoLink& l : kLinks) {
        sc.set("activeNode", Integer::intern(l.fromNode));
        sc.set("activeSocket", Integer::intern(l.fromSocket));
        sc.set("toggleConnection", new Point2Value(float(l.toNode), float(l.toSocket)));
    }
    sc.set("activeNode", Integer::intern(1));
    sc.set("bitmapSize", new Point2Value(60, 60));
    sc.set("nodeBitmap", makeSwatchBitmap(60, 60));
    sc.set("activeNode", Integer::intern(3));
    sc.set("isselected", &true_value);
    sc.set("drawShadows", &true_value);
    sc.set("drawWeights", &true_value);
    sc.get("redrawView");
}

// Selects the Noise -> Mix.B link the way a user does: a left click on the straight
// segment between its socket boxes (output box at (106.5, 174), input box at (174.5, 100)).
void clickLink(HWND window) {
    const LPARAM at = MAKELPARAM(140, 137);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(window, WM_LBUTTONUP, 0, at);
}
}  // namespace

int runDemo(const char* outputFolder) {
    Value* controlKeyword = Name::find("SchematicControl");
    if (!controlKeyword || !find_rollout_control_maker(controlKeyword)) {
        std::printf("the SchematicControl keyword is not installed\n");
        return 1;
    }
    std::printf("control keyword: SchematicControl (installed)\n");
    std::printf("interned names: %d\n", Name::interned_count());

    auto* rollout = new Rollout(keyword("demoRollout"), new String("Vantrel demo"));
    gc_add_root(reinterpret_cast<Value**>(&rollout));
    rollout->width = 420;
    Value* params[] = {keyword("width"), Integer::intern(400), keyword("height"), Integer::intern(300)};
    RolloutControl* control = rollout->add_control(controlKeyword, keyword("sc"), new String("Schematic"),
                                                   params, 4);
    if (!rollout->open()) {
        std::printf("the rollout did not open\n");
        return 1;
    }
    pumpMessages();

    HWND window = control->control_window();
    char className[64] = "";
    if (window) GetClassNameA(window, className, sizeof className);
    RECT client{};
    if (window) GetClientRect(window, &client);
    std::printf("control window class: %s, client %ldx%ld\n", className, client.right, client.bottom);

    ScriptAccess sc{control};
    try {
        buildGraph(sc);
        std::printf("graph built through properties: %zu nodes, %zu links\n", std::size(kNodes),
                    std::size(kLinks));
        if (window) clickLink(window);
    } catch (MAXScriptException& e) {
        std::printf("building the graph failed: %s\n", e.message().c_str());
    }
    if (window) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    pumpMessages();

    const std::string shot = std::string(outputFolder) + "/schematic.png";
    const bool saved = window && saveWindowPng(window, shot.c_str());
    std::printf(saved ? "screenshot: %s\n" : "screenshot could not be written: %s\n", shot.c_str());

    rollout->close();
    gc_remove_root(reinterpret_cast<Value**>(&rollout));
    gc();
    std::printf("rollout closed; live values after collection: %u\n", unsigned(gc_live_count()));
    return window && saved ? 0 : 1;
}
