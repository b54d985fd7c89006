// host_list_controls.cpp - dropdownlist, listbox, multilistbox and combobox: a caption
// above a Win32 list, items as an array of strings, selections numbered from 1.
#include <algorithm>
#include <set>

#include "host/core/errors.h"
#include "host/win32/host_controls.h"

namespace host_controls {

namespace {

constexpr int kLineHeight = 13;   // one item line in the rollout font
constexpr int kClosedHeight = 21; // a closed drop-down list

// What every list shares: its items, kept while the rollout is closed, and how they
// reach the window. Subclasses say which window messages fill and select.
class ListControl : public CaptionedControl {
public:
    std::vector<std::string> items;
    int selection = 0;  // 1-based; 0 when nothing is selected

    ListControl(Value* name, Value* caption, Value** keyparms, int count, int default_selection)
        : CaptionedControl(name, caption, keyparms, count) {
        if (Value* v = control_param(names().items)) items = string_items(v, "items");
        selection = items.empty() ? 0 : default_selection;
        // A multilistbox takes its selection: as an array; that is its own to read.
        if (Value* v = control_param(names().selection); v && v->tag != &Array_class) selection = v->to_int();
        selection = clamp_selection(selection);
    }

    int clamp_selection(int s) const { return (s < 1 || s > int(items.size())) ? 0 : s; }
    // Lines of height: (items shown), at least one.
    int lines(int default_lines) {
        Value* v = control_param(names().height);
        return std::max(1, v ? v->to_int() : default_lines);
    }

    virtual UINT add_message() { return LB_ADDSTRING; }
    virtual UINT reset_message() { return LB_RESETCONTENT; }
    virtual UINT select_message() { return LB_SETCURSEL; }
    virtual UINT current_message() { return LB_GETCURSEL; }

    void fill() {
        HWND list = body();
        if (!list) return;
        SendMessageA(list, reset_message(), 0, 0);
        for (const std::string& item : items)
            SendMessageA(list, add_message(), 0, reinterpret_cast<LPARAM>(item.c_str()));
        show_selection();
    }
    virtual void show_selection() {
        if (HWND list = body()) SendMessageA(list, select_message(), selection - 1, 0);
    }
    // The window's selection after the user changed it.
    int window_selection() {
        HWND list = body();
        if (!list) return selection;
        LRESULT s = SendMessageA(list, current_message(), 0, 0);
        return s < 0 ? 0 : int(s) + 1;
    }
    void raise_index(Value* event, int index) {
        raise(event, [index] { return Integer::intern(index); });
    }

    void compute_layout(Rollout* ro, layout_data* pos) override { align_by_default(ro, pos, names().left); }
    bool height_counts_lines() override { return true; }

    Value* get_property(Value** arg_list, int count) override {
        const ControlNames& n = names();
        Value* prop = count > 0 ? arg_list[0] : nullptr;
        if (prop == n.items) return items_array(items);
        if (prop == n.selection) return Integer::intern(selection);
        if (prop == n.selected) {
            if (selection == 0) return &undefined;
            return new String(items[size_t(selection - 1)].c_str());
        }
        return CaptionedControl::get_property(arg_list, count);
    }

    Value* set_property(Value** arg_list, int count) override {
        const ControlNames& n = names();
        Value* val = count > 0 ? arg_list[0] : nullptr;
        Value* prop = count > 1 ? arg_list[1] : nullptr;
        if (!val) return CaptionedControl::set_property(arg_list, count);
        if (prop == n.items) {
            items = string_items(val, "items");
            // The selection stays where it was when it still names an item.
            if (selection > int(items.size())) selection = items.empty() ? 0 : 1;
            if (selection == 0 && !items.empty()) selection = 1;
            fill();
            return val;
        }
        if (prop == n.selection) {
            selection = clamp_selection(val->to_int());
            show_selection();
            return val;
        }
        if (prop == n.selected) {
            // Replaces the selected item's text, not the selection.
            if (val->tag != &String_class) throw TypeError("selected", val, &String_class);
            if (selection == 0) return val;
            items[size_t(selection - 1)] = val->to_string();
            fill();
            return val;
        }
        return CaptionedControl::set_property(arg_list, count);
    }
};

// dropdownlist and combobox: combo box windows, spoken to with CB_ messages.
class ComboListControl : public ListControl {
public:
    ComboListControl(Value* name, Value* caption, Value** keyparms, int count)
        : ListControl(name, caption, keyparms, count, 1) {}
    UINT add_message() override { return CB_ADDSTRING; }
    UINT reset_message() override { return CB_RESETCONTENT; }
    UINT select_message() override { return CB_SETCURSEL; }
    UINT current_message() override { return CB_GETCURSEL; }
};

class DropdownlistControl : public ComboListControl {
public:
    using ComboListControl::ComboListControl;

