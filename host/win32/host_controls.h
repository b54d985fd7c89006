// host_controls.h - what the host's own rollout controls share (inside hostsdk only).
#pragma once
#include <string>
#include <vector>
#include "host/win32/rollout.h"

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
    Value* items = Name::intern("items");
    Value* selection = Name::intern("selection");
    Value* selected = Name::intern("selected");
    Value* doubleClicked = Name::intern("doubleClicked");
    Value* selectionEnd = Name::intern("selectionEnd");
    Value* rightClick = Name::intern("rightClick");
    Value* entered = Name::intern("entered");
    Value* color = Name::intern("color");
    Value* labels = Name::intern("labels");
    Value* default_ = Name::intern("default");
    Value* columns = Name::intern("columns");
    Value* ticks = Name::intern("ticks");
    Value* orient = Name::intern("orient");
    Value* vertical = Name::intern("vertical");
    Value* buttondown = Name::intern("buttondown");
    Value* buttonup = Name::intern("buttonup");
    Value* clicked = Name::intern("clicked");
    Value* interval = Name::intern("interval");
    Value* active = Name::intern("active");
    Value* tick = Name::intern("tick");
    Value* height = Name::intern("height");
    Value* width = Name::intern("width");
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
    // Runs the handler with the arguments fill puts into args (at most 4); it
    // answers how many. The arguments live in the frame like raise's.
    template <class Fill>
    void raise_with(Value* event, Fill fill);

    // Width of text in the rollout's font, in pixels.
    int text_width(const std::string& text);
    // Default alignment when the declaration gives no align:.
    void align_by_default(Rollout* ro, layout_data* pos, Value* alignment);
    // The caption as plain text.
    std::string caption_text();
    // WM_COMMAND from this control's window with the given notification.
    bool is_notification(UINT message, WPARAM wParam, WORD code);

    void set_enable() override;
    // A right click on the control (WM_CONTEXTMENU from its window or one inside it)
    // raises rightClick; true when the message was that.
    bool right_clicked(UINT message, WPARAM wParam);
    // True when child is the control's window or inside it.
    bool owns_window(HWND child);
};

// Sent as WM_COMMAND's notification code by an edit field when Enter is pressed in it.
constexpr WORD kEnteredNotification = 0x0F01;
// Makes a single-line edit field tell its parent about Enter (kEnteredNotification).
void notify_enter(HWND edit);

void raise_in_frame(RolloutControl* ctl, Value* event, Value* (*make)(void*), void* context);
void raise_many_in_frame(RolloutControl* ctl, Value* event, int (*fill)(void*, Value**), void* context);

template <class Fill>
void HostControl::raise_with(Value* event, Fill fill) {
    raise_many_in_frame(this, event, [](void* c, Value** args) -> int { return (*static_cast<Fill*>(c))(args); },
                        &fill);
}

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

// Items of a list control from items: (an array of strings); raises before anything changes.
std::vector<std::string> string_items(Value* v, const char* what);
Value* items_array(const std::vector<std::string>& items);
// The caption drawn above a control (dropdownlist, listbox, slider...): its height, 0 when none.
constexpr int kTopCaptionHeight = 15;

// A control whose caption sits above its body (lists, sliders, radio buttons), both
// inside one window of its own that passes the body's notifications on to the page.
class CaptionedControl : public HostControl {
public:
    using HostControl::HostControl;
    LPCMSTR get_control_class() override;
    DWORD get_control_style() override { return WS_CLIPCHILDREN; }
    DWORD get_control_ex_style() override { return WS_EX_CONTROLPARENT; }

    int caption_height() { return caption_text().empty() ? 0 : kTopCaptionHeight; }
    // Makes the caption and the body (identifier control_ID). A body_height above 0 keeps
    // the body at that height (a drop-down list's height includes its list).
    HWND make_body(HWND container, LPCSTR cls, DWORD style, DWORD ex_style, int body_height = 0);
    void make_caption(HWND container);
    HWND body();
    Value* set_property(Value** arg_list, int count) override;
};

// A control the host paints itself (colour swatch, progress bar, image, link): its
// window asks paint() for WM_PAINT and WM_PRINTCLIENT, and hands mouse messages to mouse().
class DrawnControl : public HostControl {
public:
    using HostControl::HostControl;
    LPCMSTR get_control_class() override;
    DWORD get_control_style() override { return 0; }
    void init_control(HWND window) override;
    // Draws the whole client rectangle; every GDI object made here is deleted here.
    virtual void paint(HDC dc, RECT client) = 0;
    virtual void mouse(UINT message, WPARAM wParam, LPARAM lParam) {}
    void redraw();
};

// What install_rollout_control takes, for a control class T of the host.
template <class T>
RolloutControl* make_control(Value* name, Value* caption, Value** keyparms, int count) {
    return new (GC_IN_HEAP) T(name, caption, keyparms, count);
}

// The box of a rollout's group clause, added where the clause starts and ends.
RolloutControl* add_group_start(Rollout* ro, Value* caption);
RolloutControl* add_group_end(Rollout* ro, RolloutControl* start);

void install_button_controls();
void install_edittext_control();
void install_spinner_control();
void install_list_controls();
void install_choice_controls();
void install_color_controls();
void install_progress_controls();
void install_group_controls();
void install_image_controls();

}  // namespace host_controls
