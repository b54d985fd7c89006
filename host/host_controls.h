// host_controls.h - what the host's own rollout controls share (inside hostsdk only).
#pragma once
#include <string>
#include "host/rollout.h"

namespace host_controls {

// Names the controls compare with; interned once.
struct ControlNames {
    Value* pressed = Name::intern("pressed");
    Value* changed = Name::intern("changed");
    Value* caption = Name::intern("caption");
    Value* text = Name::intern("text");
    Value* enabled = Name::intern("enabled");
    Value* checked = Name::intern("checked");
    Value* state = Name::intern("state");
    Value* value = Name::intern("value");
    Value* range = Name::intern("range");
    Value* type = Name::intern("type");
    Value* integer = Name::intern("integer");
    Value* scale = Name::intern("scale");
    Value* fieldwidth = Name::intern("fieldwidth");
    Value* align = Name::intern("align");
    Value* left = Name::intern("left");
    Value* center = Name::intern("center");
    Value* right = Name::intern("right");
    Value* x = Name::intern("x");
    Value* y = Name::intern("y");
    Value* z = Name::intern("z");
};
const ControlNames& names();

// Child identifiers inside a parts window; the part that takes input carries the
// control's own identifier, so its notifications name the control.
constexpr int kLabelPart = 1;
constexpr int kArrowsPart = 2;

// A control of the host: reads enabled: from its declaration, answers page
// messages for its own identifier and raises its events in a script frame.
class HostControl : public RolloutControl {
public:
    HostControl(Value* name, Value* caption, Value** keyparms, int keyparm_count);

    // Runs the handler for event with at most one argument, made by make_arg inside
    // the frame so a collection in the handler cannot take it.
    template <class MakeArg>
    void raise(Value* event, MakeArg make_arg);
    void raise(Value* event);

    // Width of text in the rollout's font, in pixels.
    int text_width(const std::string& text);
    // Default alignment when the declaration gives no align:.
    void align_by_default(Rollout* ro, layout_data* pos, Value* alignment);
    // The caption as plain text.
    std::string caption_text();
    // WM_COMMAND from this control's window with the given notification.
    bool is_notification(UINT message, WPARAM wParam, WORD code);

    void set_enable() override;
};

void raise_in_frame(RolloutControl* ctl, Value* event, Value* (*make)(void*), void* context);

template <class MakeArg>
void HostControl::raise(Value* event, MakeArg make_arg) {
    raise_in_frame(this, event, [](void* c) -> Value* { return (*static_cast<MakeArg*>(c))(); }, &make_arg);
}

// A control made of parts (caption, field, arrows) inside one window of its own,
// which passes their notifications on to the page.
class PartsControl : public HostControl {
public:
    using HostControl::HostControl;
    LPCMSTR get_control_class() override;
    DWORD get_control_style() override { return WS_CLIPCHILDREN; }
    DWORD get_control_ex_style() override { return WS_EX_CONTROLPARENT; }

    // Makes the caption and the field (and arrows when arrow_width > 0).
    void make_parts(HWND group, DWORD field_style, const std::string& field_text, int arrow_width);
    HWND part(int id);
    HWND field() { return part(control_ID); }
    int label_width();
    // Sets the field's text without raising changed.
    void set_field_text(const std::string& text);
    std::string field_text();
    Value* set_property(Value** arg_list, int count) override;

    bool setting_field = false;  // the field is being set from the script side
};

void install_button_controls();
void install_edittext_control();
void install_spinner_control();

}  // namespace host_controls
