// rollout_floater.cpp - rollout floaters and subRollout: a stack of rollout pages in one window.
#include "host/win32/rollout_floater.h"
#include "host/win32/win32_start.h"

#include <algorithm>

#include "host/core/core.h"
#include "host/core/errors.h"
#include "host/win32/host_controls.h"

ValueMetaClass RolloutFloater_class("RolloutFloater");

namespace {

constexpr char kStackClass[] = "VantrelRolloutStack";
constexpr int kStackMargin = 4;     // window edge to title bars and pages
constexpr int kTitleBarHeight = 16;
constexpr int kStackGap = 3;        // below each page
constexpr int kFirstTitleId = 100;

std::vector<RolloutFloater*>& open_floaters() {
    static auto* list = new std::vector<RolloutFloater*>;
    return *list;
}
// An open floater is a root: its window can call back into script at any time.
void mark_open_floaters() {
    for (RolloutFloater* f : open_floaters()) heap_detail::trace(f);
}

void forget_floater(RolloutFloater* f) {
    auto& list = open_floaters();
    list.erase(std::remove(list.begin(), list.end(), f), list.end());
}

std::string title_text(Rollout* ro, bool rolled_up) {
    std::string title = ro->title ? ro->title->to_string() : "";
    return std::string(rolled_up ? "+ " : "- ") + title;
}

// The stack window: a floater's top-level window, or a subRollout control's. The stack is in
// the user data; a floater's window also names its floater in a property.
LRESULT CALLBACK stack_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* stack = reinterpret_cast<RolloutStack*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_COMMAND:
            if (stack && HIWORD(wParam) == BN_CLICKED && lParam) {
                stack->toggle(reinterpret_cast<HWND>(lParam));
                return 0;
            }
            break;
        case WM_CLOSE:
            if (auto* floater = static_cast<RolloutFloater*>(GetPropA(hwnd, "VantrelFloater"))) {
                floater->close();
                return 0;
            }
            break;
        case WM_SIZE:
            if (stack) stack->layout();
            return 0;
        case WM_DESTROY:
            // The pages inside go with the window; the stack forgets them.
            if (stack) {
                stack->entries.clear();
                stack->window = nullptr;
            }
            if (auto* floater = static_cast<RolloutFloater*>(GetPropA(hwnd, "VantrelFloater"))) {
                RemovePropA(hwnd, "VantrelFloater");
                forget_floater(floater);
            }
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

const char* stack_class() {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = stack_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = CreateSolidBrush(GetColorManager()->GetColor(kBackground));
        wc.lpszClassName = kStackClass;
        return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered ? kStackClass : nullptr;
}

}  // namespace

void root_open_floaters() { gc_add_root_marker(mark_open_floaters); }

// ---- RolloutStack ----

int RolloutStack::page_width() {
    RECT r{};
    if (window) GetClientRect(window, &r);
    return std::max<int>(0, r.right - 2 * kStackMargin);
}

bool RolloutStack::add(Rollout* ro, bool rolled_up) {
    if (!window || !ro) return false;
    for (const Entry& e : entries)
        if (e.ro == ro) return true;
    if (ro->page) throw RuntimeError("the rollout is already open elsewhere: " + print_form(ro));
    HWND title_bar = CreateWindowExA(0, "BUTTON", title_text(ro, rolled_up).c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                     kStackMargin, 0, page_width(), kTitleBarHeight, window,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstTitleId + entries.size())),
                                     GetModuleHandleA(nullptr), nullptr);
    SendMessageA(title_bar, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ro->width = page_width();
    if (!ro->open_in(window, kStackMargin, 0)) {
        DestroyWindow(title_bar);
        return false;
    }
    entries.push_back({ro, rolled_up, title_bar});
    layout();
    return true;
}

bool RolloutStack::remove(Rollout* ro) {
    auto it = std::find_if(entries.begin(), entries.end(), [ro](const Entry& e) { return e.ro == ro; });
    if (it == entries.end()) return false;
    Entry gone = *it;
    entries.erase(it);
    if (IsWindow(gone.title_bar)) DestroyWindow(gone.title_bar);
    gone.ro->close();
    layout();
    return true;
}

void RolloutStack::close_all() {
    while (!entries.empty()) remove(entries.back().ro);
}

void RolloutStack::layout() {
    if (!window) return;
    // A rollout closed on its own (destroyDialog, say) leaves the stack.
    for (size_t i = 0; i < entries.size();) {
        if (!entries[i].ro->page) {
            if (IsWindow(entries[i].title_bar)) DestroyWindow(entries[i].title_bar);
            entries.erase(entries.begin() + long(i));
        } else {
            ++i;
        }
    }
    int y = kStackMargin;
    for (Entry& e : entries) {
        SetWindowPos(e.title_bar, nullptr, kStackMargin, y, page_width(), kTitleBarHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        y += kTitleBarHeight + 1;
        RECT page{};
        GetWindowRect(e.ro->page, &page);
        SetWindowPos(e.ro->page, nullptr, kStackMargin, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(e.ro->page, e.rolled_up ? SW_HIDE : SW_SHOWNA);
        if (!e.rolled_up) y += (page.bottom - page.top) + kStackGap;
    }
}

void RolloutStack::toggle(HWND title_bar) {
    for (Entry& e : entries) {
        if (e.title_bar != title_bar) continue;
        e.rolled_up = !e.rolled_up;
        SetWindowTextA(title_bar, title_text(e.ro, e.rolled_up).c_str());
        layout();
        return;
    }
}

void RolloutStack::mark() {
    for (Entry& e : entries) heap_detail::trace(e.ro);
}

// ---- RolloutFloater ----

RolloutFloater::RolloutFloater(const std::string& title) : title(title) { tag = &RolloutFloater_class; }

bool RolloutFloater::open(int width, int height, int x, int y) {
    if (stack.window) return true;
    const char* cls = stack_class();
    if (!cls) return false;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, cls, title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                  x, y, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return false;
    stack.window = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&stack));
    SetPropA(window, "VantrelFloater", this);
    open_floaters().push_back(this);
    ShowWindow(window, SW_SHOWNORMAL);
    return true;
}

