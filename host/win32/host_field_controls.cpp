// host_field_controls.cpp - edittext (changed <text>) and spinner (changed <number>):
// a caption and a typed field, the spinner with arrows beside it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "host/core/errors.h"
#include "host/win32/host_controls.h"
#include "host/maxscript/script_values.h"

namespace host_controls {

namespace {

class EdittextControl : public PartsControl {
public:
    std::string text;  // kept while the rollout is closed

    EdittextControl(Value* name, Value* caption, Value** keyparms, int count)
        : PartsControl(name, caption, keyparms, count) {
        if (Value* v = control_param(names().text)) text = v->to_string();
    }

    void compute_layout(Rollout*, layout_data* pos) override { pos->height = 17; }
    // height: taller than one line makes a multi-line field (lines end in \n for the
    // script, \r\n in the window); readOnly:true lets the user select but not type.
    bool multi_line() {
        Value* h = control_param(Name::intern("height"));
        return h && h->to_int() > 17;
    }
    void init_control(HWND group) override {
        DWORD style = 0;
        if (multi_line()) style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        if (Value* v = control_param(Name::intern("readOnly")); v && v->to_bool()) style |= ES_READONLY;
        make_parts(group, style, window_text(text), 0);
    }
    std::string window_text(const std::string& t) {
        if (!multi_line()) return t;
        std::string out;
        for (char c : t) {
            if (c == '\n' && (out.empty() || out.back() != '\r')) out += '\r';
            out += c;
        }
        return out;
    }
    static std::string script_text(const std::string& t) {
        std::string out;
        for (size_t i = 0; i < t.size(); ++i)
            if (!(t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')) out += t[i];
        return out;
    }

    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM) override {
        if (is_notification(message, wParam, kEnteredNotification)) {
            text = script_text(field_text());
            raise(names().entered, [&] { return static_cast<Value*>(new String(text.c_str())); });
            return TRUE;
        }
        if (!is_notification(message, wParam, EN_CHANGE)) return FALSE;
        if (setting_field) return TRUE;  // the script set it; not the user's change
        text = script_text(field_text());
        raise(names().changed, [&] { return static_cast<Value*>(new String(text.c_str())); });
        return TRUE;
    }

    // .text is the field; .caption the label beside it.
    Value* get_property(Value** arg_list, int count) override {
        if (count > 0 && arg_list[0] == names().text) return new String(text.c_str());
        return PartsControl::get_property(arg_list, count);
    }

    Value* set_property(Value** arg_list, int count) override {
        if (count > 1 && arg_list[1] == names().text && arg_list[0]) {
            text = arg_list[0]->to_string();
            set_field_text(window_text(text));
            return arg_list[0];
        }
        return PartsControl::set_property(arg_list, count);
    }
};

class SpinnerControl : public PartsControl {
public:
    float low = 0, high = 100, value = 0;
    bool integer = false;
    float scale = 0.1f;
    bool spinning = false;  // an arrow is held: between buttondown and buttonup

    SpinnerControl(Value* name, Value* caption, Value** keyparms, int count)
        : PartsControl(name, caption, keyparms, count) {
        const ControlNames& n = names();
        if (Value* v = control_param(n.type)) integer = v == n.integer;
        scale = integer ? 1.0f : 0.1f;
        if (Value* v = control_param(n.scale)) scale = std::fabs(v->to_float());
        if (Value* v = control_param(n.range)) set_range(v);
    }

    // [low, high, value] as an array of three numbers or a point with x, y, z;
    // [low, high] keeps the value. Converted in full before anything changes.
    void set_range(Value* v) {
        const ControlNames& n = names();
        float parts[3] = {low, high, value};
        int given = 0;
        if (v->tag == &Array_class) {
            auto* a = static_cast<Array*>(v);
            if (a->size < 2) throw ConversionError(v, "Point3");
            given = std::min(3, a->size);
            for (int i = 0; i < given; ++i) parts[i] = a->data[i]->to_float();
        } else if (v->tag == &Point3Value_class) {  // range:[0, 1, 0.5], the usual way
            auto* p = static_cast<Point3Value*>(v);
            parts[0] = p->x;
            parts[1] = p->y;
            parts[2] = p->z;
            given = 3;
        } else if (v->tag == &Point2Value_class) {
            Point2 p = v->to_point2();
            parts[0] = p.x;
            parts[1] = p.y;
        } else {
            Value* axes[] = {n.x, n.y, n.z};
            try {
                for (int i = 0; i < 3; ++i) {
                    Value* args[] = {axes[i]};
                    parts[i] = v->get_property(args, 1)->to_float();
                }
            } catch (MAXScriptException&) {
                throw ConversionError(v, "Point3");
            }
        }
        low = std::min(parts[0], parts[1]);
        high = std::max(parts[0], parts[1]);
        value = clamped(parts[2]);
        show_value();
    }

