// control_window.cpp - the control's child window, its paint and its enable state.
#include "control/schematic_control.h"
#include "control/module.h"
#include "graph/graph.h"
#include "render/paint_view.h"

void SchematicControl::add_control(Rollout* ro, HWND parent, HINSTANCE hInstance, int& current_y) {
    // The caption may be any value; its print form is the window title.
    auto* title = new StringStream(_M(""));
    if (caption) caption->sprint(title);
    caption = new String(title->to_string());

    control_ID = next_id();
    parent_rollout = ro;

    layout_data pos;
    setup_layout(ro, &pos, current_y);
    process_layout_params(ro, &pos, current_y);

    // A control disabled while its rollout was closed opens disabled.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP | (enabled ? 0 : WS_DISABLED);
    window = CreateWindowEx(0, SCHEMATIC_WINDOWCLASS, caption->to_string(), style, pos.left, pos.top,
                             pos.width, pos.height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_ID)), vantrelModule(),
                             static_cast<WindowClient*>(this));

    // Without a window (not reported; every drawing request checks for one) the graph is
    // still cleared and the old buffer still goes, as on any opening.
    rebuildBackBuffer();
    clearGraph(graph);
    if (window && ro->font) SendMessage(window, WM_SETFONT, reinterpret_cast<WPARAM>(ro->font), FALSE);
}

bool SchematicControl::rolloutIsOpen() const {
    return parent_rollout && parent_rollout->page;
}

void SchematicControl::set_enable() {
    if (!rolloutIsOpen() || !window) return;
    EnableWindow(window, enabled);
    InvalidateRect(window, nullptr, TRUE);
}

void SchematicControl::paint(HDC dc, const RECT* update) {
    PaintTarget target = paintTarget();
    paintView(target, dc, update);
}
