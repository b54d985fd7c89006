// rollout.cpp - rollouts and their controls: declaration, layout, page window, events.
#include "host/win32/rollout.h"
#include "host/win32/win32_start.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>

#include "host/core/core.h"
#include "host/core/errors.h"
#include "host/core/listener.h"
#include "host/win32/screenshot.h"

ValueMetaClass RolloutControl_class("RolloutControl");
ValueMetaClass Rollout_class("RolloutClass");

namespace {

constexpr int kSideMargin = 13;      // page edge to control, left and right
constexpr int kControlGap = 5;       // between one control and the next
constexpr int kDefaultHeight = 16;   // a control that names no height
constexpr int kFirstControlY = 4;    // page top to the first control
constexpr int kBottomMargin = 4;     // last control to page bottom
constexpr char kPageClass[] = "VantrelRolloutPage";

// Names the common properties and layout keywords are compared with; interned once.
struct CommonNames {
    Value* caption = Name::intern("caption");
    Value* text = Name::intern("text");
    Value* enabled = Name::intern("enabled");
    Value* pos = Name::intern("pos");
    Value* width = Name::intern("width");
    Value* height = Name::intern("height");
    Value* visible = Name::intern("visible");
    Value* align = Name::intern("align");
    Value* offset = Name::intern("offset");
    Value* left = Name::intern("left");
    Value* center = Name::intern("center");
    Value* right = Name::intern("right");
    Value* open = Name::intern("open");
    Value* close = Name::intern("close");
    Value* across = Name::intern("across");
    Value* tooltip = Name::intern("tooltip");
    Value* moved = Name::intern("moved");
    Value* resized = Name::intern("resized");
    Value* okToClose = Name::intern("okToClose");
};

const CommonNames& names() {
    static const CommonNames n;
    return n;
}

// Bare text of a name or string; print form of anything else.
std::string text_of(Value* v) {
    if (!v) return "";
    if (v->tag == &Name_class || v->tag == &String_class) return v->to_string();
    StringStream s;
    v->sprint(&s);
    return s.text;
}

std::map<Value*, RolloutControlMaker>& makers() {
    static auto* table = new std::map<Value*, RolloutControlMaker>;
    return *table;
}

std::vector<Rollout*>& open_list() {
    static auto* list = new std::vector<Rollout*>;
    return *list;
}

// Open rollouts are roots: their pages may call back into script at any time.
void mark_open_rollouts() {
    for (Rollout* ro : open_list()) heap_detail::trace(ro);
}

void forget_open(Rollout* ro) {
    auto& list = open_list();
    list.erase(std::remove(list.begin(), list.end(), ro), list.end());
}

void report(const std::string& where, const std::string& what) {
    the_listener()->printf("-- Error occurred in %s\n%s\n", where.c_str(), what.c_str());
}

LRESULT CALLBACK page_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* ro = reinterpret_cast<Rollout*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!ro) return DefWindowProcA(hwnd, message, wParam, lParam);

    // Controls see the page's messages first; the first to handle one keeps it.
    // Indexed loop: a handler may declare more controls.
    for (size_t i = 0; i < ro->controls.size(); ++i) {
        RolloutControl* ctl = ro->controls[i];
        try {
            if (ctl && ctl->handle_message(ro, message, wParam, lParam)) return 0;
        } catch (MAXScriptException& e) {
            report(text_of(ctl->name) + ".handle_message()", e.message());
        } catch (...) {
            report(text_of(ctl->name) + ".handle_message()", "-- Unknown exception");
        }
    }

    switch (message) {
        case WM_CLOSE: {
            // okToClose answering false keeps the dialog open.
            Value* answer = ro->run_handler(ro->name, names().okToClose);
            if (answer == &false_value) return 0;
            ro->close();
            return 0;
        }
        case WM_ERASEBKGND: {
            if (!ro->bg_brush) break;
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, ro->bg_brush);
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // Labels and check boxes sit on the page's own colour, not the system's.
            auto dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, ro->background_color());
            SetTextColor(dc, ro->has_fgcolor ? ro->fgcolor : GetSysColor(COLOR_BTNTEXT));
            if (ro->bg_brush) return reinterpret_cast<LRESULT>(ro->bg_brush);
            return static_cast<LRESULT>(GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND));
        }
        case WM_SIZE:
            if (ro->events_live && wParam != SIZE_MINIMIZED) {
                Value* size = new Point2Value(LOWORD(lParam), HIWORD(lParam));
                ro->run_handler(ro->name, names().resized, &size, 1);
            }
            return 0;
        case WM_MOVE:
            if (ro->events_live && !ro->host_window) {
                RECT r;
                GetWindowRect(hwnd, &r);
                Value* at = new Point2Value(static_cast<float>(r.left), static_cast<float>(r.top));
                ro->run_handler(ro->name, names().moved, &at, 1);
            }
            return 0;
        case WM_GETMINMAXINFO: {
            // lockWidth:/lockHeight: keep a resizable dialog at its built size that way.
            RECT r;
            if (!ro->events_live || !GetWindowRect(hwnd, &r)) break;
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            if (ro->lock_width) info->ptMinTrackSize.x = info->ptMaxTrackSize.x = r.right - r.left;
            if (ro->lock_height) info->ptMinTrackSize.y = info->ptMaxTrackSize.y = r.bottom - r.top;
            return 0;
        }
        case WM_DESTROY:
            // Destroyed without close(): the handler still runs, while the controls exist.
            if (!ro->closing) {
                ro->closing = true;
                ro->run_handler(ro->name, names().close);
            }
            // A page inside a floater does not own its tooltip window (its dialog does).
            if (ro->tooltips) DestroyWindow(ro->tooltips);
            ro->tooltips = nullptr;
            // Children are destroyed after this; from here on the rollout reads as closed.
            ro->page = nullptr;
            ro->events_live = false;
            forget_open(ro);
            break;
        case WM_NCDESTROY:
            // Every control window is gone now, so the font and brush are no longer in use.
            if (ro->font) DeleteObject(ro->font);
            ro->font = nullptr;
            if (ro->bg_brush) DeleteObject(ro->bg_brush);
            ro->bg_brush = nullptr;
            ro->tooltips = nullptr;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool register_page_class() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = page_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(GetColorManager()->GetColor(kBackground));
    wc.lpszClassName = kPageClass;
    registered = RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