    float clamped(float v) const {
        if (std::isnan(v)) v = low;
        if (integer) v = std::trunc(v);
        return std::clamp(v, low, high);
    }

    std::string value_text() const {
        char buf[64];
        if (integer) {
            std::snprintf(buf, sizeof buf, "%d", static_cast<int>(value));
            return buf;
        }
        // Three decimals at most, one at least: 50.0, 0.125.
        std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(value));
        std::string s = buf;
        while (s.size() > 1 && s.back() == '0' && s[s.size() - 2] != '.') s.pop_back();
        return s;
    }

    Value* value_value() const {
        if (integer) return Integer::intern(static_cast<int>(value));
        return Float::intern(value);
    }

    void show_value() { set_field_text(value_text()); }

    // A new value from the user: stored, shown, and raised when it differs.
    void user_value(float v) {
        v = clamped(v);
        bool differs = v != value;
        value = v;
        show_value();
        if (differs) raise(names().changed, [&] { return value_value(); });
    }

    void compute_layout(Rollout* ro, layout_data* pos) override {
        int field = 45;
        if (Value* v = control_param(names().fieldwidth)) field = std::max(0, v->to_int());
        pos->height = 16;
        pos->width = label_width() + field + kArrowWidth;
        align_by_default(ro, pos, names().right);
    }

    void init_control(HWND group) override { make_parts(group, ES_RIGHT, value_text(), kArrowWidth); }

    // entered's arguments: whether the arrows made the change, whether it was cancelled.
    void raise_entered(bool in_spin) {
        raise_with(names().entered, [in_spin](Value** args) {
            args[0] = bool_result(in_spin);
            args[1] = &false_value;
            return 2;
        });
    }

    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM lParam) override {
        HWND arrows = part(kArrowsPart);
        if (message == WM_VSCROLL && arrows && reinterpret_cast<HWND>(lParam) == arrows) {
            const int code = LOWORD(wParam);
            if ((code == SB_LINEUP || code == SB_LINEDOWN) && !spinning) {
                spinning = true;
                raise(names().buttondown);
            }
            if (code == SB_LINEUP) user_value(value + scale);
            else if (code == SB_LINEDOWN) user_value(value - scale);
            else if (code == SB_ENDSCROLL && spinning) {
                spinning = false;
                raise(names().buttonup);
                raise_entered(true);
            }
            return TRUE;
        }
        if (is_notification(message, wParam, kEnteredNotification)) {
            take_typed();
            raise_entered(false);
            return TRUE;
        }
        // Typing is taken when the field is left; text that is no number is put back.
        if (is_notification(message, wParam, EN_KILLFOCUS)) {
            take_typed();
            return TRUE;
        }
        return FALSE;
    }

    void take_typed() {
        std::string typed = field_text();
        char* end = nullptr;
        float v = std::strtof(typed.c_str(), &end);
        if (end == typed.c_str() || !std::isfinite(v)) show_value();
        else user_value(v);
    }

    Value* get_property(Value** arg_list, int count) override {
        const ControlNames& n = names();
        Value* prop = count > 0 ? arg_list[0] : nullptr;
        if (prop == n.value) return value_value();
        if (prop == n.range) {
            auto* a = new Array(0);
            a->append(Float::intern(low));
            a->append(Float::intern(high));
            a->append(Float::intern(value));
            return a;
        }
        return PartsControl::get_property(arg_list, count);
    }

    Value* set_property(Value** arg_list, int count) override {
        const ControlNames& n = names();
        Value* prop = count > 1 ? arg_list[1] : nullptr;
        if (prop == n.value && arg_list[0]) {
            value = clamped(arg_list[0]->to_float());
            show_value();
            return arg_list[0];
        }
        if (prop == n.range && arg_list[0]) {
            set_range(arg_list[0]);
            return arg_list[0];
        }
        return PartsControl::set_property(arg_list, count);
    }

    static constexpr int kArrowWidth = 12;
};

}  // namespace

void install_edittext_control() { install_rollout_control(Name::intern("edittext"), make_control<EdittextControl>); }

void install_spinner_control() { install_rollout_control(Name::intern("spinner"), make_control<SpinnerControl>); }

}  // namespace host_controls
