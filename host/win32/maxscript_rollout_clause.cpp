// rollout_clause.cpp - rollout definitions as host Rollouts; createDialog and its companions.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/win32/win32_start.h"
#include "host/core/dialog_answers.h"
#include "host/core/function.h"
#include "host/maxscript/builtins.h"
#include "host/win32/host_controls.h"
#include "host/maxscript/call_args.h"
#include "host/maxscript/globals.h"
#include "host/maxscript/interp.h"
#include "host/maxscript/operators.h"
#include "host/win32/rcmenu.h"
#include "host/win32/rollout.h"
#include "host/win32/rollout_floater.h"
#include "host/win32/screenshot.h"

using namespace interp;

extern Value* (*rollout_builder)(RolloutDefNode* node);

namespace {

// A script's rollout or rcmenu: its locals, controls and functions stay reachable by name (r.x).
template <class Base>
class ScriptScope : public Base {
public:
    std::vector<std::pair<Value*, Value*>> vars;  // name, Box
    Value* scope_fn = nullptr;

    template <class... Args>
    explicit ScriptScope(Args... args) : Base(args...) {}

    Box* find(Value* n) {
        for (auto& [name, box] : vars)
            if (name == n) return static_cast<Box*>(box);
        return nullptr;
    }
    Value* get_property(Value** args, int count) override {
        static Value* open_name = Name::intern("open");
        static Value* width_name = Name::intern("width");
        static Value* title_name = Name::intern("title");
        static Value* name_name = Name::intern("name");
        static Value* controls_name = Name::intern("controls");
        Value* n = count > 0 ? args[0] : nullptr;
        if (Box* b = find(n)) return b->value;
        if (n == open_name) return bool_result(this->page != nullptr);
        if (n == width_name) return make_int(this->width);
        if (n == title_name) return this->title;
        if (n == name_name) return new String(this->name->to_string());
        if (n == controls_name) {
            auto* a = new Array(0);
            for (RolloutControl* c : this->controls) a->append(c);
            return a;
        }
        throw UnknownPropertyError(this, n);
    }
    Value* set_property(Value** args, int count) override {
        Value* n = count > 1 ? args[1] : nullptr;
        Box* b = find(n);
        if (!b || this->find_control(n)) throw UnknownPropertyError(this, n);
        b->value = args[0];
        return args[0];
    }
    void gc_trace() override {
        Base::gc_trace();
        for (auto& [name, box] : vars) {
            heap_detail::trace(name);
            heap_detail::trace(box);
        }
        heap_detail::trace(scope_fn);
    }
};

using ScriptRollout = ScriptScope<Rollout>;
using ScriptRCMenu = ScriptScope<RCMenu>;


Value* build_rollout(RolloutDefNode* n) {
    int base = sp;
    SavePoint saved = save();
    try {
        ScriptFunction* scope_fn = make_closure(n->scope);
        push(scope_fn);
        Value* title = n->title ? n->title->eval() : new String(n->name->to_string());
        push(title);
        if (title->tag != &String_class) title = new String(print_form(title).c_str());
        push(title);
        ScriptRollout* ro = nullptr;
        ScriptRCMenu* menu = nullptr;
        if (n->is_menu) menu = new ScriptRCMenu(n->name);
        else ro = new ScriptRollout(n->name, title);
        Rollout* made = menu ? static_cast<Rollout*>(menu) : ro;
        push(made);
        auto& vars = menu ? menu->vars : ro->vars;
        if (menu) menu->scope_fn = scope_fn;
        else ro->scope_fn = scope_fn;
        static Value* width_name = Name::intern("width");
        static Value* height_name = Name::intern("height");
        for (const KeyArgNode& k : n->keys) {
            Value* v = k.value->eval();
            if (k.name == width_name) made->width = v->to_int();
            else if (k.name == height_name) made->height = v->to_int();
        }

        FnProto* p = n->scope;
        check_room(p->nslots);
        Frame fr{&stack[sp], scope_fn, nullptr, n->line, frame};
        for (int i = 0; i < p->nslots; ++i) fr.slots[i] = new Box(&undefined);
        sp += p->nslots;
        frame = &fr;
        for (VarInfo* v : n->vars) vars.push_back({v->name, fr.slots[v->slot]});

        for (Node* d : n->locals) {
            auto* decl = dynamic_cast<LocalDecl*>(d);
            fr.line = d->line;
            if (!decl) {  // a global declaration or a struct definition inside the rollout
                d->eval();
                continue;
            }
            Value* v = decl->init ? decl->init->eval() : &undefined;
            static_cast<Box*>(fr.slots[decl->var->slot])->value = v;
        }
        std::vector<RolloutControl*> open_groups;
        for (const ControlClause& c : n->controls) {
            fr.line = c.line;
            if (c.kind == ControlClause::Kind::GroupStart) {
                Value* caption = c.caption ? c.caption->eval() : new String("");
                open_groups.push_back(host_controls::add_group_start(made, caption));
                continue;
            }
            if (c.kind == ControlClause::Kind::GroupEnd) {
                if (!open_groups.empty()) host_controls::add_group_end(made, open_groups.back());
                if (!open_groups.empty()) open_groups.pop_back();
                continue;
            }
            if (menu && c.kind == ControlClause::Kind::SubMenuStart) {
                int mark = sp;
                Value* caption = c.caption ? c.caption->eval() : new String("");
                push(caption);
                int first = sp;
                for (const KeyArgNode& k : c.keys) {
                    push(k.name);
                    push(k.value->eval());
                }
                menu->add_item(RCMenuItem::Kind::SubMenuStart, Name::intern("subMenu"), caption,
                               sp > first ? &stack[first] : nullptr, sp - first);
                sp = mark;
                continue;
            }
            if (menu && c.kind == ControlClause::Kind::SubMenuEnd) {
                menu->add_item(RCMenuItem::Kind::SubMenuEnd, Name::intern("subMenu"), &undefined);
                continue;
            }
            int mark = sp;
            Value* caption = c.caption ? c.caption->eval() : new String(c.var->name->to_string());
            push(caption);
            int first = sp;
            for (const KeyArgNode& k : c.keys) {
                push(k.name);
                push(k.value->eval());
            }
            Value** keys = sp > first ? &stack[first] : nullptr;
            RolloutControl* ctl = nullptr;
            if (menu) {
                static Value* menu_item = Name::intern("menuItem");
                static Value* separator = Name::intern("separator");
                if (c.keyword != menu_item && c.keyword != separator)
                    throw RuntimeError("Not an rcmenu item: " + print_form(c.keyword));
                ctl = menu->add_item(c.keyword == separator ? RCMenuItem::Kind::Separator : RCMenuItem::Kind::Item,
                                     c.var->name, caption, keys, sp - first);
            } else {
                ctl = ro->add_control(c.keyword, c.var->name, caption, keys, sp - first);
            }
            static_cast<Box*>(fr.slots[c.var->slot])->value = ctl;
            sp = mark;
        }
        for (FnDef* f : n->functions) f->eval();
        for (const HandlerClause& h : n->handlers) {
            ScriptFunction* handler = make_closure(h.proto);
            handler->owner = made;
            made->add_handler(h.control, h.event, handler);
        }

        restore(saved);
        push(made);
        if (n->store) {
            Const c(made);
            n->store->assign(Tok::Assign, &c);
        }
        sp = base;
        return made;
    } catch (...) {
        restore(saved);
        throw;
    }
}

Rollout* rollout_arg(Value* v, const char* fn) {
    if (!v->is_kind_of(&Rollout_class)) throw TypeError(fn, v, &Rollout_class);
    return static_cast<Rollout*>(v);
}

RolloutFloater* floater_arg(Value* v, const char* fn) {
    if (v->tag != &RolloutFloater_class) throw TypeError(fn, v, &RolloutFloater_class);
    return static_cast<RolloutFloater*>(v);
}

Value* property_hook(Value* obj, Value* name) {
    static Value* hwnd = Name::intern("hwnd");
    if (name != hwnd) return nullptr;
    if (obj->is_kind_of(&RolloutControl_class))
        return make_int(static_cast<int>(reinterpret_cast<intptr_t>(static_cast<RolloutControl*>(obj)->control_window())));
    if (obj->is_kind_of(&Rollout_class))
        return make_int(static_cast<int>(reinterpret_cast<intptr_t>(static_cast<Rollout*>(obj)->page)));
    return nullptr;
}

ValueMetaClass WindowsInterface_class("Interface");

// windows.sendMessage / windows.postMessage hwnd message wParam lParam, as the host's
// windows interface offers them: a script drives a control through real window messages.
class WindowsInterface : public Value {
public:
    Value* send_message;
    Value* post_message;
    WindowsInterface() {
        tag = &WindowsInterface_class;
        send_message = message_function("sendMessage", false);
        post_message = message_function("postMessage", true);
        // windows.getWindowPos hwnd: the window's rectangle on the screen, as a Box2.
        get_window_pos = new NativeFunction("getWindowPos", [](Value** args, int count) -> Value* {
            check_positional("getWindowPos", 1, args, count);
            auto hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(args[0]->to_int()));
            RECT r{};
            if (!IsWindow(hwnd) || !GetWindowRect(hwnd, &r))
                throw RuntimeError("getWindowPos: not a window: " + print_form(args[0]));
            return make_box2(r.left, r.top, r.right - r.left, r.bottom - r.top);
        });
        get_window_pos->make_permanent();
    }
    Value* get_window_pos;
    static Value* message_function(const char* name, bool post) {
        Value* f = new NativeFunction(name, [name, post](Value** args, int count) -> Value* {
            check_positional(name, 4, args, count);
            auto hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(args[0]->to_int()));
            if (!IsWindow(hwnd)) throw RuntimeError(std::string(name) + ": not a window: " + print_form(args[0]));
            auto message = static_cast<UINT>(args[1]->to_int());
            auto wParam = static_cast<WPARAM>(args[2]->to_int());
            auto lParam = static_cast<LPARAM>(args[3]->to_int());
            if (post) return bool_result(PostMessageA(hwnd, message, wParam, lParam) != 0);
            return make_int(static_cast<int>(SendMessageA(hwnd, message, wParam, lParam)));
        });
        f->make_permanent();
        return f;
    }
    Value* get_property(Value** args, int count) override {
        static Value* send = Name::intern("sendMessage");
        static Value* post = Name::intern("postMessage");
        static Value* window_pos = Name::intern("getWindowPos");
        if (count > 0 && args[0] == send) return send_message;
        if (count > 0 && args[0] == post) return post_message;
        if (count > 0 && args[0] == window_pos) return get_window_pos;
        return Value::get_property(args, count);
    }
    void sprin1(CharStream* s) override { s->puts("<Interface:windows>"); }
};

