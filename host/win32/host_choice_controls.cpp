// host_choice_controls.cpp - radiobuttons: a caption above its buttons, changed <state>.
#include <algorithm>

#include "host/core/errors.h"
#include "host/win32/host_controls.h"

namespace host_controls {

namespace {

constexpr int kRadioHeight = 15;
constexpr int kFirstRadioPart = 100;  // child identifiers of the buttons, in order

class RadiobuttonsControl : public CaptionedControl {
public:
    std::vector<std::string> labels;
    int state = 1;  // 1-based; 0 when no button is on

    RadiobuttonsControl(Value* name, Value* caption, Value** keyparms, int count)
        : CaptionedControl(name, caption, keyparms, count) {
        if (Value* v = control_param(names().labels)) labels = string_items(v, "labels");
        state = labels.empty() ? 0 : 1;
        if (Value* v = control_param(names().default_)) state = clamp_state(v->to_int());
    }

    int clamp_state(int s) const { return (s < 1 || s > int(labels.size())) ? 0 : s; }
    int columns() {
        Value* v = control_param(names().columns);
        int c = v ? v->to_int() : int(labels.size());
        return std::clamp(c, 1, std::max(1, int(labels.size())));
    }
    int rows() { return labels.empty() ? 0 : (int(labels.size()) + columns() - 1) / columns(); }
    // Each column as wide as its widest label, so the set keeps its natural width.
    std::vector<int> column_widths() {
        std::vector<int> widths(size_t(columns()), 0);
        for (size_t i = 0; i < labels.size(); ++i)
            widths[i % widths.size()] = std::max(widths[i % widths.size()], text_width(labels[i]) + 22);
        return widths;
    }

    void compute_layout(Rollout* ro, layout_data* pos) override {
        std::vector<int> widths = column_widths();
        int total = 0;
        for (int w : widths) total += w;
        pos->width = std::max(total + 4 * (int(widths.size()) - 1), text_width(caption_text()));
        pos->height = caption_height() + rows() * kRadioHeight;
        align_by_default(ro, pos, names().center);
    }

    void init_control(HWND container) override {
        HFONT font = parent_rollout ? parent_rollout->font : nullptr;
        const int top = caption_height();
        make_caption(container);
        std::vector<int> widths = column_widths();
        // offsets: moves each button from where the columns put it.
        Array* offsets = nullptr;
        if (Value* v = control_param(Name::intern("offsets")); v && v->tag == &Array_class) offsets = static_cast<Array*>(v);
        for (size_t i = 0; i < labels.size(); ++i) {
            const size_t column = i % widths.size(), row = i / widths.size();
            int x = 0;
            for (size_t c = 0; c < column; ++c) x += widths[c] + 4;
            int y = top + int(row) * kRadioHeight;
            if (offsets && i < size_t(offsets->size)) {
                Point2 p = offsets->data[i]->to_point2();
                x += int(p.x);
                y += int(p.y);
            }
            DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
            HWND b = CreateWindowExA(0, "BUTTON", labels[i].c_str(), style, x, y, widths[column], kRadioHeight,
                                     container, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstRadioPart + i)),
                                     GetModuleHandleA(nullptr), nullptr);
            if (b && font) SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
        show_state();
        if (!enabled) set_enable();
    }

    HWND radio(int index) {  // 1-based
        HWND container = control_window();
        return container ? GetDlgItem(container, kFirstRadioPart + index - 1) : nullptr;
    }
    void show_state() {
        for (int i = 1; i <= int(labels.size()); ++i)
            if (HWND b = radio(i)) SendMessageA(b, BM_SETCHECK, i == state ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (right_clicked(message, wParam)) return TRUE;
        if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
        const int index = int(LOWORD(wParam)) - kFirstRadioPart + 1;
        if (index < 1 || index > int(labels.size()) || reinterpret_cast<HWND>(lParam) != radio(index)) return FALSE;
        if (index == state) return TRUE;  // pressing the button that is on changes nothing
        state = index;
        show_state();
        raise(names().changed, [this] { return Integer::intern(state); });
        return TRUE;
    }

    Value* get_property(Value** arg_list, int count) override {
        if (count > 0 && arg_list[0] == names().state) return Integer::intern(state);
        if (count > 0 && arg_list[0] == names().labels) return items_array(labels);
        return CaptionedControl::get_property(arg_list, count);
    }
    Value* set_property(Value** arg_list, int count) override {
        Value* val = count > 0 ? arg_list[0] : nullptr;
        Value* prop = count > 1 ? arg_list[1] : nullptr;
        if (val && prop == names().state) {
            state = clamp_state(val->to_int());
            show_state();
            return val;
        }
        if (val && prop == names().labels) {
            // The buttons keep their number; only their texts change.
            std::vector<std::string> texts = string_items(val, "labels");
            for (size_t i = 0; i < labels.size() && i < texts.size(); ++i) {
                labels[i] = texts[i];
                if (HWND b = radio(int(i) + 1)) SetWindowTextA(b, labels[i].c_str());
            }
            return val;
        }
        return CaptionedControl::set_property(arg_list, count);
    }
};

}  // namespace

void install_choice_controls() {
    install_rollout_control(Name::intern("radiobuttons"), make_control<RadiobuttonsControl>);
}

}  // namespace host_controls