HFONT make_rollout_font() {
    HDC screen = GetDC(nullptr);
    int pixels = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    HFONT font = CreateFontA(pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
    if (font) return font;
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    return CreateFontIndirectA(&lf);
}

}  // namespace

void root_open_rollouts() { gc_add_root_marker(mark_open_rollouts); }

// ---- RolloutControl ----

RolloutControl::RolloutControl(Value* name, Value* caption, Value** keyparms, int keyparm_count)
    : name(name), caption(caption), keyparms(nullptr), keyparm_count(0) {
    tag = &RolloutControl_class;
    // The caller's array is usually a frame local; keep our own copy.
    if (keyparms && keyparm_count > 0) {
        this->keyparms = new Value*[keyparm_count];
        std::copy(keyparms, keyparms + keyparm_count, this->keyparms);
        this->keyparm_count = keyparm_count;
    }
}

RolloutControl::~RolloutControl() {
    delete[] keyparms;
}

void RolloutControl::add_control(Rollout* ro, HWND parent, HINSTANCE hInstance, int& current_y) {
    parent_rollout = ro;
    control_ID = next_id();

    layout_data pos;
    setup_layout(ro, &pos, current_y);
    compute_layout(ro, &pos);
    process_layout_params(ro, &pos, current_y);

    HWND window = CreateWindowExA(get_control_ex_style(), get_control_class(), text_of(caption).c_str(),
                                  WS_CHILD | WS_VISIBLE | get_control_style(), pos.left, pos.top,
                                  pos.width, pos.height, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_ID)), hInstance,
                                  nullptr);
    if (!window) return;
    if (ro->font) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(ro->font), FALSE);
    if (!enabled) EnableWindow(window, FALSE);
    init_control(window);
}

