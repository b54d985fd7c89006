// host_group_controls.cpp - groupBox, and the box a rollout's group "caption" (...) clause
// draws around its controls (GroupStartControl and GroupEndControl in rollout.controls).
#include <algorithm>

#include "host/win32/host_controls.h"

namespace host_controls {

namespace {

constexpr int kGroupSideMargin = 6;   // page edge to the box
constexpr int kGroupCaptionRoom = 15; // box top to its first control
constexpr int kGroupBottomRoom = 6;   // last control to the box bottom

class GroupBoxControl : public HostControl {
public:
    using HostControl::HostControl;
    LPCMSTR get_control_class() override { return "BUTTON"; }
    DWORD get_control_style() override { return BS_GROUPBOX; }
    void compute_layout(Rollout* ro, layout_data* pos) override { pos->height = 40; }
};

ValueMetaClass GroupStartControl_class("GroupStartControl");
ValueMetaClass GroupEndControl_class("GroupEndControl");

// The box: made where the group starts, sized when its end is placed.
class GroupStartControl : public HostControl {
public:
    int top = 0;

    GroupStartControl(Value* caption) : HostControl(Name::intern("GroupStart"), caption, nullptr, 0) {
        tag = &GroupStartControl_class;
    }
    LPCMSTR get_control_class() override { return "BUTTON"; }
    DWORD get_control_style() override { return BS_GROUPBOX; }

    void add_control(Rollout* ro, HWND parent, HINSTANCE instance, int& current_y) override {
        parent_rollout = ro;
        control_ID = next_id();
        top = current_y;
        placement = {kGroupSideMargin, top, std::max(0, ro->width - 2 * kGroupSideMargin), kGroupCaptionRoom, 1};
        HWND window = CreateWindowExA(0, "BUTTON", caption_text().c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX,
                                      placement.left, placement.top, placement.width, placement.height, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_ID)), instance, nullptr);
        if (window && ro->font) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(ro->font), FALSE);
        if (window && !enabled) EnableWindow(window, FALSE);
        current_y = top + kGroupCaptionRoom;
    }
    // The box reaches below the last control placed before its end.
    void close_box(int& current_y) {
        placement.height = std::max(kGroupCaptionRoom, current_y - top - 5 + kGroupBottomRoom);
        if (HWND window = control_window())
            SetWindowPos(window, HWND_BOTTOM, 0, 0, placement.width, placement.height, SWP_NOMOVE | SWP_NOACTIVATE);
        current_y = top + placement.height + 5;
    }
    BOOL is_kind_of(ValueMetaClass* c) override { return c == &GroupStartControl_class || HostControl::is_kind_of(c); }
    void sprin1(CharStream* s) override { s->printf("GroupStartControl:%s", caption_text().c_str()); }
};

class GroupEndControl : public HostControl {
public:
    LPCMSTR get_control_class() override { return _M(""); }  // makes no window
    GroupStartControl* start;

    explicit GroupEndControl(GroupStartControl* start)
        : HostControl(Name::intern("GroupEnd"), start->caption, nullptr, 0), start(start) {
        tag = &GroupEndControl_class;
    }
    void add_control(Rollout* ro, HWND, HINSTANCE, int& current_y) override {
        parent_rollout = ro;
        control_ID = next_id();
        start->close_box(current_y);
        placement = start->placement;
    }
    BOOL is_kind_of(ValueMetaClass* c) override { return c == &GroupEndControl_class || HostControl::is_kind_of(c); }
    void sprin1(CharStream* s) override { s->printf("GroupEndControl:%s", caption_text().c_str()); }
    void gc_trace() override {
        HostControl::gc_trace();
        heap_detail::trace(start);
    }
};

RolloutControl* make_group_box(Value* name, Value* caption, Value** keyparms, int count) {
    return new (GC_IN_HEAP) GroupBoxControl(name, caption, keyparms, count);
}

}  // namespace

RolloutControl* add_group_start(Rollout* ro, Value* caption) {
    auto* ctl = new (GC_IN_HEAP) GroupStartControl(caption);
    ctl->parent_rollout = ro;
    ro->controls.push_back(ctl);
    return ctl;
}

RolloutControl* add_group_end(Rollout* ro, RolloutControl* start) {
    auto* ctl = new (GC_IN_HEAP) GroupEndControl(static_cast<GroupStartControl*>(start));
    ctl->parent_rollout = ro;
    ro->controls.push_back(ctl);
    return ctl;
}

void install_group_controls() {
    install_rollout_control(Name::intern("groupBox"), make_group_box);
}

}  // namespace host_controls
