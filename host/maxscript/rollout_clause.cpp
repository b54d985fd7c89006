// rollout_clause.cpp - rollout definitions as host Rollouts; createDialog and its companions.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/function.h"
#include "host/maxscript/call_args.h"
#include "host/maxscript/globals.h"
#include "host/maxscript/interp.h"
#include "host/maxscript/operators.h"
#include "host/rollout.h"
#include "host/screenshot.h"

using namespace interp;

extern Value* (*rollout_builder)(RolloutDefNode* node);

namespace {

// A script's rollout: its locals, controls and functions stay reachable by name (r.x).
class ScriptRollout : public Rollout {
public:
    std::vector<std::pair<Value*, Value*>> vars;  // name, Box
    Value* scope_fn = nullptr;

    ScriptRollout(Value* name, Value* title) : Rollout(name, title) {}

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
        if (n == open_name) return bool_result(is_open());
        if (n == width_name) return make_int(width);
        if (n == title_name) return title;
        if (n == name_name) return new String(name->to_string());
        if (n == controls_name) {
            auto* a = new Array();
            for (RolloutControl* c : controls) a->append(c);
            return a;
        }
        throw UnknownPropertyError(this, n);
    }
    Value* set_property(Value** args, int count) override {
        Value* n = count > 1 ? args[1] : nullptr;
        Box* b = find(n);
        if (!b || find_control(n)) throw UnknownPropertyError(this, n);
        b->value = args[0];
        return args[0];
    }
    void gc_trace() override {
        Rollout::gc_trace();
        for (auto& [name, box] : vars) {
            gc_mark(name);
            gc_mark(box);
        }
        gc_mark(scope_fn);
    }
};

// The bridge gives Rollout a height; until then a rollout fits its controls.
template <class R>
void set_rollout_height(R* ro, int h) {
    if constexpr (requires { ro->height = h; }) ro->height = h;
}

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
        auto* ro = new ScriptRollout(n->name, title);
        push(ro);
        ro->scope_fn = scope_fn;
        static Value* width_name = Name::intern("width");
        static Value* height_name = Name::intern("height");
        for (const KeyArgNode& k : n->keys) {
            Value* v = k.value->eval();
            if (k.name == width_name) ro->width = v->to_int();
            else if (k.name == height_name) set_rollout_height(ro, v->to_int());
        }

        FnProto* p = n->scope;
        check_room(p->nslots);
        Frame fr{&stack[sp], scope_fn, nullptr, n->line, frame};
        for (int i = 0; i < p->nslots; ++i) fr.slots[i] = new Box(&undefined);
        sp += p->nslots;
        frame = &fr;
        for (VarInfo* v : n->vars) ro->vars.push_back({v->name, fr.slots[v->slot]});

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
        for (const ControlClause& c : n->controls) {
            fr.line = c.line;
            int mark = sp;
            Value* caption = c.caption ? c.caption->eval() : new String(c.var->name->to_string());
            push(caption);
            int first = sp;
            for (const KeyArgNode& k : c.keys) {
                push(k.name);
                push(k.value->eval());
            }
            RolloutControl* ctl = ro->add_control(c.keyword, c.var->name, caption, sp > first ? &stack[first] : nullptr, sp - first);
            static_cast<Box*>(fr.slots[c.var->slot])->value = ctl;
            sp = mark;
        }
        for (FnDef* f : n->functions) f->eval();
        for (const HandlerClause& h : n->handlers) {
            ScriptFunction* handler = make_closure(h.proto);
            handler->owner = ro;
            ro->add_handler(h.control, h.event, handler);
        }

        restore(saved);
        push(ro);
        if (n->store) {
            Const c(ro);
            n->store->assign(Tok::Assign, &c);
        }
        sp = base;
        return ro;
    } catch (...) {
        restore(saved);
        throw;
    }
}

Rollout* rollout_arg(Value* v, const char* fn) {
    if (!v->is_kind_of(&Rollout_class)) throw TypeError(fn, v, &Rollout_class);
    return static_cast<Rollout*>(v);
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
    }
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
        if (count > 0 && args[0] == send) return send_message;
        if (count > 0 && args[0] == post) return post_message;
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
    SendMessageA(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    BitBlt(picture, r.left, r.top, w, h, dc, 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

struct PrintContext {
    HWND page;
    HDC picture, screen;
};

// Every visible window inside the page, each before the windows inside it (the parts of
// an edittext or spinner, say), so those land on top.
BOOL CALLBACK print_descendant(HWND window, LPARAM context) {
    auto* c = reinterpret_cast<PrintContext*>(context);
    if (IsWindowVisible(window)) print_window_into(window, c->page, c->picture, c->screen);
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
    if (!ro->is_open()) return false;
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
    PrintContext context{page, dc, screen};
    EnumChildWindows(page, print_descendant, reinterpret_cast<LPARAM>(&context));
    bool saved = saveDCPng(dc, w, h, path);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(page, screen);
    return saved;
}

void define(const char* name, NativeFunction::Body body) { set_global(name, new NativeFunction(name, body)); }

void install() {
    rollout_builder = build_rollout;
    platform_property_hook = property_hook;
    static WindowsInterface windows_interface;
    set_global("windows", &windows_interface);

    define("createDialog", [](Value** args, int count) -> Value* {
        int n = positional_count(args, count);
        if (n < 1 || n > 3) throw ArgCountError("createDialog", 1, n);
        Rollout* ro = rollout_arg(args[0], "createDialog");
        if (n >= 2) ro->width = args[1]->to_int();
        if (n >= 3) set_rollout_height(ro, args[2]->to_int());
        int x = 40, y = 40;
        if (Value* pos = key_arg(args, count, Name::intern("pos"))) {
            Point2 p = pos->to_point2();
            x = static_cast<int>(p.x);
            y = static_cast<int>(p.y);
        }
        return bool_result(ro->open(x, y));
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
        if (!ro->is_open()) throw RuntimeError("saveDialogPicture: the dialog is not open");
        return bool_result(save_dialog_picture(ro, args[1]->to_string()));
    });
}

[[maybe_unused]] const bool installed = (install(), true);

}  // namespace
