// rollout_floater.h - rollouts stacked in one window, each under a title bar that rolls it
// up: rollout floaters (newRolloutFloater) and the subRollout control.
#pragma once
#include <vector>
#include "host/win32/rollout.h"

extern HOSTSDK_API ValueMetaClass RolloutFloater_class;

// The pages of a stack, top to bottom, in one window.
struct RolloutStack {
    struct Entry {
        Rollout* ro;
        bool rolled_up;
        HWND title_bar;
    };
    HWND window = nullptr;  // where the title bars and pages sit
    std::vector<Entry> entries;

    // Opens ro's page in the window under a title bar of its own; false when it cannot.
    bool add(Rollout* ro, bool rolled_up);
    // Closes ro's page; false when ro is not in the stack.
    bool remove(Rollout* ro);
    void close_all();
    // Places every title bar and page; forgets rollouts whose page went away.
    void layout();
    // A title bar was pressed: its rollout rolls up or down.
    void toggle(HWND title_bar);
    int page_width();
    void mark();
};

class HOSTSDK_API RolloutFloater : public Value {
public:
    RolloutStack stack;
    std::string title;

    RolloutFloater(const std::string& title);
    // Opens the floater's window, width x height on the screen, at (x, y).
    bool open(int width, int height, int x, int y);
    void close();
    bool is_open() const { return stack.window != nullptr; }

    Value* get_property(Value** arg_list, int count) override;
    Value* set_property(Value** arg_list, int count) override;
    void sprin1(CharStream* s) override;
    void gc_trace() override;
};

// addSubRollout / removeSubRollout: sub is a subRollout control of an open rollout.
HOSTSDK_API bool is_sub_rollout(Value* v);
HOSTSDK_API bool add_sub_rollout(RolloutControl* sub, Rollout* ro, bool rolled_up);
HOSTSDK_API bool remove_sub_rollout(RolloutControl* sub, Rollout* ro);
namespace host_controls {
void install_subrollout_control();
}
