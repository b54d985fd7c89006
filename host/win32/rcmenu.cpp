// rcmenu.cpp - right-click menus made into Win32 popup menus, entry by entry, at each pop-up.
#include "host/win32/rcmenu.h"

#include <string>
#include <vector>

#include "host/core/dialog_answers.h"
#include "host/core/errors.h"

ValueMetaClass RCMenu_class("RCMenu");
ValueMetaClass RCMenuItem_class("RCMenuItem");

namespace {

Value* name_checked() { return Name::intern("checked"); }
Value* name_enabled() { return Name::intern("enabled"); }

std::string text_of(Value* v) {
    if (!v) return "";
    if (v->tag == &Name_class || v->tag == &String_class) return v->to_string();
    return print_form(v);
}

// Appends entries from index i up to the end of their submenu; answers the index after it.
size_t fill_menu(HMENU menu, std::vector<RolloutControl*>& entries, size_t i, bool shown) {
    while (i < entries.size()) {
        auto* item = static_cast<RCMenuItem*>(entries[i]);
        const UINT id = UINT(i + 1);
        ++i;
        switch (item->kind) {
            case RCMenuItem::Kind::SubMenuEnd:
                return i;
            case RCMenuItem::Kind::SubMenuStart: {
                HMENU sub = CreatePopupMenu();
                bool show = false;
                try {
                    show = shown && item->shown();
                    i = fill_menu(sub, entries, i, show);
                } catch (...) {
                    DestroyMenu(sub);
                    throw;
                }
                if (show && GetMenuItemCount(sub) > 0)
                    AppendMenuA(menu, MF_POPUP | (item->enabled ? 0 : MF_GRAYED), reinterpret_cast<UINT_PTR>(sub),
                                text_of(item->caption).c_str());
                else
                    DestroyMenu(sub);
                break;
            }
            case RCMenuItem::Kind::Separator:
                if (shown && item->shown()) AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
                break;
            case RCMenuItem::Kind::Item:
                if (shown && item->shown())
                    AppendMenuA(menu, MF_STRING | (item->checked ? MF_CHECKED : 0) | (item->enabled ? 0 : MF_GRAYED), id,
                                text_of(item->caption).c_str());
                break;
        }
    }
    return i;
}

}  // namespace

RCMenuItem::RCMenuItem(Kind kind, Value* name, Value* caption, Value** keyparms, int keyparm_count)
    : RolloutControl(name, caption, keyparms, keyparm_count), kind(kind) {
    tag = &RCMenuItem_class;
    if (Value* v = control_param(name_checked())) checked = v->to_bool();
    if (Value* v = control_param(name_enabled())) enabled = v->to_bool();
    filter = control_param(Name::intern("filter"));
}

bool RCMenuItem::shown() {
    if (!filter) return true;
    Value* answer = filter->apply(nullptr, 0);
    return !answer || answer->to_bool();
}

Value* RCMenuItem::get_property(Value** arg_list, int count) {
    Value* prop = count > 0 ? arg_list[0] : nullptr;
    if (prop == name_checked()) return bool_result(checked);
    if (prop == name_enabled()) return bool_result(enabled);
    if (prop == Name::intern("caption") || prop == Name::intern("text")) return new String(text_of(caption).c_str());
    throw UnknownPropertyError(this, prop);
}

Value* RCMenuItem::set_property(Value** arg_list, int count) {
    Value* val = count > 0 ? arg_list[0] : nullptr;
    Value* prop = count > 1 ? arg_list[1] : nullptr;
    if (!val) throw UnknownPropertyError(this, prop);
    if (prop == name_checked()) checked = val->to_bool();
    else if (prop == name_enabled()) enabled = val->to_bool();
    else if (prop == Name::intern("caption") || prop == Name::intern("text")) caption = new String(val->to_string());
    else throw UnknownPropertyError(this, prop);
    return val;
}

BOOL RCMenuItem::is_kind_of(ValueMetaClass* c) { return c == &RCMenuItem_class || RolloutControl::is_kind_of(c); }

void RCMenuItem::sprin1(CharStream* s) { s->printf("MenuItem:%s", text_of(name).c_str()); }

void RCMenuItem::gc_trace() {
    RolloutControl::gc_trace();
    heap_detail::trace(filter);
}

RCMenu::RCMenu(Value* name) : Rollout(name, name) { tag = &RCMenu_class; }

RCMenuItem* RCMenu::add_item(RCMenuItem::Kind kind, Value* item_name, Value* caption, Value** keyparms,
                             int keyparm_count) {
    auto* item = new (GC_IN_HEAP) RCMenuItem(kind, item_name, caption, keyparms, keyparm_count);
    item->parent_rollout = this;
    controls.push_back(item);
    return item;
}

RCMenuItem* RCMenu::pop_up(HWND owner, POINT screen_pos) {
    run_handler(name, Name::intern("open"));
    size_t chosen = 0;  // 1-based entry, 0 for none
    if (dialogs_answered_from_list() || !owner) {
        std::string answer;
        if (!next_dialog_answer(answer)) answer = "cancel";
        for (size_t i = 0; i < controls.size(); ++i) {
            auto* item = static_cast<RCMenuItem*>(controls[i]);
            if (item->kind == RCMenuItem::Kind::Item && item->enabled && lstrcmpiA(text_of(item->name).c_str(), answer.c_str()) == 0)
                chosen = i + 1;
        }
        note_dialog_answer("popUpMenu", text_of(name), chosen ? answer : "cancel");
    } else {
        HMENU menu = CreatePopupMenu();
        try {
            fill_menu(menu, controls, 0, true);  // filters are script functions: they may fail
        } catch (...) {
            DestroyMenu(menu);
            throw;
        }
        // The owner must be in front, or the menu does not close when the user clicks away.
        SetForegroundWindow(owner);
        chosen = size_t(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN, screen_pos.x,
                                       screen_pos.y, 0, owner, nullptr));
        DestroyMenu(menu);
    }
    if (chosen == 0 || chosen > controls.size()) return nullptr;
    auto* item = static_cast<RCMenuItem*>(controls[chosen - 1]);
    run_handler(item->name, Name::intern("picked"));
    return item;
}

BOOL RCMenu::is_kind_of(ValueMetaClass* c) { return c == &RCMenu_class || Rollout::is_kind_of(c); }

void RCMenu::sprin1(CharStream* s) { s->printf("RCMenu:%s", text_of(name).c_str()); }