void RolloutControl::show_tooltip(HWND window, const std::string& text) {
    Rollout* ro = parent_rollout;
    if (!ro || !ro->page || !window) return;
    if (!ro->tooltips) {
        // Owned by the page, so it goes when the page goes.
        ro->tooltips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, ro->page,
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!ro->tooltips) return;
    }
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = ro->page;
    info.uId = reinterpret_cast<UINT_PTR>(window);
    std::string copy = text;
    info.lpszText = copy.data();
    // A second tooltip for the same window replaces the first.
    SendMessageA(ro->tooltips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    if (!copy.empty()) SendMessageA(ro->tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

std::string RolloutControl::tooltip_text(HWND window) {
    Rollout* ro = parent_rollout;
    if (!ro || !ro->tooltips || !window) return "";
    char buf[1024] = {};
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = ro->page;
    info.uId = reinterpret_cast<UINT_PTR>(window);
    info.lpszText = buf;
    SendMessageA(ro->tooltips, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&info));
    return buf;
}

int RolloutControl::across_count() {
    Value* v = control_param(names().across);
    return v ? std::max(1, v->to_int()) : 1;
}

void RolloutControl::set_enable() {
    if (HWND window = control_window()) EnableWindow(window, enabled);
}

Value* RolloutControl::get_event_handler(Value* event) {
    return parent_rollout ? parent_rollout->get_event_handler(name, event) : nullptr;
}

void RolloutControl::run_event_handler(Rollout* ro, Value* event, Value** arg_list, int count) {
    call_event_handler(ro, event, arg_list, count);
}

Value* RolloutControl::call_event_handler(Rollout* ro, Value* event, Value** arg_list, int count) {
    if (!ro) ro = parent_rollout;
    if (!ro) return &undefined;
    return ro->run_handler(name, event, arg_list, count);
}

Value* RolloutControl::get_property(Value** arg_list, int count) {
    const CommonNames& n = names();
    Value* prop = count > 0 ? arg_list[0] : nullptr;
    if (prop == n.caption || prop == n.text) return new String(text_of(caption).c_str());
    if (prop == n.enabled) return bool_result(enabled);
    if (prop == n.pos) return new Point2Value(static_cast<float>(placement.left), static_cast<float>(placement.top));
    if (prop == n.width) return new Integer(placement.width);
    if (prop == n.height) return new Integer(placement.height);
    if (prop == n.visible) {
        HWND window = control_window();
        return bool_result(!window || IsWindowVisible(window));
    }
    if (prop == n.tooltip) {
        HWND window = control_window();
        if (window && parent_rollout->tooltips) return new String(tooltip_text(window).c_str());
        return new String(tooltip ? text_of(tooltip).c_str() : "");
    }
    throw UnknownPropertyError(this, prop);
}

Value* RolloutControl::get_props_vf(Value**, int) {
    auto* list = new Array(0);
    for (const char* name : {"caption", "text", "enabled", "pos", "width", "height", "visible", "hwnd"})
        list->append(Name::intern(name));
    return list;
}

Value* RolloutControl::set_property(Value** arg_list, int count) {
    const CommonNames& n = names();
    Value* val = count > 0 ? arg_list[0] : nullptr;
    Value* prop = count > 1 ? arg_list[1] : nullptr;
    if (!val) throw UnknownPropertyError(this, prop);
    HWND window = control_window();

    if (prop == n.caption || prop == n.text) {
        caption = new String(val->to_string());
        if (window) SetWindowTextA(window, val->to_string());
    } else if (prop == n.enabled) {
        enabled = val->to_bool();
        set_enable();
    } else if (prop == n.pos) {
        Point2 p = val->to_point2();
        placement.left = static_cast<int>(p.x);
        placement.top = static_cast<int>(p.y);
        if (window)
            SetWindowPos(window, nullptr, placement.left, placement.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (prop == n.width || prop == n.height) {
        int size = std::max(0, val->to_int());
        (prop == n.width ? placement.width : placement.height) = size;
        if (window)
            SetWindowPos(window, nullptr, 0, 0, placement.width, placement.height,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (prop == n.visible) {
        bool show = val->to_bool();
        if (window) ShowWindow(window, show ? SW_SHOWNA : SW_HIDE);
    } else if (prop == n.tooltip) {
        if (val->tag != &String_class) throw TypeError("tooltip", val, &String_class);
        tooltip = val;
        if (window) show_tooltip(window, text_of(val));
    } else {
        throw UnknownPropertyError(this, prop);
    }
    return val;
}

BOOL RolloutControl::is_kind_of(ValueMetaClass* c) {
    return c == &RolloutControl_class || Value::is_kind_of(c);
}

void RolloutControl::sprin1(CharStream* s) {
    s->printf("RolloutControl:%s", text_of(name).c_str());
}

void RolloutControl::gc_trace() {
    Value::gc_trace();
    heap_detail::trace(name);
    heap_detail::trace(caption);
    for (int i = 0; i < keyparm_count; ++i) heap_detail::trace(keyparms[i]);
    heap_detail::trace(parent_rollout);
    heap_detail::trace(tooltip);
}

void RolloutControl::setup_layout(Rollout* ro, layout_data* pos, int& current_y) {
    int left = kSideMargin, width = 174;
    if (ro) ro->column_span(left, width);
    pos->left = left;
    pos->top = current_y;
    pos->width = width;
    pos->height = kDefaultHeight;
    pos->columns = ro ? ro->row.columns : 1;
}

void RolloutControl::process_layout_params(Rollout* ro, layout_data* pos, int& current_y) {
    const CommonNames& n = names();
    int column_left = kSideMargin, column_width = 174;
    if (ro) ro->column_span(column_left, column_width);
    if (Value* v = control_param(n.width)) pos->width = std::max(0, v->to_int());
    if (Value* v = control_param(n.height); v && !height_counts_lines()) pos->height = std::max(0, v->to_int());
    if (Value* v = control_param(n.align)) {
        if (v == n.left) pos->left = column_left;
        else if (v == n.center) pos->left = column_left + (column_width - pos->width) / 2;
        else if (v == n.right) pos->left = column_left + column_width - pos->width;
    }
    // An explicit position wins over alignment; the offset moves either.
    if (Value* v = control_param(n.pos)) {
        Point2 p = v->to_point2();
        pos->left = static_cast<int>(p.x);
        pos->top = static_cast<int>(p.y);
    }
    if (Value* v = control_param(n.offset)) {
        Point2 p = v->to_point2();
        pos->left += static_cast<int>(p.x);
        pos->top += static_cast<int>(p.y);
    }
    current_y = pos->top + pos->height + kControlGap;
    placement = *pos;
}

Value* RolloutControl::control_param(Value* keyword) {
    for (int i = 0; i + 1 < keyparm_count; i += 2)
        if (keyparms[i] == keyword) return keyparms[i + 1];
    return nullptr;
}

HWND RolloutControl::control_window() {
    if (!parent_rollout || !parent_rollout->page) return nullptr;
    return GetDlgItem(parent_rollout->page, control_ID);
}

// ---- control keywords and identifiers ----

void install_rollout_control(Value* keyword, RolloutControlMaker maker) {
    if (keyword) makers()[keyword] = maker;
}

RolloutControlMaker find_rollout_control_maker(Value* keyword) {
    auto it = makers().find(keyword);
    return it == makers().end() ? nullptr : it->second;
}

int installed_rollout_control_count() {
    return static_cast<int>(makers().size());
}

int next_id() {
    static int id = 1000;
    return id++;
}

// ---- Rollout ----

Rollout::Rollout(Value* name, Value* title) : name(name), title(title) {
    tag = &Rollout_class;
}

Rollout::~Rollout() {
    if (page) {
        // No messages may reach this half-destroyed rollout or its controls.
        SetWindowLongPtrA(page, GWLP_USERDATA, 0);
        DestroyWindow(page);
        page = nullptr;
    }
    forget_open(this);
    if (font) DeleteObject(font);
    if (bg_brush) DeleteObject(bg_brush);
}

RolloutControl* Rollout::add_control(Value* keyword, Value* control_name, Value* caption,
                                     Value** keyparms, int keyparm_count) {
    RolloutControlMaker maker = find_rollout_control_maker(keyword);
    if (!maker) throw RuntimeError("No rollout control type: " + text_of(keyword));
    RolloutControl* ctl = maker(control_name, caption, keyparms, keyparm_count);
    if (!ctl) throw RuntimeError("Could not create control: " + text_of(control_name));
    ctl->parent_rollout = this;
    controls.push_back(ctl);
    return ctl;
}

void Rollout::add_handler(Value* control_name, Value* event, Value* function) {
    for (RolloutHandler& h : handlers) {
        if (h.control_name == control_name && h.event == event) {
            h.function = function;
            return;
        }
    }
    handlers.push_back({control_name, event, function});
}

Value* Rollout::get_event_handler(Value* control_name, Value* event) {
    for (RolloutHandler& h : handlers)
        if (h.control_name == control_name && h.event == event) return h.function;
    return nullptr;
}

Value* Rollout::run_handler(Value* control_name, Value* event, Value** arg_list, int count) {
    Value* function = get_event_handler(control_name, event);
    if (!function) return &undefined;
    // Called from window procedures: nothing may leave. Errors go to the listener.
    std::string where = text_of(control_name) + "." + text_of(event) + "()";
    try {
        Value* result = function->apply(arg_list, count);
        return result ? result : &undefined;
    } catch (MAXScriptException& e) {
        report(where, e.message());
    } catch (std::exception& e) {
        the_listener()->printf("-- Error occurred in %s: %s\n", where.c_str(), e.what());
    } catch (...) {
        the_listener()->printf("-- Error occurred in %s: unknown exception\n", where.c_str());
    }
    return &undefined;
}

RolloutControl* Rollout::find_control(Value* control_name) {
    for (RolloutControl* ctl : controls)
        if (ctl->name == control_name) return ctl;
    return nullptr;
}

bool Rollout::open(int x, int y) {
    if (page) return true;
    if (!register_page_class()) return false;
    RECT frame{0, 0, width, 100};
    AdjustWindowRectEx(&frame, WS_POPUP | style, FALSE, ex_style);
    HWND window = CreateWindowExA(ex_style, kPageClass, text_of(title).c_str(), WS_POPUP | style, x, y,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), this);
    if (!window) return false;
    host_window = nullptr;
    return build_page(window);
}

bool Rollout::open_in(HWND host, int x, int y) {
    if (page) return true;
    if (!register_page_class() || !host) return false;
    HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, text_of(title).c_str(),
                                  WS_CHILD | WS_CLIPSIBLINGS, x, y, width, 100, host, nullptr,
                                  GetModuleHandleA(nullptr), this);
    if (!window) return false;
    host_window = host;
    return build_page(window);
}

COLORREF Rollout::background_color() {
    return has_bgcolor ? bgcolor : GetColorManager()->GetColor(kBackground);
}

void Rollout::column_span(int& left, int& column_width) {
    const int inner = std::max(0, width - 2 * kSideMargin);
    const int columns = std::max(1, row.columns);
    const int each = inner / columns;
    left = kSideMargin + each * std::min(row.index, columns - 1);
    column_width = columns == 1 ? inner : each;
}

bool Rollout::build_page(HWND window) {
    // Trackbars and tooltips live in the common controls library.
    static const bool common_controls = [] {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)common_controls;
    page = window;
    closing = false;
    events_live = false;
    open_list().push_back(this);
    font = make_rollout_font();
    if (has_bgcolor) bg_brush = CreateSolidBrush(bgcolor);
    HINSTANCE instance = GetModuleHandleA(nullptr);

    int current_y = kFirstControlY;
    int bottom = current_y;
    row = AcrossRow{};
    for (size_t i = 0; i < controls.size() && page; ++i) {
        RolloutControl* ctl = controls[i];
        ctl->parent_rollout = this;
        if (row.columns == 1 && ctl->across_count() > 1) row = AcrossRow{ctl->across_count(), 0, current_y, current_y};
        try {
            ctl->add_control(this, page, instance, current_y);
            // Here rather than in add_control, so a plug-in's control gets its tooltip too.
            if (!ctl->tooltip) ctl->tooltip = ctl->control_param(names().tooltip);
            if (ctl->tooltip && page) ctl->show_tooltip(ctl->control_window(), text_of(ctl->tooltip));
        } catch (MAXScriptException& e) {
            report(text_of(ctl->name) + " creation", e.message());
        } catch (...) {
            report(text_of(ctl->name) + " creation", "-- Unknown exception");
        }
        bottom = std::max({bottom, current_y, ctl->placement.top + ctl->placement.height + kControlGap});
        if (row.columns > 1) {
            // The row ends below its tallest control.
            row.bottom = std::max(row.bottom, current_y);
            if (++row.index < row.columns) current_y = row.top;
            else {
                current_y = row.bottom;
                row = AcrossRow{};
            }
        }
    }
    row = AcrossRow{};
    if (!page) return false;  // a control closed the page while it was being built

    const int client_height = height > 0 ? height : bottom + kBottomMargin;
    if (host_window) {
        SetWindowPos(page, nullptr, 0, 0, width, client_height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(page, SW_SHOWNA);
    } else {
        RECT fitted{0, 0, width, client_height};
        AdjustWindowRectEx(&fitted, WS_POPUP | style, FALSE, ex_style);
        SetWindowPos(page, nullptr, 0, 0, fitted.right - fitted.left, fitted.bottom - fitted.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(page, SW_SHOWNORMAL);
    }
    UpdateWindow(page);
    events_live = true;
    // The handler sees every control; it may even close the rollout again.
    run_handler(name, names().open);
    return true;
}

void Rollout::close() {
    if (!page || closing) return;
    closing = true;
    run_handler(name, names().close);
    if (page) DestroyWindow(page);
    if (page) {
        // Destruction failed (another thread's window): forget it all the same.
        page = nullptr;
        forget_open(this);
    }
    if (font) DeleteObject(font);
    font = nullptr;
    if (bg_brush) DeleteObject(bg_brush);
    bg_brush = nullptr;
}

void Rollout::sprin1(CharStream* s) {
    s->printf("Rollout:%s", text_of(name).c_str());
}

void Rollout::gc_trace() {
    Value::gc_trace();
    heap_detail::trace(name);
    heap_detail::trace(title);
    for (RolloutControl* ctl : controls) heap_detail::trace(ctl);
    for (RolloutHandler& h : handlers) {
        heap_detail::trace(h.control_name);
        heap_detail::trace(h.event);
        heap_detail::trace(h.function);
    }
}

const std::vector<Rollout*>& open_rollouts() {
    return open_list();
}

void dispatch_dialog_message(MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        for (Rollout* ro : open_list()) {
            if (ro->host_window || !ro->escape_enable) continue;
            if (msg.hwnd == ro->page || IsChild(ro->page, msg.hwnd)) {
                PostMessageA(ro->page, WM_CLOSE, 0, 0);
                return;
            }
        }
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

namespace {
// Pumps messages while keep_going() holds; a quit request is left for the outer loop.
template <class Condition>
void pump_while(Condition keep_going) {
    MSG msg;
    while (keep_going()) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        dispatch_dialog_message(msg);
    }
}
}  // namespace

void run_dialog_loop() {
    pump_while([] { return !open_list().empty(); });
}

void run_modal_loop(Rollout* ro) {
    // Other dialogs wait while the modal one is up.
    std::vector<HWND> disabled;
    for (Rollout* other : open_list())
        if (other != ro && !other->host_window && other->page && IsWindowEnabled(other->page)) {
            EnableWindow(other->page, FALSE);
            disabled.push_back(other->page);
        }
    pump_while([ro] { return ro->page != nullptr; });
    for (HWND w : disabled)
        if (IsWindow(w)) EnableWindow(w, TRUE);
}

bool save_rollout_picture(Rollout* ro, const char* png_path) {
    if (!ro || !ro->page || !png_path) return false;
    // Everything painted now, so the copy shows the controls as they are.
    RedrawWindow(ro->page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return saveWindowPng(ro->page, png_path);
}
