// host_progress_controls.cpp - slider (a trackbar under its caption), progressbar (a bar the
// host paints, clicked <percent>) and timer (a SetTimer on the page, tick).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "host/core/errors.h"
#include "host/win32/host_controls.h"
#include "host/maxscript/script_values.h"

namespace host_controls {

namespace {

// [low, high, value] from a Point3, a Point2 (value kept) or an array of two or three numbers.
bool read_range(Value* v, float parts[3]) {
    if (v->tag == &Point3Value_class) {
        auto* p = static_cast<Point3Value*>(v);
        parts[0] = p->x;
        parts[1] = p->y;
        parts[2] = p->z;
        return true;
    }
    if (v->tag == &Point2Value_class) {
        Point2 p = v->to_point2();
        parts[0] = p.x;
        parts[1] = p.y;
        return true;
    }
    if (v->tag == &Array_class && static_cast<Array*>(v)->size >= 2) {
        auto* a = static_cast<Array*>(v);
        float copy[3] = {parts[0], parts[1], parts[2]};
        for (int i = 0; i < std::min(3, a->size); ++i) copy[i] = a->data[size_t(i)]->to_float();
        std::copy(copy, copy + 3, parts);
        return true;
    }
    throw ConversionError(v, "Point3");
}

class SliderControl : public CaptionedControl {
public:
    float low = 0, high = 100, value = 0;
    bool integer = false;
    int ticks = 10;
    bool vertical = false;
    bool dragging = false;  // between buttondown and buttonup

    static constexpr int kSteps = 1000;  // trackbar positions of a float slider

    SliderControl(Value* name, Value* caption, Value** keyparms, int count)
        : CaptionedControl(name, caption, keyparms, count) {
        const ControlNames& n = names();
        if (Value* v = control_param(n.type)) integer = v == n.integer;
        if (Value* v = control_param(n.ticks)) ticks = std::max(0, v->to_int());
        if (Value* v = control_param(n.orient)) vertical = v == n.vertical;
        if (Value* v = control_param(n.range)) set_range(v);
    }

    void set_range(Value* v) {
        float parts[3] = {low, high, value};
        read_range(v, parts);
        low = std::min(parts[0], parts[1]);
        high = std::max(parts[0], parts[1]);
        value = clamped(parts[2]);
        show();
    }
    float clamped(float v) const {
        if (std::isnan(v)) v = low;
        if (integer) v = std::round(v);
        return std::clamp(v, low, high);
    }
    int positions() const { return integer ? std::max(1, int(high - low)) : kSteps; }
    int position_of(float v) const {
        if (high <= low) return 0;
        int p = int(std::lround((v - low) / (high - low) * positions()));
        return vertical ? positions() - p : p;  // a vertical trackbar counts from its top
    }
    float value_at(int p) const {
        if (vertical) p = positions() - p;
        return clamped(low + (high - low) * float(p) / float(positions()));
    }
    Value* value_value() const { return integer ? Integer::intern(int(value)) : Float::intern(value); }

    void show() {
        HWND bar = body();
        if (!bar) return;
        SendMessageA(bar, TBM_SETRANGE, TRUE, MAKELPARAM(0, positions()));
        SendMessageA(bar, TBM_CLEARTICS, FALSE, 0);
        if (ticks > 0) SendMessageA(bar, TBM_SETTICFREQ, std::max(1, positions() / (ticks + 1)), 0);
        SendMessageA(bar, TBM_SETPOS, TRUE, position_of(value));
    }

