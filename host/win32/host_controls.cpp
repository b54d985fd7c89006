// host_controls.cpp - the host's own rollout controls: what they share, the parts
// window, and their installation when the host starts.
#include "host/win32/host_controls.h"
#include "host/win32/win32_start.h"

#include <algorithm>
#include <initializer_list>

#include "host/core/core.h"
#include "host/core/errors.h"
#include "host/win32/rollout_floater.h"

namespace host_controls {

namespace {

constexpr char kPartsClass[] = "VantrelControlParts";

// A window that holds a control's parts: what the parts report goes on to the page
// (where controls listen), and every size lays them out again.
LRESULT parts_holder_message(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                             std::initializer_list<UINT> forwarded, void (*lay_out)(HWND, int, int)) {
    if (message == WM_SIZE) {
        lay_out(hwnd, LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
    for (UINT m : forwarded)
        if (m == message) return SendMessageA(GetParent(hwnd), message, wParam, lParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The caption keeps its width at the left, the arrows theirs at the right, the field
// takes the rest.
void lay_out_parts(HWND hwnd, int width, int height) {
    HWND label = GetDlgItem(hwnd, kLabelPart);
    HWND arrows = GetDlgItem(hwnd, kArrowsPart);
    HWND field = GetDlgItem(hwnd, GetDlgCtrlID(hwnd));
    RECT r{};
    int left = 0, right = width;
    if (label) {
        GetWindowRect(label, &r);
        left = std::min(width, int(r.right - r.left));
        MoveWindow(label, 0, 0, left, height, TRUE);
    }
    if (arrows) {
        GetWindowRect(arrows, &r);
        right = std::max(left, width - int(r.right - r.left));
        MoveWindow(arrows, right, 0, width - right, height, TRUE);
    }
    if (field) MoveWindow(field, left, 0, right - left, height, TRUE);
}

LRESULT CALLBACK parts_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return parts_holder_message(hwnd, message, wParam, lParam,
                                {WM_COMMAND, WM_VSCROLL, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}, lay_out_parts);
}

constexpr char kCaptionedClass[] = "VantrelCaptioned";
constexpr char kDrawnClass[] = "VantrelDrawn";

// Caption across the top, the body below it. The body's fixed height, when it has one,
// is kept in the window's user data.
void lay_out_captioned(HWND hwnd, int width, int height) {
    HWND label = GetDlgItem(hwnd, kLabelPart);
    HWND body = GetDlgItem(hwnd, GetDlgCtrlID(hwnd));
    const int top = label ? std::min(height, kTopCaptionHeight) : 0;
    if (label) MoveWindow(label, 0, 0, width, top, TRUE);
    const int fixed = static_cast<int>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (body) MoveWindow(body, 0, top, width, fixed > 0 ? fixed : height - top, TRUE);
}

LRESULT CALLBACK captioned_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return parts_holder_message(
        hwnd, message, wParam, lParam,
        {WM_COMMAND, WM_HSCROLL, WM_VSCROLL, WM_NOTIFY, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}, lay_out_captioned);
}

// The drawn window: its control is in the user data from init_control on.
LRESULT CALLBACK drawn_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* ctl = reinterpret_cast<DrawnControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // paint covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            if (ctl) ctl->paint(dc, r);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT r;
            GetClientRect(hwnd, &r);
            if (ctl) ctl->paint(reinterpret_cast<HDC>(wParam), r);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
            if (!ctl) break;
            // Script errors are reported by the handler runner; nothing else may leave.
            try {
                ctl->mouse(message, wParam, lParam);
            } catch (...) {
            }
            if (message == WM_RBUTTONUP) break;  // DefWindowProc turns it into WM_CONTEXTMENU
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool register_class(const char* name, WNDPROC proc, UINT style) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Enter in a single-line field becomes a notification its parent passes on.
LRESULT CALLBACK enter_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, "VantrelEditProc"));
    if (message == WM_CHAR && wParam == '\r' && !(GetWindowLongA(hwnd, GWL_STYLE) & ES_MULTILINE)) {
        // A combo box's field speaks for the combo box, which would not pass this on.
        HWND from = hwnd;
        char cls[16] = {};
        GetClassNameA(GetParent(hwnd), cls, sizeof cls);
        if (lstrcmpiA(cls, "ComboBox") == 0) from = GetParent(hwnd);
        SendMessageA(GetParent(from), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(from), kEnteredNotification),
                     reinterpret_cast<LPARAM>(from));
        return 0;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(hwnd, "VantrelEditProc");
    }
    return old ? CallWindowProcA(old, hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}

bool register_parts_class() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = parts_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(GetColorManager()->GetColor(kBackground));
    wc.lpszClassName = kPartsClass;
    registered = RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

HWND make_child(HWND parent, LPCSTR cls, const std::string& text, DWORD style, DWORD ex_style, int id,
                int x, int width, int height, HFONT font) {
    HWND w = CreateWindowExA(ex_style, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, 0, width, height,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleA(nullptr), nullptr);
    if (w && font) SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return w;
}

}  // namespace

