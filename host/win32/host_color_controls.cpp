// host_color_controls.cpp - colorpicker: a caption and a colour swatch the host paints;
// a click opens the colour dialog (answered from the dialog answers when headless), changed <color>.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>

#include "host/core/dialog_answers.h"
#include "host/core/errors.h"
#include "host/win32/host_controls.h"

namespace host_controls {

namespace {

class ColorpickerControl : public DrawnControl {
public:
    COLORREF color = RGB(0, 0, 0);
    bool alpha = false;
    std::string title = "Choose a color";

    ColorpickerControl(Value* name, Value* caption, Value** keyparms, int count)
        : DrawnControl(name, caption, keyparms, count) {
        if (Value* v = control_param(names().color)) color = v->to_colorref();
        if (Value* v = control_param(Name::intern("alpha"))) alpha = v->to_bool();
        if (Value* v = control_param(Name::intern("title"))) title = v->to_string();
    }

    int field_width() {
        Value* v = control_param(names().fieldwidth);
        return v ? std::max(0, v->to_int()) : 40;
    }
    int label_width() {
        std::string label = caption_text();
        return label.empty() ? 0 : text_width(label) + 4;
    }
    // Where the swatch sits in the window: right of the caption, the full height.
    RECT swatch_rect(RECT client) { return {std::min<LONG>(client.right, label_width()), 0, client.right, client.bottom}; }

    void compute_layout(Rollout* ro, layout_data* pos) override {
        pos->height = 17;
        pos->width = label_width() + field_width();
        align_by_default(ro, pos, names().left);
    }

    void paint(HDC dc, RECT client) override {
        const COLORREF background = parent_rollout ? parent_rollout->background_color() : GetSysColor(COLOR_BTNFACE);
        HBRUSH page = CreateSolidBrush(background);
        FillRect(dc, &client, page);
        DeleteObject(page);
        RECT swatch = swatch_rect(client);
        if (swatch.left > 0) {
            RECT text{0, 0, swatch.left, client.bottom};
            HGDIOBJ old_font = parent_rollout && parent_rollout->font ? SelectObject(dc, parent_rollout->font) : nullptr;
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
            std::string label = caption_text();
            DrawTextA(dc, label.c_str(), int(label.size()), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            if (old_font) SelectObject(dc, old_font);
        }
        // A dark frame, then the colour inside it.
        HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
        FrameRect(dc, &swatch, frame);
        DeleteObject(frame);
        RECT inner{swatch.left + 1, swatch.top + 1, swatch.right - 1, swatch.bottom - 1};
        if (inner.right > inner.left && inner.bottom > inner.top) {
            HBRUSH fill = CreateSolidBrush(enabled ? color : background);
            FillRect(dc, &inner, fill);
            DeleteObject(fill);
        }
    }

    // The colour the user chose, or false when the choice was cancelled.
    bool choose(COLORREF& chosen) {
        if (dialogs_answered_from_list()) {
            std::string answer;
            int r = 0, g = 0, b = 0;
            bool given = next_dialog_answer(answer) && std::sscanf(answer.c_str(), "%d %d %d", &r, &g, &b) == 3;
            note_dialog_answer("colorPicker", title, given ? answer : "cancel");
            if (!given) return false;
            chosen = RGB(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
            return true;
        }
        static COLORREF custom[16] = {};
        CHOOSECOLORA cc{};
        cc.lStructSize = sizeof cc;
        cc.hwndOwner = parent_rollout ? parent_rollout->page : nullptr;
        cc.rgbResult = color;
        cc.lpCustColors = custom;
        cc.Flags = CC_RGBINIT | CC_FULLOPEN;
        if (!ChooseColorA(&cc)) return false;
        chosen = cc.rgbResult;
        return true;
    }

    void mouse(UINT message, WPARAM, LPARAM lParam) override {
        if (message != WM_LBUTTONUP || !enabled) return;
        RECT client;
        GetClientRect(control_window(), &client);
        POINT at{short(LOWORD(lParam)), short(HIWORD(lParam))};
        RECT swatch = swatch_rect(client);
        if (!PtInRect(&swatch, at)) return;
        COLORREF chosen = color;
        if (!choose(chosen) || chosen == color) return;
        color = chosen;
        redraw();
        raise(names().changed, [this] { return static_cast<Value*>(new ColorValue(color)); });
    }

    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM) override {
        return right_clicked(message, wParam);
    }

    Value* get_property(Value** arg_list, int count) override {
        Value* prop = count > 0 ? arg_list[0] : nullptr;
        if (prop == names().color) return new ColorValue(color);
        if (prop == Name::intern("alpha")) return bool_result(alpha);
        if (prop == Name::intern("title")) return new String(title.c_str());
        return DrawnControl::get_property(arg_list, count);
    }
    Value* set_property(Value** arg_list, int count) override {
        Value* val = count > 0 ? arg_list[0] : nullptr;
        Value* prop = count > 1 ? arg_list[1] : nullptr;
        if (val && prop == names().color) {
            color = val->to_colorref();
            redraw();
            return val;
        }
        if (val && prop == Name::intern("alpha")) {
            alpha = val->to_bool();
            return val;
        }
        if (val && prop == Name::intern("title")) {
            if (val->tag != &String_class) throw TypeError("title", val, &String_class);
            title = val->to_string();
            return val;
        }
        Value* result = DrawnControl::set_property(arg_list, count);
        redraw();  // caption and enabled are painted here
        return result;
    }
};

}  // namespace

void install_color_controls() {
    install_rollout_control(Name::intern("colorpicker"), make_control<ColorpickerControl>);
}

}  // namespace host_controls
