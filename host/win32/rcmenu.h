// rcmenu.h - right-click menus: an rcmenu's items, its handlers, and popping it up.
#pragma once
#include "host/win32/rollout.h"

extern HOSTSDK_API ValueMetaClass RCMenu_class;
extern HOSTSDK_API ValueMetaClass RCMenuItem_class;

// One entry of a menu, in the order declared: an item, a separator, or where a subMenu
// starts or ends.
class HOSTSDK_API RCMenuItem : public RolloutControl {
public:
    LPCMSTR get_control_class() override { return _M(""); }  // an entry of a menu, no window
    enum class Kind { Item, Separator, SubMenuStart, SubMenuEnd } kind;
    bool checked = false;
    Value* filter = nullptr;  // filter: a function; false from it leaves the entry out

    RCMenuItem(Kind kind, Value* name, Value* caption, Value** keyparms, int keyparm_count);
    Value* get_property(Value** arg_list, int count) override;
    Value* set_property(Value** arg_list, int count) override;
    BOOL is_kind_of(ValueMetaClass* c) override;
    void sprin1(CharStream* s) override;
    void gc_trace() override;
    // Runs the filter; entries without one are always shown.
    bool shown();
};

class HOSTSDK_API RCMenu : public Rollout {
public:
    RCMenu(Value* name);
    RCMenuItem* add_item(RCMenuItem::Kind kind, Value* item_name, Value* caption, Value** keyparms = nullptr,
                         int keyparm_count = 0);
    // Runs the open handler, shows the menu at screen_pos, then the picked handler of the
    // chosen item. Without a message loop the choice is the next dialog answer (an item's
    // name, or cancel). Answers the chosen item, or null.
    RCMenuItem* pop_up(HWND owner, POINT screen_pos);
    BOOL is_kind_of(ValueMetaClass* c) override;
    void sprin1(CharStream* s) override;
};