    void compute_layout(Rollout* ro, layout_data* pos) override {
        pos->height = caption_height() + kClosedHeight;
        ListControl::compute_layout(ro, pos);
    }
    void init_control(HWND container) override {
        // height: counts the lines the open list shows, plus the closed field.
        const int open_height = kClosedHeight + lines(10) * kLineHeight;
        make_body(container, "COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, open_height);
        fill();
    }
    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM) override {
        if (right_clicked(message, wParam)) return TRUE;
        if (!is_notification(message, wParam, CBN_SELCHANGE)) return FALSE;
        selection = window_selection();
        raise_index(names().selected, selection);
        return TRUE;
    }
};

class ListboxControl : public ListControl {
public:
    ListboxControl(Value* name, Value* caption, Value** keyparms, int count)
        : ListControl(name, caption, keyparms, count, 1) {}

    DWORD list_style() {
        DWORD style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        // readOnly: the list shows but takes no picks.
        if (Value* v = control_param(Name::intern("readOnly")); v && v->to_bool()) style |= LBS_NOSEL;
        return style;
    }
    void compute_layout(Rollout* ro, layout_data* pos) override {
        pos->height = caption_height() + lines(10) * kLineHeight + 4;
        ListControl::compute_layout(ro, pos);
    }
    // height: is in lines as a keyword, in pixels as a property; the layout takes lines.
    void init_control(HWND container) override {
        make_body(container, "LISTBOX", list_style(), WS_EX_CLIENTEDGE);
        fill();
    }
    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM) override {
        if (right_clicked(message, wParam)) return TRUE;
        if (is_notification(message, wParam, LBN_SELCHANGE)) {
            selection = window_selection();
            raise_index(names().selected, selection);
            return TRUE;
        }
        if (is_notification(message, wParam, LBN_DBLCLK)) {
            raise_index(names().doubleClicked, window_selection());
            return TRUE;
        }
        return FALSE;
    }
};

class ComboboxControl : public ComboListControl {
public:
    using ComboListControl::ComboListControl;

    void compute_layout(Rollout* ro, layout_data* pos) override {
        pos->height = caption_height() + kClosedHeight + lines(5) * kLineHeight + 4;
        ListControl::compute_layout(ro, pos);
    }
    void init_control(HWND container) override {
        HWND combo = make_body(container, "COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_SIMPLE | CBS_AUTOHSCROLL, 0);
        fill();
        // The field is the combo's edit child; Enter there is "entered".
        if (combo) notify_enter(FindWindowExA(combo, nullptr, "EDIT", nullptr));
    }
    std::string edit_text() {
        HWND combo = body();
        if (!combo) return selection ? items[size_t(selection - 1)] : "";
        std::string text(size_t(GetWindowTextLengthA(combo)) + 1, '\0');
        text.resize(size_t(GetWindowTextA(combo, text.data(), int(text.size()))));
        return text;
    }
    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM) override {
        if (right_clicked(message, wParam)) return TRUE;
        if (is_notification(message, wParam, CBN_SELCHANGE)) {
            selection = window_selection();
            raise_index(names().selected, selection);
            return TRUE;
        }
        if (is_notification(message, wParam, CBN_DBLCLK)) {
            raise_index(names().doubleClicked, window_selection());
            return TRUE;
        }
        if (is_notification(message, wParam, CBN_EDITCHANGE)) {
            std::string text = edit_text();
            raise(names().changed, [&] { return static_cast<Value*>(new String(text.c_str())); });
            return TRUE;
        }
        if (is_notification(message, wParam, kEnteredNotification)) {
            std::string text = edit_text();
            raise(names().entered, [&] { return static_cast<Value*>(new String(text.c_str())); });
            return TRUE;
        }
        return FALSE;
    }
    // .text is the field's text; setting it leaves the items as they are.
    Value* get_property(Value** arg_list, int count) override {
        if (count > 0 && arg_list[0] == names().text) return new String(edit_text().c_str());
        return ListControl::get_property(arg_list, count);
    }
    Value* set_property(Value** arg_list, int count) override {
        if (count > 1 && arg_list[1] == names().text && arg_list[0]) {
            if (HWND combo = body()) SetWindowTextA(combo, arg_list[0]->to_string());
            return arg_list[0];
        }
        return ListControl::set_property(arg_list, count);
    }
};

class MultilistboxControl : public ListControl {
public:
    std::set<int> chosen;  // 1-based item numbers