void RolloutFloater::close() {
    if (!stack.window) return;
    stack.close_all();
    if (stack.window) DestroyWindow(stack.window);
    stack.window = nullptr;
    forget_floater(this);
}

Value* RolloutFloater::get_property(Value** arg_list, int count) {
    Value* prop = count > 0 ? arg_list[0] : nullptr;
    RECT r{};
    if (stack.window) GetWindowRect(stack.window, &r);
    if (prop == Name::intern("title")) return new String(title.c_str());
    if (prop == Name::intern("open")) return bool_result(is_open());
    if (prop == Name::intern("size")) return new Point2Value(float(r.right - r.left), float(r.bottom - r.top));
    if (prop == Name::intern("pos")) return new Point2Value(float(r.left), float(r.top));
    if (prop == Name::intern("rollouts")) {
        auto* a = new Array(0);
        for (const RolloutStack::Entry& e : stack.entries) a->append(e.ro);
        return a;
    }
    return Value::get_property(arg_list, count);
}

Value* RolloutFloater::set_property(Value** arg_list, int count) {
    Value* val = count > 0 ? arg_list[0] : nullptr;
    Value* prop = count > 1 ? arg_list[1] : nullptr;
    if (val && prop == Name::intern("title")) {
        if (val->tag != &String_class) throw TypeError("title", val, &String_class);
        title = val->to_string();
        if (stack.window) SetWindowTextA(stack.window, title.c_str());
        return val;
    }
    if (val && (prop == Name::intern("size") || prop == Name::intern("pos"))) {
        Point2 p = val->to_point2();
        if (stack.window) {
            const UINT keep = prop == Name::intern("size") ? SWP_NOMOVE : SWP_NOSIZE;
            SetWindowPos(stack.window, nullptr, int(p.x), int(p.y), int(p.x), int(p.y), keep | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return val;
    }
    return Value::set_property(arg_list, count);
}

void RolloutFloater::sprin1(CharStream* s) { s->printf("<RolloutFloater:%s>", title.c_str()); }

void RolloutFloater::gc_trace() {
    Value::gc_trace();
    stack.mark();
}

// ---- subRollout ----

namespace {

// A bordered window of its own inside the page, in which added rollouts stack.
class SubRolloutControl : public host_controls::HostControl {
public:
    RolloutStack stack;

    using HostControl::HostControl;
    LPCMSTR get_control_class() override { return stack_class(); }
    DWORD get_control_style() override { return WS_CLIPCHILDREN | WS_BORDER | WS_VSCROLL; }
    DWORD get_control_ex_style() override { return WS_EX_CONTROLPARENT; }
    void compute_layout(Rollout* ro, layout_data* pos) override { pos->height = 100; }
    void init_control(HWND window) override {
        stack.entries.clear();
        stack.window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&stack));
        ShowScrollBar(window, SB_VERT, FALSE);
    }
    Value* get_property(Value** arg_list, int count) override {
        if (count > 0 && arg_list[0] == Name::intern("rollouts")) {
            auto* a = new Array(0);
            for (const RolloutStack::Entry& e : stack.entries) a->append(e.ro);
            return a;
        }
        return HostControl::get_property(arg_list, count);
    }
    void gc_trace() override {
        HostControl::gc_trace();
        stack.mark();
    }
};

RolloutControl* make_subrollout(Value* name, Value* caption, Value** keyparms, int count) {
    auto* ctl = new (GC_IN_HEAP) SubRolloutControl(name, caption, keyparms, count);
    return ctl;
}

SubRolloutControl* open_sub(RolloutControl* sub) {
    auto* s = static_cast<SubRolloutControl*>(sub);
    if (!s->stack.window || !s->control_window()) throw RuntimeError("the subRollout's rollout is not open: " + print_form(sub));
    return s;
}

}  // namespace

bool is_sub_rollout(Value* v) { return dynamic_cast<SubRolloutControl*>(v) != nullptr; }

bool add_sub_rollout(RolloutControl* sub, Rollout* ro, bool rolled_up) { return open_sub(sub)->stack.add(ro, rolled_up); }

bool remove_sub_rollout(RolloutControl* sub, Rollout* ro) { return open_sub(sub)->stack.remove(ro); }

namespace host_controls {
void install_subrollout_control() { install_rollout_control(Name::intern("subRollout"), make_subrollout); }
}  // namespace host_controls