    void compute_layout(Rollout* ro, layout_data* pos) override {
        if (vertical) {
            pos->width = 30;
            pos->height = caption_height() + 80;
        } else {
            pos->height = caption_height() + (ticks > 0 ? 28 : 22);
        }
        align_by_default(ro, pos, names().center);
    }
    void init_control(HWND container) override {
        DWORD style = WS_TABSTOP | (vertical ? TBS_VERT : TBS_HORZ) | (ticks > 0 ? TBS_AUTOTICKS : TBS_NOTICKS);
        make_body(container, TRACKBAR_CLASSA, style, 0);
        show();
    }

    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (right_clicked(message, wParam)) return TRUE;
        if ((message != WM_HSCROLL && message != WM_VSCROLL) || !lParam || reinterpret_cast<HWND>(lParam) != body())
            return FALSE;
        const int code = LOWORD(wParam);
        if (code == TB_ENDTRACK) {
            if (dragging) {
                dragging = false;
                raise(names().buttonup);
            }
            return TRUE;
        }
        if (!dragging) {
            dragging = true;
            raise(names().buttondown);
        }
        float v = value_at(int(SendMessageA(body(), TBM_GETPOS, 0, 0)));
        if (v != value) {
            value = v;
            raise(names().changed, [this] { return value_value(); });
        }
        return TRUE;
    }

    Value* get_property(Value** arg_list, int count) override {
        const ControlNames& n = names();
        Value* prop = count > 0 ? arg_list[0] : nullptr;
        if (prop == n.value) return value_value();
        if (prop == n.ticks) return Integer::intern(ticks);
        if (prop == n.range) return new Point3Value(low, high, value);
        return CaptionedControl::get_property(arg_list, count);
    }
    Value* set_property(Value** arg_list, int count) override {
        const ControlNames& n = names();
        Value* val = count > 0 ? arg_list[0] : nullptr;
        Value* prop = count > 1 ? arg_list[1] : nullptr;
        if (val && prop == n.value) {
            value = clamped(val->to_float());
            show();
            return val;
        }
        if (val && prop == n.range) {
            set_range(val);
            return val;
        }
        if (val && prop == n.ticks) {
            ticks = std::max(0, val->to_int());
            show();
            return val;
        }
        return CaptionedControl::set_property(arg_list, count);
    }
};

class ProgressbarControl : public DrawnControl {
public:
    float value = 0;  // percent, 0 to 100
    COLORREF color = RGB(30, 10, 190);
    bool vertical = false;

    ProgressbarControl(Value* name, Value* caption, Value** keyparms, int count)
        : DrawnControl(name, caption, keyparms, count) {
        const ControlNames& n = names();
        if (Value* v = control_param(n.value)) value = clamped(v->to_float());
        if (Value* v = control_param(n.color)) color = v->to_colorref();
        if (Value* v = control_param(n.orient)) vertical = v == n.vertical;
    }
    static float clamped(float v) { return std::isnan(v) ? 0.0f : std::clamp(v, 0.0f, 100.0f); }

    void compute_layout(Rollout* ro, layout_data* pos) override {
        pos->height = vertical ? 100 : 10;
        if (vertical) pos->width = 10;
        align_by_default(ro, pos, names().left);
    }

    // The part of the inside the value fills: from the left, or from the bottom.
    RECT filled_rect(RECT inner) const {
        RECT r = inner;
        if (vertical) r.top = inner.bottom - LONG(std::lround((inner.bottom - inner.top) * value / 100.0f));
        else r.right = inner.left + LONG(std::lround((inner.right - inner.left) * value / 100.0f));
        return r;
    }

    void paint(HDC dc, RECT client) override {
        HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
        FrameRect(dc, &client, frame);
        DeleteObject(frame);
        RECT inner{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
        if (inner.right <= inner.left || inner.bottom <= inner.top) return;
        HBRUSH empty = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
        FillRect(dc, &inner, empty);
        DeleteObject(empty);
        RECT filled = filled_rect(inner);
        if (filled.right > filled.left && filled.bottom > filled.top) {
            HBRUSH fill = CreateSolidBrush(color);
            FillRect(dc, &filled, fill);
            DeleteObject(fill);
        }
    }

    void mouse(UINT message, WPARAM, LPARAM lParam) override {
        if (message != WM_LBUTTONDOWN) return;
        RECT client;
        GetClientRect(control_window(), &client);
        const int x = short(LOWORD(lParam)), y = short(HIWORD(lParam));
        int percent = vertical ? (client.bottom - y) * 100 / std::max<LONG>(1, client.bottom)
                               : x * 100 / std::max<LONG>(1, client.right);
        percent = std::clamp(percent, 0, 100);
        raise(names().clicked, [percent] { return Integer::intern(percent); });
    }

    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM) override {
        return right_clicked(message, wParam);
    }

