// rollout.cpp - rollouts and their controls: declaration, layout, page window, events.
#include "host/rollout.h"

#include <algorithm>
#include <map>
#include <string>

#include "host/core.h"
#include "host/errors.h"
#include "host/listener.h"
#include "host/screenshot.h"

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
    v->print(&s);
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
    for (Rollout* ro : open_list()) gc_mark(ro);
}
[[maybe_unused]] const bool open_rollouts_are_roots = (gc_add_root_marker(mark_open_rollouts), true);

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
        case WM_CLOSE:
            ro->close();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // Labels and check boxes sit on the page's own colour, not the system's.
            auto dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, GetColorManager()->GetColor(kBackground));
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            return static_cast<LRESULT>(GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND));
        }
        case WM_DESTROY:
            // Destroyed without close(): the handler still runs, while the controls exist.
            if (!ro->closing) {
                ro->closing = true;
                ro->run_handler(ro->name, names().close);
            }
            // Children are destroyed after this; from here on the rollout reads as closed.
            ro->page = nullptr;
            forget_open(ro);
            break;
        case WM_NCDESTROY:
            // Every control window is gone now, so the font is no longer in use.
            if (ro->font) DeleteObject(ro->font);
            ro->font = nullptr;
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

void RolloutControl::set_enable() {
    if (HWND window = control_window()) EnableWindow(window, enabled);
}

Value* RolloutControl::run_event_handler(Rollout* ro, Value* event, Value** arg_list, int count) {
    if (!ro) ro = parent_rollout;
    if (!ro) return &undefined;
    return ro->run_handler(name, event, arg_list, count);
}

Value* RolloutControl::get_property(Value** arg_list, int count) {
    const CommonNames& n = names();
    Value* prop = count > 0 ? arg_list[0] : nullptr;
    if (prop == n.caption || prop == n.text) return new String(text_of(caption).c_str());
    if (prop == n.enabled) return bool_result(enabled);
    if (prop == n.pos) return new Point2Value(static_cast<float>(layout.left), static_cast<float>(layout.top));
    if (prop == n.width) return new Integer(layout.width);
    if (prop == n.height) return new Integer(layout.height);
    if (prop == n.visible) {
        HWND window = control_window();
        return bool_result(!window || IsWindowVisible(window));
    }
    throw UnknownPropertyError(this, prop);
}

Value* RolloutControl::get_props_vf(Value**, int) {
    auto* list = new Array;
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
        layout.left = static_cast<int>(p.x);
        layout.top = static_cast<int>(p.y);
        if (window)
            SetWindowPos(window, nullptr, layout.left, layout.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (prop == n.width || prop == n.height) {
        int size = std::max(0, val->to_int());
        (prop == n.width ? layout.width : layout.height) = size;
        if (window)
            SetWindowPos(window, nullptr, 0, 0, layout.width, layout.height,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (prop == n.visible) {
        bool show = val->to_bool();
        if (window) ShowWindow(window, show ? SW_SHOWNA : SW_HIDE);
    } else {
        throw UnknownPropertyError(this, prop);
    }
    return val;
}

bool RolloutControl::is_kind_of(ValueMetaClass* c) {
    return c == &RolloutControl_class || Value::is_kind_of(c);
}

void RolloutControl::sprin1(CharStream* s) {
    s->printf("RolloutControl:%s", text_of(name).c_str());
}

void RolloutControl::gc_trace() {
    Value::gc_trace();
    gc_mark(name);
    gc_mark(caption);
    for (int i = 0; i < keyparm_count; ++i) gc_mark(keyparms[i]);
    gc_mark(parent_rollout);
}

void RolloutControl::setup_layout(Rollout* ro, layout_data* pos, int& current_y) {
    int page_width = ro ? ro->width : 200;
    pos->left = kSideMargin;
    pos->top = current_y;
    pos->width = std::max(0, page_width - 2 * kSideMargin);
    pos->height = kDefaultHeight;
    pos->columns = 1;
}

void RolloutControl::process_layout_params(Rollout* ro, layout_data* pos, int& current_y) {
    const CommonNames& n = names();
    int page_width = ro ? ro->width : 200;
    if (Value* v = control_param(n.width)) pos->width = std::max(0, v->to_int());
    if (Value* v = control_param(n.height)) pos->height = std::max(0, v->to_int());
    if (Value* v = control_param(n.align)) {
        if (v == n.left) pos->left = kSideMargin;
        else if (v == n.center) pos->left = (page_width - pos->width) / 2;
        else if (v == n.right) pos->left = page_width - kSideMargin - pos->width;
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
    layout = *pos;
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

Value* Rollout::find_handler(Value* control_name, Value* event) {
    for (RolloutHandler& h : handlers)
        if (h.control_name == control_name && h.event == event) return h.function;
    return nullptr;
}

Value* Rollout::run_handler(Value* control_name, Value* event, Value** arg_list, int count) {
    Value* function = find_handler(control_name, event);
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

    // A dialog's frame: a caption with a close box, no resizing.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD ex_style = WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, width, 100};
    AdjustWindowRectEx(&frame, style, FALSE, ex_style);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND window = CreateWindowExA(ex_style, kPageClass, text_of(title).c_str(), style, x, y,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, instance, this);
    if (!window) return false;
    page = window;
    closing = false;
    open_list().push_back(this);
    font = make_rollout_font();

    int current_y = kFirstControlY;
    int bottom = current_y;
    for (size_t i = 0; i < controls.size() && page; ++i) {
        RolloutControl* ctl = controls[i];
        ctl->parent_rollout = this;
        try {
            ctl->add_control(this, page, instance, current_y);
        } catch (MAXScriptException& e) {
            report(text_of(ctl->name) + " creation", e.message());
        } catch (...) {
            report(text_of(ctl->name) + " creation", "-- Unknown exception");
        }
        bottom = std::max({bottom, current_y, ctl->layout.top + ctl->layout.height + kControlGap});
    }
    if (!page) return false;  // a control closed the page while it was being built

    RECT fitted{0, 0, width, height > 0 ? height : bottom + kBottomMargin};
    AdjustWindowRectEx(&fitted, style, FALSE, ex_style);
    SetWindowPos(page, nullptr, 0, 0, fitted.right - fitted.left, fitted.bottom - fitted.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(page, SW_SHOWNORMAL);
    UpdateWindow(page);
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
}

void Rollout::sprin1(CharStream* s) {
    s->printf("Rollout:%s", text_of(name).c_str());
}

void Rollout::gc_trace() {
    Value::gc_trace();
    gc_mark(name);
    gc_mark(title);
    for (RolloutControl* ctl : controls) gc_mark(ctl);
    for (RolloutHandler& h : handlers) {
        gc_mark(h.control_name);
        gc_mark(h.event);
        gc_mark(h.function);
    }
}

const std::vector<Rollout*>& open_rollouts() {
    return open_list();
}

void run_dialog_loop() {
    MSG msg;
    while (!open_list().empty()) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // Leave the quit request for whoever runs the outer loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool save_rollout_picture(Rollout* ro, const char* png_path) {
    if (!ro || !ro->page || !png_path) return false;
    // Everything painted now, so the copy shows the controls as they are.
    RedrawWindow(ro->page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return saveWindowPng(ro->page, png_path);
}
