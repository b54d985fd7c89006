// host_button_controls.cpp - button (pressed), label, checkbox and checkbutton (changed <bool>).
#include <algorithm>

#include "host/win32/host_controls.h"

namespace host_controls {

namespace {

class ButtonControl : public HostControl {
public:
    using HostControl::HostControl;
    LPCMSTR get_control_class() override { return "BUTTON"; }
    DWORD get_control_style() override { return WS_TABSTOP | BS_PUSHBUTTON; }

    void compute_layout(Rollout* ro, layout_data* pos) override {
        pos->height = 21;
        pos->width = std::max(24, text_width(caption_text()) + 18);
        align_by_default(ro, pos, names().center);
    }

    BOOL handle_message(Rollout* ro, UINT message, WPARAM wParam, LPARAM) override {
        if (right_clicked(message, wParam)) return TRUE;
        if (!is_notification(message, wParam, BN_CLICKED)) return FALSE;
        raise(names().pressed);
        return TRUE;
    }
};

class LabelControl : public HostControl {
public:
    using HostControl::HostControl;
    LPCMSTR get_control_class() override { return "STATIC"; }

    DWORD get_control_style() override {
        const ControlNames& n = names();
        Value* alignment = control_param(n.align);
        if (alignment == n.left) return SS_LEFT | SS_NOPREFIX;
        if (alignment == n.right) return SS_RIGHT | SS_NOPREFIX;
        return SS_CENTER | SS_NOPREFIX;
    }

    void compute_layout(Rollout* ro, layout_data* pos) override {
        pos->height = 13;
        pos->width = text_width(caption_text()) + 2;
        align_by_default(ro, pos, names().center);
    }
};

class CheckboxControl : public HostControl {
public:
    bool checked = false;

    CheckboxControl(Value* name, Value* caption, Value** keyparms, int count)
        : HostControl(name, caption, keyparms, count) {
        if (Value* v = control_param(names().checked)) checked = v->to_bool();
    }
    LPCMSTR get_control_class() override { return "BUTTON"; }
    DWORD get_control_style() override { return WS_TABSTOP | BS_AUTOCHECKBOX; }

    void compute_layout(Rollout* ro, layout_data* pos) override {
        pos->height = 15;
        pos->width = text_width(caption_text()) + 22;
        align_by_default(ro, pos, names().left);
    }

    void init_control(HWND window) override {
        SendMessageA(window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM) override {
        if (right_clicked(message, wParam)) return TRUE;
        if (!is_notification(message, wParam, BN_CLICKED)) return FALSE;
        HWND window = control_window();
        if (!window) return TRUE;
        // The box toggled itself; the window is the truth.
        checked = SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
        raise(names().changed, [&] { return bool_result(checked); });
        return TRUE;
    }

    Value* get_property(Value** arg_list, int count) override {
        Value* prop = count > 0 ? arg_list[0] : nullptr;
        if (prop == names().checked || prop == names().state) return bool_result(checked);
        return HostControl::get_property(arg_list, count);
    }

    Value* set_property(Value** arg_list, int count) override {
        Value* prop = count > 1 ? arg_list[1] : nullptr;
        if ((prop == names().checked || prop == names().state) && arg_list[0]) {
            checked = arg_list[0]->to_bool();
            if (HWND window = control_window())
                SendMessageA(window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
            return arg_list[0];
        }
        return HostControl::set_property(arg_list, count);
    }
};

// A check box drawn as a push button that stays in while checked.
class CheckbuttonControl : public CheckboxControl {
public:
    using CheckboxControl::CheckboxControl;
    DWORD get_control_style() override { return CheckboxControl::get_control_style() | BS_PUSHLIKE; }
    void compute_layout(Rollout* ro, layout_data* pos) override {
        pos->height = 21;
        pos->width = std::max(24, text_width(caption_text()) + 18);
        align_by_default(ro, pos, names().center);
    }
};

}  // namespace

void install_button_controls() {
    install_rollout_control(Name::intern("button"), make_control<ButtonControl>);
    install_rollout_control(Name::intern("label"), make_control<LabelControl>);
    install_rollout_control(Name::intern("checkbox"), make_control<CheckboxControl>);
    install_rollout_control(Name::intern("checkbutton"), make_control<CheckbuttonControl>);
}

}  // namespace host_controls
