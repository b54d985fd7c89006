// rollout.h - rollouts, their controls, layout and event handlers.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "host/core/value.h"

class Rollout;

// Placement of a control inside its rollout page, in page pixels.
struct layout_data {
    int left = 0, top = 0, width = 0, height = 0;
    int columns = 1;
};

extern HOSTSDK_API ValueMetaClass RolloutControl_class;
extern HOSTSDK_API ValueMetaClass Rollout_class;

class HOSTSDK_API RolloutControl : public Value {
public:
    Value* name;              // the control's variable name
    Value* caption;           // caption value as declared (evaluated at window creation)
    Value** keyparms;         // keyword parameters as (name, value) pairs
    int keyparm_count;        // number of Values in keyparms (2 per keyword)
    Rollout* parent_rollout = nullptr;
    WORD control_ID = 0;
    BOOL enabled = TRUE;
    Value* tooltip = nullptr;  // tooltip: text shown when the pointer rests on the control

    RolloutControl(Value* name, Value* caption, Value** keyparms, int keyparm_count);
    ~RolloutControl() override;

    // Creates the control's window inside the rollout page; advances current_y.
    virtual void add_control(Rollout* ro, HWND parent, HINSTANCE hInstance, int& current_y);
    virtual LPCMSTR get_control_class() = 0;
    virtual DWORD get_control_style() { return WS_TABSTOP; }
    virtual DWORD get_control_ex_style() { return 0; }
    virtual void init_control(HWND control) {}
    virtual void compute_layout(Rollout* ro, layout_data* pos) {}
    // Default placement: full rollout width less margins, at current_y.
    virtual void setup_layout(Rollout* ro, layout_data* pos, int& current_y);
    // Applies width:, height:, pos:, align:, offset: and advances current_y.
    virtual void process_layout_params(Rollout* ro, layout_data* pos, int& current_y);
    // Lists count height: in item lines; their compute_layout turns it into pixels.
    virtual bool height_counts_lines() { return false; }
    // Messages sent to the rollout page; true when handled.
    virtual BOOL handle_message(Rollout* ro, UINT message, WPARAM wParam, LPARAM lParam) { return FALSE; }
    // Called after `enabled` changed.
    virtual void set_enable();
    // The rollout's handler for (this control, event), or null.
    virtual Value* get_event_handler(Value* event);
    // Runs the rollout's handler for (this control, event); reports handler errors.
    virtual void run_event_handler(Rollout* ro, Value* event, Value** arg_list, int count);
    // The same, answering the handler's result (undefined without a handler).
    virtual Value* call_event_handler(Rollout* ro, Value* event, Value** arg_list, int count);

    // Common properties: caption/text, enabled, pos, width, height, visible.
    Value* get_property(Value** arg_list, int count) override;
    Value* set_property(Value** arg_list, int count) override;
    // The common properties every control answers, and hwnd.
    Value* get_props_vf(Value** arg_list, int count) override;

    BOOL is_kind_of(ValueMetaClass* c) override;
    void sprin1(CharStream* s) override;
    void gc_trace() override;

    // Value of a keyword parameter, or null.
    Value* control_param(Value* keyword);
    // The control's window inside the open page, or null.
    HWND control_window();

    // Gives window the tooltip text (empty: none) in the page's tooltip window.
    void show_tooltip(HWND window, const std::string& text);
    std::string tooltip_text(HWND window);
    // across:N puts this control and the next N-1 on one row of equal columns.
    int across_count();

    // The host's record of the last placement computed (kept when the rollout is closed);
    // not part of the SDK's shape, so no plug-in reads it.
    layout_data placement;
};

// A maker builds a control from its declaration.
typedef RolloutControl* (*RolloutControlMaker)(Value* name, Value* caption, Value** keyparms, int keyparm_count);

HOSTSDK_API void install_rollout_control(Value* keyword, RolloutControlMaker maker);
HOSTSDK_API RolloutControlMaker find_rollout_control_maker(Value* keyword);
HOSTSDK_API int installed_rollout_control_count();
// A fresh control identifier, unique within the process.
HOSTSDK_API int next_id();

// One event handler: on <control> <event> do <function>.
struct RolloutHandler {
    Value* control_name;
    Value* event;
    Value* function;
};

class HOSTSDK_API Rollout : public Value {
public:
    Value* name;
    Value* title;
    std::vector<RolloutControl*> controls;
    std::vector<RolloutHandler> handlers;
    int width = 200;
    int height = 0;           // client height of the dialog; 0 fits the controls
    HWND page = nullptr;      // the page window while open
    HFONT font = nullptr;     // the rollout font, sent to every control

    Rollout(Value* name, Value* title);
    ~Rollout() override;

    // Declares a control: runs the maker installed for keyword. Keyword parameters
    // are (name, value) pairs. Raises RuntimeError for an unknown keyword.
    RolloutControl* add_control(Value* keyword, Value* control_name, Value* caption,
                                Value** keyparms = nullptr, int keyparm_count = 0);
    void add_handler(Value* control_name, Value* event, Value* function);
    // The handler for (control_name, event), or null.
    Value* get_event_handler(Value* control_name, Value* event);
    RolloutControl* find_control(Value* control_name);

    // Runs the handler for (control_name, event); errors go to the listener.
    // Answers the handler's result, or undefined when there is none.
    Value* run_handler(Value* control_name, Value* event, Value** arg_list = nullptr, int count = 0);

    // Opens the page as a dialog-style top-level window of width x height client
    // pixels, creates every control in it, then runs the rollout's #open handler.
    bool open(int x = 40, int y = 40);
    // Runs the rollout's #close handler, then destroys the page (and with it every
    // control window). Closing the window itself does the same.
    void close();

    void sprin1(CharStream* s) override;
    void gc_trace() override;

    bool closing = false;     // the #close handler has run for this opening

    // How createDialog asked for the window (kept between openings).
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_BORDER;
    DWORD ex_style = WS_EX_DLGMODALFRAME;
    bool has_bgcolor = false, has_fgcolor = false;
    COLORREF bgcolor = 0, fgcolor = 0;
    bool escape_enable = true;        // Esc closes the dialog
    bool lock_width = false, lock_height = false;
    // Opens the page as a child of host_window (a floater or a subRollout) at (x, y).
    bool open_in(HWND host_window, int x, int y);
    HWND host_window = nullptr;       // the window the page sits in, or null for a dialog
    HBRUSH bg_brush = nullptr;        // the page's own background while open
    HWND tooltips = nullptr;          // the page's tooltip window while open
    bool events_live = false;         // moved/resized are raised once the page is built

    // Creates every control in window (the new page) and runs the #open handler.
    bool build_page(HWND window);
    // The row of controls being placed (across:).
    struct AcrossRow {
        int columns = 1, index = 0, top = 0, bottom = 0;
    } row;
    // Left edge and width of the column the next control is placed in.
    void column_span(int& left, int& width);
    // The page's background colour and its text colour.
    COLORREF background_color();
};

// Open rollouts are roots of the collector.
HOSTSDK_API const std::vector<Rollout*>& open_rollouts();

// Pumps window messages until no rollout is open (or the thread is asked to quit).
HOSTSDK_API void run_dialog_loop();
// Pumps window messages until ro is closed (a modal dialog).
HOSTSDK_API void run_modal_loop(Rollout* ro);
// One window message through the host's loop: Esc closes a dialog that allows it.
HOSTSDK_API void dispatch_dialog_message(MSG& msg);
// What the open rollout's page shows, saved as a PNG; false when it is not open.
HOSTSDK_API bool save_rollout_picture(Rollout* ro, const MCHAR* png_path);