void notify_enter(HWND edit) {
    if (!edit || GetPropA(edit, "VantrelEditProc")) return;
    auto old = reinterpret_cast<HANDLE>(GetWindowLongPtrA(edit, GWLP_WNDPROC));
    SetPropA(edit, "VantrelEditProc", old);
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(enter_proc));
}

const ControlNames& names() {
    static const ControlNames n;
    return n;
}

// ---- HostControl ----

HostControl::HostControl(Value* name, Value* caption, Value** keyparms, int keyparm_count)
    : RolloutControl(name, caption, keyparms, keyparm_count) {
    if (Value* v = control_param(names().enabled)) enabled = v->to_bool();
}

void raise_in_frame(RolloutControl* ctl, Value* event, Value* (*make)(void*), void* context) {
    // Raised from window messages, outside any script frame: open one so the
    // argument survives a collection the handler may trigger.
    if (!ctl->parent_rollout) return;
    ScopedMaxScriptEvaluationContext scriptContext;
    Value** args = nullptr;
    value_local_array(args, 1);
    int count = 0;
    if (make) args[count++] = make(context);
    ctl->run_event_handler(ctl->parent_rollout, event, args, count);
}

void raise_many_in_frame(RolloutControl* ctl, Value* event, int (*fill)(void*, Value**), void* context) {
    if (!ctl->parent_rollout) return;
    ScopedMaxScriptEvaluationContext scriptContext;
    Value** args = nullptr;
    value_local_array(args, 4);
    int count = fill(context, args);
    ctl->run_event_handler(ctl->parent_rollout, event, args, count);
}

std::vector<std::string> string_items(Value* v, const char* what) {
    if (v->tag != &Array_class) throw TypeError(what, v, &Array_class);
    std::vector<std::string> items;
    for (Value* item : elements_of(static_cast<Array*>(v))) {
        if (item->tag != &String_class && item->tag != &Name_class) throw TypeError(what, item, &String_class);
        items.push_back(item->to_string());
    }
    return items;
}

Value* items_array(const std::vector<std::string>& items) {
    auto* a = new Array(0);
    for (const std::string& item : items) a->append(new String(item.c_str()));
    return a;
}

void HostControl::raise(Value* event) {
    raise_in_frame(this, event, nullptr, nullptr);
}

int HostControl::text_width(const std::string& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = nullptr;
    if (parent_rollout && parent_rollout->font) old = SelectObject(dc, parent_rollout->font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

void HostControl::align_by_default(Rollout* ro, layout_data* pos, Value* alignment) {
    const ControlNames& n = names();
    // An explicit width counts before the control is placed by its alignment.
    if (Value* v = control_param(Name::intern("width"))) pos->width = std::max(0, v->to_int());
    if (Value* v = control_param(n.align)) alignment = v;
    int column_left = pos->left, column_width = 174;
    if (ro) ro->column_span(column_left, column_width);
    if (alignment == n.center) pos->left = column_left + (column_width - pos->width) / 2;
    else if (alignment == n.right) pos->left = column_left + column_width - pos->width;
}

std::string HostControl::caption_text() {
    if (!caption) return "";
    if (caption->tag == &String_class || caption->tag == &Name_class) return caption->to_string();
    StringStream s;
    caption->sprint(&s);
    return s.text;
}

bool HostControl::is_notification(UINT message, WPARAM wParam, WORD code) {
    return message == WM_COMMAND && LOWORD(wParam) == (control_ID & 0xFFFF) && HIWORD(wParam) == code;
}

void HostControl::set_enable() {
    HWND window = control_window();
    if (!window) return;
    EnableWindow(window, enabled);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        EnableWindow(child, enabled);
}

bool HostControl::owns_window(HWND child) {
    HWND window = control_window();
    return window && child && (child == window || IsChild(window, child));
}

bool HostControl::right_clicked(UINT message, WPARAM wParam) {
    if (message != WM_CONTEXTMENU || !owns_window(reinterpret_cast<HWND>(wParam))) return false;
    raise(names().rightClick);
    return true;
}

// ---- CaptionedControl ----

LPCSTR CaptionedControl::get_control_class() {
    static const bool registered = register_class(kCaptionedClass, captioned_proc, 0);
    (void)registered;
    return kCaptionedClass;
}

void CaptionedControl::make_caption(HWND container) {
    RECT r{};
    GetClientRect(container, &r);
    const int top = caption_height();
    if (top > 0)
        make_child(container, "STATIC", caption_text(), SS_LEFT | SS_NOPREFIX, 0, kLabelPart, 0, r.right, top,
                   parent_rollout ? parent_rollout->font : nullptr);
}

HWND CaptionedControl::make_body(HWND container, LPCSTR cls, DWORD style, DWORD ex_style, int body_height) {
    RECT r{};
    GetClientRect(container, &r);
    HFONT font = parent_rollout ? parent_rollout->font : nullptr;
    const int top = caption_height();
    make_caption(container);
    SetWindowLongPtrA(container, GWLP_USERDATA, body_height);
    HWND body = CreateWindowExA(ex_style, cls, "", WS_CHILD | WS_VISIBLE | style, 0, top, r.right,
                                body_height > 0 ? body_height : std::max<int>(0, r.bottom - top), container,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_ID)),
                                GetModuleHandleA(nullptr), nullptr);
    if (body && font) SendMessageA(body, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!enabled) set_enable();
    return body;
}