    Value* get_property(Value** arg_list, int count) override {
        const ControlNames& n = names();
        Value* prop = count > 0 ? arg_list[0] : nullptr;
        if (prop == n.value) return Float::intern(value);
        if (prop == n.color) return new ColorValue(color);
        if (prop == n.orient) return vertical ? n.vertical : Name::intern("horizontal");
        return DrawnControl::get_property(arg_list, count);
    }
    Value* set_property(Value** arg_list, int count) override {
        const ControlNames& n = names();
        Value* val = count > 0 ? arg_list[0] : nullptr;
        Value* prop = count > 1 ? arg_list[1] : nullptr;
        if (val && prop == n.value) {
            value = clamped(val->to_float());
            redraw();
            return val;
        }
        if (val && prop == n.color) {
            color = val->to_colorref();
            redraw();
            return val;
        }
        if (val && prop == n.orient) {
            if (val != n.vertical && val != Name::intern("horizontal"))
                throw RuntimeError("orient must be #horizontal or #vertical, got: " + print_form(val));
            vertical = val == n.vertical;
            redraw();
            return val;
        }
        return DrawnControl::set_property(arg_list, count);
    }
};

// No window of its own: a timer of the page, identified by the control's identifier.
class TimerControl : public HostControl {
public:
    LPCMSTR get_control_class() override { return _M(""); }  // makes no window
    int interval = 1000;
    bool active = true;
    int ticks = 0;

    TimerControl(Value* name, Value* caption, Value** keyparms, int count) : HostControl(name, caption, keyparms, count) {
        if (Value* v = control_param(names().interval)) interval = std::max(1, v->to_int());
        if (Value* v = control_param(names().active)) active = v->to_bool();
    }

    void add_control(Rollout* ro, HWND, HINSTANCE, int&) override {
        parent_rollout = ro;
        control_ID = next_id();
        placement = layout_data{};
        restart();
    }
    void restart() {
        if (!parent_rollout || !parent_rollout->page) return;
        KillTimer(parent_rollout->page, UINT_PTR(control_ID));
        if (active) SetTimer(parent_rollout->page, UINT_PTR(control_ID), UINT(interval), nullptr);
    }

    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM) override {
        if (message != WM_TIMER || wParam != WPARAM(control_ID)) return FALSE;
        if (!active) return TRUE;
        ++ticks;
        raise(names().tick);
        return TRUE;
    }

    Value* get_property(Value** arg_list, int count) override {
        const ControlNames& n = names();
        Value* prop = count > 0 ? arg_list[0] : nullptr;
        if (prop == n.interval) return Integer::intern(interval);
        if (prop == n.active) return bool_result(active);
        if (prop == n.ticks) return Integer::intern(ticks);
        return HostControl::get_property(arg_list, count);
    }
    Value* set_property(Value** arg_list, int count) override {
        const ControlNames& n = names();
        Value* val = count > 0 ? arg_list[0] : nullptr;
        Value* prop = count > 1 ? arg_list[1] : nullptr;
        if (val && prop == n.interval) {
            interval = std::max(1, val->to_int());
            restart();
            return val;
        }
        if (val && prop == n.active) {
            active = val->to_bool();
            restart();
            return val;
        }
        if (val && prop == n.ticks) {
            ticks = val->to_int();
            return val;
        }
        return HostControl::set_property(arg_list, count);
    }
};

}  // namespace

void install_progress_controls() {
    install_rollout_control(Name::intern("slider"), make_control<SliderControl>);
    install_rollout_control(Name::intern("progressbar"), make_control<ProgressbarControl>);
    install_rollout_control(Name::intern("timer"), make_control<TimerControl>);
}

}  // namespace host_controls