    MultilistboxControl(Value* name, Value* caption, Value** keyparms, int count)
        : ListControl(name, caption, keyparms, count, 0) {
        chosen.clear();
        if (Value* v = control_param(names().selection)) chosen = numbers(v);
    }

    // selection: as a number, an array of numbers (or what the engine knows as a bit
    // array, when it has one: anything with count and 1-based items).
    std::set<int> numbers(Value* v) {
        std::set<int> out;
        if (v->tag == &Integer_class || v->tag == &Float_class) {
            int i = v->to_int();
            if (i >= 1 && i <= int(items.size())) out.insert(i);
            return out;
        }
        if (v->tag != &Array_class) throw TypeError("selection", v, &Array_class);
        for (Value* item : elements_of(static_cast<Array*>(v))) {
            int i = item->to_int();
            if (i >= 1 && i <= int(items.size())) out.insert(i);
        }
        return out;
    }
    Value* selection_value() {
        auto* a = new Array(0);
        for (int i : chosen) a->append(Integer::intern(i));
        return a;
    }
    void show_selection() override {
        HWND list = body();
        if (!list) return;
        SendMessageA(list, LB_SETSEL, FALSE, -1);
        for (int i : chosen) SendMessageA(list, LB_SETSEL, TRUE, i - 1);
    }
    std::set<int> window_chosen() {
        std::set<int> out;
        HWND list = body();
        if (!list) return chosen;
        for (int i = 0; i < int(items.size()); ++i)
            if (SendMessageA(list, LB_GETSEL, i, 0) > 0) out.insert(i + 1);
        return out;
    }

    void compute_layout(Rollout* ro, layout_data* pos) override {
        pos->height = caption_height() + lines(10) * kLineHeight + 4;
        ListControl::compute_layout(ro, pos);
    }
    void init_control(HWND container) override {
        make_body(container, "LISTBOX",
                  WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_MULTIPLESEL, WS_EX_CLIENTEDGE);
        fill();
    }
    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM) override {
        if (right_clicked(message, wParam)) return TRUE;
        HWND list = body();
        if (is_notification(message, wParam, LBN_SELCHANGE)) {
            // The item under the caret is the one the click changed.
            int changed = list ? int(SendMessageA(list, LB_GETCARETINDEX, 0, 0)) + 1 : 0;
            chosen = window_chosen();
            raise(names().selected, [changed] { return Integer::intern(changed); });
            raise(names().selectionEnd);
            return TRUE;
        }
        if (is_notification(message, wParam, LBN_DBLCLK)) {
            int at = list ? int(SendMessageA(list, LB_GETCARETINDEX, 0, 0)) + 1 : 0;
            raise(names().doubleClicked, [at] { return Integer::intern(at); });
            return TRUE;
        }
        return FALSE;
    }
    Value* get_property(Value** arg_list, int count) override {
        if (count > 0 && arg_list[0] == names().selection) return selection_value();
        if (count > 0 && arg_list[0] == names().selected) return &undefined;
        return ListControl::get_property(arg_list, count);
    }
    Value* set_property(Value** arg_list, int count) override {
        const ControlNames& n = names();
        Value* val = count > 0 ? arg_list[0] : nullptr;
        Value* prop = count > 1 ? arg_list[1] : nullptr;
        if (val && prop == n.selection) {
            chosen = numbers(val);
            show_selection();
            return val;
        }
        if (val && prop == n.items) {
            items = string_items(val, "items");
            for (auto it = chosen.begin(); it != chosen.end();) it = *it > int(items.size()) ? chosen.erase(it) : std::next(it);
            fill();
            return val;
        }
        return ListControl::set_property(arg_list, count);
    }
};

}  // namespace

void install_list_controls() {
    install_rollout_control(Name::intern("dropdownlist"), make_control<DropdownlistControl>);
    install_rollout_control(Name::intern("listbox"), make_control<ListboxControl>);
    install_rollout_control(Name::intern("multilistbox"), make_control<MultilistboxControl>);
    install_rollout_control(Name::intern("combobox"), make_control<ComboboxControl>);
}

}  // namespace host_controls