HWND CaptionedControl::body() {
    HWND container = control_window();
    return container ? GetDlgItem(container, control_ID) : nullptr;
}

Value* CaptionedControl::set_property(Value** arg_list, int count) {
    Value* prop = count > 1 ? arg_list[1] : nullptr;
    if ((prop == names().caption || prop == names().text) && arg_list[0]) {
        caption = new String(arg_list[0]->to_string());
        HWND container = control_window();
        if (HWND label = container ? GetDlgItem(container, kLabelPart) : nullptr)
            SetWindowTextA(label, caption->to_string());
        return arg_list[0];
    }
    return HostControl::set_property(arg_list, count);
}

// ---- DrawnControl ----

LPCSTR DrawnControl::get_control_class() {
    static const bool registered = register_class(kDrawnClass, drawn_proc, CS_DBLCLKS);
    (void)registered;
    return kDrawnClass;
}

void DrawnControl::init_control(HWND window) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    InvalidateRect(window, nullptr, FALSE);
}

void DrawnControl::redraw() {
    if (HWND window = control_window()) InvalidateRect(window, nullptr, FALSE);
}

// ---- PartsControl ----

LPCSTR PartsControl::get_control_class() {
    register_parts_class();
    return kPartsClass;
}

void PartsControl::make_parts(HWND group, DWORD field_style, const std::string& text, int arrow_width) {
    RECT r{};
    GetClientRect(group, &r);
    HFONT font = parent_rollout ? parent_rollout->font : nullptr;
    std::string label = caption_text();
    int left = 0;
    if (!label.empty()) {
        left = std::min<int>(r.right, text_width(label) + 4);
        make_child(group, "STATIC", label, SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, 0, kLabelPart, 0, left,
                   r.bottom, font);
    }
    const int right = std::max<int>(left, r.right - arrow_width);
    setting_field = true;
    HWND edit = make_child(group, "EDIT", text, WS_TABSTOP | ES_AUTOHSCROLL | field_style, WS_EX_CLIENTEDGE,
                           control_ID, left, right - left, r.bottom, font);
    notify_enter(edit);
    setting_field = false;
    if (arrow_width > 0)
        make_child(group, "SCROLLBAR", "", SBS_VERT, 0, kArrowsPart, right, r.right - right, r.bottom, font);
    if (!enabled) set_enable();
}

HWND PartsControl::part(int id) {
    HWND group = control_window();
    return group ? GetDlgItem(group, id) : nullptr;
}

int PartsControl::label_width() {
    std::string label = caption_text();
    return label.empty() ? 0 : text_width(label) + 4;
}

void PartsControl::set_field_text(const std::string& text) {
    if (HWND w = field()) {
        setting_field = true;
        SetWindowTextA(w, text.c_str());
        setting_field = false;
    }
}

std::string PartsControl::field_text() {
    HWND w = field();
    if (!w) return "";
    std::string text(static_cast<size_t>(GetWindowTextLengthA(w)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

Value* PartsControl::set_property(Value** arg_list, int count) {
    // The caption is the label part; the parts window itself shows no text.
    Value* prop = count > 1 ? arg_list[1] : nullptr;
    if ((prop == names().caption || prop == names().text) && arg_list[0]) {
        caption = new String(arg_list[0]->to_string());
        if (HWND label = part(kLabelPart)) SetWindowTextA(label, caption->to_string());
        return arg_list[0];
    }
    return HostControl::set_property(arg_list, count);
}

}  // namespace host_controls

void install_host_controls() {
    host_controls::install_button_controls();
    host_controls::install_edittext_control();
    host_controls::install_spinner_control();
    host_controls::install_list_controls();
    host_controls::install_choice_controls();
    host_controls::install_color_controls();
    host_controls::install_progress_controls();
    host_controls::install_group_controls();
    host_controls::install_image_controls();
    host_controls::install_subrollout_control();
}