// One window painted through WM_PRINT into a bitmap of its own, copied into the picture
// where it sits on the page: no window ever paints with another's origin or clipping.
void print_window_into(HWND window, HWND page, HDC picture, HDC screen) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    // What lies under the window shows where the window paints nothing (a group box's inside).
    BitBlt(dc, 0, 0, w, h, picture, r.left, r.top, SRCCOPY);
    SendMessageA(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    BitBlt(picture, r.left, r.top, w, h, dc, 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

struct PrintContext {
    HWND page;
    HDC picture, screen;
    bool group_boxes;  // this pass prints the group boxes only, the next everything else
};

bool is_group_box(HWND window) {
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpiA(cls, "Button") == 0 && (GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Every visible window inside the page, each before the windows inside it (the parts of
// an edittext or spinner, say), so those land on top; group boxes go first, under the
// controls they hold.
BOOL CALLBACK print_descendant(HWND window, LPARAM context) {
    auto* c = reinterpret_cast<PrintContext*>(context);
    if (IsWindowVisible(window) && is_group_box(window) == c->group_boxes)
        print_window_into(window, c->page, c->picture, c->screen);
    return TRUE;
}

// The page and every control in it, as they look, in one bitmap.
bool save_dialog_picture(Rollout* ro, const char* path) {
    HWND page = ro->page;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (!ro->page) return false;
    RECT client;
    GetClientRect(page, &client);
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(page);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(page, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(page, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    PrintContext context{page, dc, screen, true};
    EnumChildWindows(page, print_descendant, reinterpret_cast<LPARAM>(&context));
    context.group_boxes = false;
    EnumChildWindows(page, print_descendant, reinterpret_cast<LPARAM>(&context));
    bool saved = saveDCPng(dc, w, h, path);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(page, screen);
    return saved;
}

// style: names as createDialog takes them; the window styles each one adds.
struct DialogStyle {
    const char* name;
    DWORD style, ex_style;
};
constexpr DialogStyle kDialogStyles[] = {
    {"style_titlebar", WS_CAPTION, 0},
    {"style_border", WS_BORDER, WS_EX_DLGMODALFRAME},
    {"style_toolwindow", 0, WS_EX_TOOLWINDOW},
    {"style_resizing", WS_THICKFRAME, 0},
    {"style_minimizebox", WS_MINIMIZEBOX | WS_SYSMENU, 0},
    {"style_maximizebox", WS_MAXIMIZEBOX | WS_SYSMENU, 0},
    {"style_sysmenu", WS_SYSMENU, 0},
    {"style_sunkenedge", 0, WS_EX_CLIENTEDGE},
};

// The whole style: array is read before the rollout changes, so a bad name changes nothing.
void read_dialog_style(Value* v, DWORD& style, DWORD& ex_style) {
    if (v->tag != &Array_class) throw TypeError("createDialog style:", v, &Array_class);
    style = ex_style = 0;
    for (Value* item : elements_of(static_cast<Array*>(v))) {
        const DialogStyle* found = nullptr;
        for (const DialogStyle& d : kDialogStyles)
            if (item == Name::intern(d.name)) found = &d;
        if (!found) throw RuntimeError("createDialog: unknown style: " + print_form(item));
        style |= found->style;
        ex_style |= found->ex_style;
    }
}

// createDialog <rollout> [width height [x y]] [pos:] [width:] [height:] [style:] [modal:]
// [bgcolor:] [fgcolor:] [escapeEnable:] [lockWidth:] [lockHeight:]
Value* create_dialog(Value** args, int count) {
    const int n = positional_count(args, count);
    if (n < 1 || n > 5 || n == 4) throw ArgCountError("createDialog", 1, n);
    Rollout* ro = rollout_arg(args[0], "createDialog");
    auto key = [&](const char* k) { return key_arg(args, count, Name::intern(k)); };
    // Everything converted first: a wrong value raises and leaves the rollout as it was.
    int width = ro->width, height = 0, x = 40, y = 40;
    bool has_height = false;
    if (n >= 2) width = args[1]->to_int();
    if (n >= 3) height = args[2]->to_int(), has_height = true;
    if (n >= 5) x = args[3]->to_int(), y = args[4]->to_int();
    if (Value* v = key("width")) width = v->to_int();
    if (Value* v = key("height")) height = v->to_int(), has_height = true;
    if (Value* v = key("pos")) {
        Point2 p = v->to_point2();
        x = int(p.x);
        y = int(p.y);
    }
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_BORDER, ex_style = WS_EX_DLGMODALFRAME;
    if (Value* v = key("style")) read_dialog_style(v, style, ex_style);
    const bool modal = key("modal") && key("modal")->to_bool();
    Value* bg = key("bgcolor");
    Value* fg = key("fgcolor");
    const COLORREF bgcolor = bg ? bg->to_colorref() : 0, fgcolor = fg ? fg->to_colorref() : 0;
    const bool escape = key("escapeEnable") ? key("escapeEnable")->to_bool() : true;
    const bool lock_width = key("lockWidth") && key("lockWidth")->to_bool();
    const bool lock_height = key("lockHeight") && key("lockHeight")->to_bool();
    if (ro->page) return &true_value;  // already open: nothing changes

    ro->width = width;
    if (has_height) ro->height = height;
    ro->style = style;
    ro->ex_style = ex_style;
    ro->has_bgcolor = bg != nullptr;
    ro->bgcolor = bgcolor;
    ro->has_fgcolor = fg != nullptr;
    ro->fgcolor = fgcolor;
    ro->escape_enable = escape;
    ro->lock_width = lock_width;
    ro->lock_height = lock_height;
    if (!ro->open(x, y)) return &false_value;
    // Nobody can close a modal dialog in a run without a message loop, so it does not wait there.
    if (modal && !dialogs_headless()) run_modal_loop(ro);
    return &true_value;
}

// mouse.screenPos: where the pointer is on the screen.
ValueMetaClass MouseInterface_class("Interface");
class MouseInterface : public Value {
public:
    MouseInterface() { tag = &MouseInterface_class; }
    Value* get_property(Value** args, int count) override {
        static Value* screen_pos = Name::intern("screenPos");
        Value* n = count > 0 ? args[0] : nullptr;
        POINT p{};
        GetCursorPos(&p);
        if (n == screen_pos) return new Point2Value(float(p.x), float(p.y));
        return Value::get_property(args, count);
    }
    void sprin1(CharStream* s) override { s->puts("<Interface:mouse>"); }
};

// The real dialog boxes, for a run someone can click.
HWND dialog_owner() {
    HWND active = GetActiveWindow();
    return active ? active : (open_rollouts().empty() ? nullptr : open_rollouts().back()->page);
}

std::string file_dialog(const DialogRequest& r) {
    // types: "Text(*.txt)|*.txt|All|*.*|": the filter pairs, separated by NULs for Win32.
    std::string filter = r.types.empty() ? "All files (*.*)|*.*|" : r.types;
    if (filter.back() != '|') filter += '|';
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter += '\0';
    char path[MAX_PATH] = {};
    lstrcpynA(path, r.file_name.c_str(), MAX_PATH);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dialog_owner();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = r.text.empty() ? nullptr : r.text.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    const bool open = r.kind == DialogRequest::Kind::OpenFile;
    if (open) ofn.Flags |= OFN_FILEMUSTEXIST;
    else ofn.Flags |= OFN_OVERWRITEPROMPT;
    BOOL chosen = open ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
    return chosen ? std::string(path) : std::string();
}

std::string folder_dialog(const DialogRequest& r) {
    char path[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = dialog_owner();
    info.lpszTitle = r.text.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen) return "";
    const bool ok_path = SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    return ok_path ? std::string(path) : std::string();
}

std::string windows_dialog(const DialogRequest& r) {
    const char* title = r.title.empty() ? "MAXScript" : r.title.c_str();
    switch (r.kind) {
        case DialogRequest::Kind::Message:
            MessageBoxA(dialog_owner(), r.text.c_str(), title, MB_OK);
            return "";
        case DialogRequest::Kind::Query:
            return MessageBoxA(dialog_owner(), r.text.c_str(), title, MB_YESNO | MB_ICONQUESTION) == IDYES ? "yes" : "no";
        case DialogRequest::Kind::YesNoCancel: {
            int answer = MessageBoxA(dialog_owner(), r.text.c_str(), title, MB_YESNOCANCEL | MB_ICONQUESTION);
            return answer == IDYES ? "yes" : answer == IDNO ? "no" : "cancel";
        }
        case DialogRequest::Kind::OpenFile:
        case DialogRequest::Kind::SaveFile:
            return file_dialog(r);
        case DialogRequest::Kind::SavePath:
            return folder_dialog(r);
    }
    return "";
}

void define(const char* name, NativeFunction::Body body) { set_global(name, new NativeFunction(name, body)); }

void install() {
    rollout_builder = build_rollout;
    platform_dialog = windows_dialog;
    platform_property_hook = property_hook;
    static WindowsInterface windows_interface;
    set_global("windows", &windows_interface);
    static MouseInterface mouse_interface;
    set_global("mouse", &mouse_interface);

    define("createDialog", create_dialog);
    define("getDialogPos", [](Value** args, int count) -> Value* {
        check_positional("getDialogPos", 1, args, count);
        Rollout* ro = rollout_arg(args[0], "getDialogPos");
        RECT r{};
        if (!ro->page || !GetWindowRect(ro->page, &r)) return &undefined;
        return new Point2Value(float(r.left), float(r.top));
    });
    define("setDialogPos", [](Value** args, int count) -> Value* {
        check_positional("setDialogPos", 2, args, count);
        Rollout* ro = rollout_arg(args[0], "setDialogPos");
        Point2 p = args[1]->to_point2();
        if (ro->page) SetWindowPos(ro->page, nullptr, int(p.x), int(p.y), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return &ok;
    });
    define("getDialogSize", [](Value** args, int count) -> Value* {
        check_positional("getDialogSize", 1, args, count);
        Rollout* ro = rollout_arg(args[0], "getDialogSize");
        RECT r{};
        if (!ro->page || !GetClientRect(ro->page, &r)) return &undefined;
        return new Point2Value(float(r.right), float(r.bottom));
    });
    // popUpMenu <rcmenu> [pos:] [rollout:]: at the pointer, or at pos: (in the rollout's page
    // when rollout: is given, else on the screen).
    define("popUpMenu", [](Value** args, int count) -> Value* {
        check_positional("popUpMenu", 1, args, count);
        if (!args[0]->is_kind_of(&RCMenu_class)) throw TypeError("popUpMenu", args[0], &RCMenu_class);
        auto* menu = static_cast<RCMenu*>(args[0]);
        Rollout* ro = nullptr;
        if (Value* v = key_arg(args, count, Name::intern("rollout"))) ro = rollout_arg(v, "popUpMenu");
        POINT at{};
        GetCursorPos(&at);
        if (Value* v = key_arg(args, count, Name::intern("pos"))) {
            Point2 p = v->to_point2();
            at = {LONG(p.x), LONG(p.y)};
            if (ro && ro->page) ClientToScreen(ro->page, &at);
        }
        HWND owner = ro && ro->page ? ro->page : (open_rollouts().empty() ? nullptr : open_rollouts().back()->page);
        menu->pop_up(owner, at);
        return &true_value;
    });
    define("newRolloutFloater", [](Value** args, int count) -> Value* {
        const int n = positional_count(args, count);
        if (n != 3 && n != 5) throw ArgCountError("newRolloutFloater", 3, n);
        if (args[0]->tag != &String_class) throw TypeError("newRolloutFloater", args[0], &String_class);
        const int width = args[1]->to_int(), height = args[2]->to_int();
        const int x = n == 5 ? args[3]->to_int() : 40, y = n == 5 ? args[4]->to_int() : 40;
        auto* floater = new RolloutFloater(args[0]->to_string());
        if (!floater->open(width, height, x, y)) throw RuntimeError("newRolloutFloater: the window could not be made");
        return floater;
    });
    define("addRollout", [](Value** args, int count) -> Value* {
        check_positional("addRollout", 2, args, count);
        Rollout* ro = rollout_arg(args[0], "addRollout");
        RolloutFloater* floater = floater_arg(args[1], "addRollout");
        Value* rolled = key_arg(args, count, Name::intern("rolledUp"));
        if (!floater->is_open()) throw RuntimeError("addRollout: the floater is closed");
        return bool_result(floater->stack.add(ro, rolled && rolled->to_bool()));
    });
    define("removeRollout", [](Value** args, int count) -> Value* {
        check_positional("removeRollout", 2, args, count);
        Rollout* ro = rollout_arg(args[0], "removeRollout");
        return bool_result(floater_arg(args[1], "removeRollout")->stack.remove(ro));
    });
    define("closeRolloutFloater", [](Value** args, int count) -> Value* {
        check_positional("closeRolloutFloater", 1, args, count);
        floater_arg(args[0], "closeRolloutFloater")->close();
        return &ok;
    });
    define("addSubRollout", [](Value** args, int count) -> Value* {
        check_positional("addSubRollout", 2, args, count);
        if (!is_sub_rollout(args[0])) throw TypeError("addSubRollout", args[0], &RolloutControl_class);
        Rollout* ro = rollout_arg(args[1], "addSubRollout");
        Value* rolled = key_arg(args, count, Name::intern("rolledUp"));
        return bool_result(add_sub_rollout(static_cast<RolloutControl*>(args[0]), ro, rolled && rolled->to_bool()));
    });
    define("removeSubRollout", [](Value** args, int count) -> Value* {
        check_positional("removeSubRollout", 2, args, count);
        if (!is_sub_rollout(args[0])) throw TypeError("removeSubRollout", args[0], &RolloutControl_class);
        Rollout* ro = rollout_arg(args[1], "removeSubRollout");
        return bool_result(remove_sub_rollout(static_cast<RolloutControl*>(args[0]), ro));
    });
    define("destroyDialog", [](Value** args, int count) -> Value* {
        check_positional("destroyDialog", 1, args, count);
        rollout_arg(args[0], "destroyDialog")->close();
        return &ok;
    });
    define("saveDialogPicture", [](Value** args, int count) -> Value* {
        check_positional("saveDialogPicture", 2, args, count);
        Rollout* ro = rollout_arg(args[0], "saveDialogPicture");
        if (args[1]->tag != &String_class) throw TypeError("saveDialogPicture", args[1], &String_class);
        if (!ro->page) throw RuntimeError("saveDialogPicture: the dialog is not open");
        return bool_result(save_dialog_picture(ro, args[1]->to_string()));
    });
}

}  // namespace

void install_rollout_clause() { install(); }
