// host_image_controls.cpp - bitmap and imgTag (a script bitmap painted into the control; imgTag
// raises the mouse events) and hyperLink (a coloured caption that opens its address).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "host/core/dialog_answers.h"
#include "host/core/errors.h"
#include "host/win32/host_controls.h"
#include "host/win32/images.h"

namespace host_controls {

namespace {

// Draws bm stretched over r; nothing when it has no image.
void draw_bitmap(HDC dc, RECT r, Bitmap* bm) {
    if (!bm || r.right <= r.left || r.bottom <= r.top) return;
    PBITMAPINFO dib = bm->ToDib(24);
    if (!dib) return;
    const BYTE* bits = reinterpret_cast<const BYTE*>(dib) + dib->bmiHeader.biSize;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, bm->Width(), bm->Height(), bits, dib,
                  DIB_RGB_COLORS, SRCCOPY);
    LocalFree(dib);
}

// A .bmp file read through Win32 into a script bitmap; null when it is none.
Value* read_bmp_file(const std::string& path) {
    HBITMAP handle = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!handle) return nullptr;
    BITMAP info{};
    GetObjectA(handle, sizeof info, &info);
    const int w = info.bmWidth, h = std::abs(info.bmHeight);
    std::vector<BYTE> rows(size_t(w) * 4 * size_t(h));
    BITMAPINFO want{};
    want.bmiHeader.biSize = sizeof want.bmiHeader;
    want.bmiHeader.biWidth = w;
    want.bmiHeader.biHeight = -h;  // top row first
    want.bmiHeader.biPlanes = 1;
    want.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    const int got = GetDIBits(screen, handle, 0, UINT(h), rows.data(), &want, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(handle);
    if (got != h || w <= 0) return nullptr;
    auto* bm = new Bitmap(w, h);
    std::vector<BMM_Color_64> line(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        const BYTE* src = rows.data() + size_t(y) * size_t(w) * 4;
        for (int x = 0; x < w; ++x)
            line[size_t(x)] = {WORD(src[x * 4 + 2] * 257), WORD(src[x * 4 + 1] * 257), WORD(src[x * 4] * 257), 0xffff};
        bm->PutPixels(0, y, w, line.data());
    }
    return new MAXBitMap(bm);
}

class BitmapControl : public DrawnControl {
public:
    Value* image = nullptr;  // a MAXBitMap, or null
    std::string file_name;

    BitmapControl(Value* name, Value* caption, Value** keyparms, int count) : DrawnControl(name, caption, keyparms, count) {
        if (Value* v = control_param(Name::intern("bitmap"))) set_image(v);
        if (Value* v = control_param(Name::intern("fileName"))) set_file(v);
    }

    void set_image(Value* v) {
        if (v == &undefined) {
            image = nullptr;
            return;
        }
        if (v->tag != &MAXBitMap_class) throw TypeError("bitmap", v, &MAXBitMap_class);
        image = v;
    }
    void set_file(Value* v) {
        if (v->tag != &String_class) throw TypeError("fileName", v, &String_class);
        Value* read = read_bmp_file(v->to_string());
        if (!read) throw RuntimeError(std::string("bitmap: cannot read the image file: ") + v->to_string());
        image = read;
        file_name = v->to_string();
    }
    Bitmap* bitmap() { return image ? static_cast<MAXBitMap*>(image)->bm : nullptr; }

    void compute_layout(Rollout* ro, layout_data* pos) override {
        // As large as the image unless width:/height: say otherwise.
        Bitmap* bm = bitmap();
        pos->width = bm ? bm->Width() : 50;
        pos->height = bm ? bm->Height() : 50;
        align_by_default(ro, pos, names().center);
    }

    void paint(HDC dc, RECT client) override {
        const COLORREF background = parent_rollout ? parent_rollout->background_color() : GetSysColor(COLOR_BTNFACE);
        if (!bitmap()) {
            HBRUSH page = CreateSolidBrush(background);
            FillRect(dc, &client, page);
            DeleteObject(page);
        }
        draw_bitmap(dc, client, bitmap());
    }

    Value* get_property(Value** arg_list, int count) override {
        Value* prop = count > 0 ? arg_list[0] : nullptr;
        if (prop == Name::intern("bitmap")) return image ? image : &undefined;
        if (prop == Name::intern("fileName")) return new String(file_name.c_str());
        return DrawnControl::get_property(arg_list, count);
    }
    Value* set_property(Value** arg_list, int count) override {
        Value* val = count > 0 ? arg_list[0] : nullptr;
        Value* prop = count > 1 ? arg_list[1] : nullptr;
        if (val && prop == Name::intern("bitmap")) {
            set_image(val);
            file_name.clear();
            redraw();
            return val;
        }
        if (val && prop == Name::intern("fileName")) {
            set_file(val);
            redraw();
            return val;
        }
        return DrawnControl::set_property(arg_list, count);
    }
    void gc_trace() override {
        DrawnControl::gc_trace();
        heap_detail::trace(image);
    }
};

// imgTag: a bitmap that reports the mouse. Button events get (pos, flags), as the host's do.
class ImgTagControl : public BitmapControl {
public:
    bool inside = false;  // the pointer is over the control

    using BitmapControl::BitmapControl;

    void mouse(UINT message, WPARAM wParam, LPARAM lParam) override {
        Value* event = nullptr;
        switch (message) {
            case WM_LBUTTONDOWN: event = Name::intern("lbuttondown"); break;
            case WM_LBUTTONUP: event = Name::intern("lbuttonup"); break;
            case WM_LBUTTONDBLCLK: event = Name::intern("lbuttondblclk"); break;
            case WM_RBUTTONDOWN: event = Name::intern("rbuttondown"); break;
            case WM_RBUTTONUP: event = Name::intern("rbuttonup"); break;
            case WM_MBUTTONDOWN: event = Name::intern("mbuttondown"); break;
            case WM_MBUTTONUP: event = Name::intern("mbuttonup"); break;
            case WM_MOUSEMOVE: event = Name::intern("mousemove"); break;
            case WM_MOUSELEAVE:
                inside = false;
                raise(Name::intern("mouseout"));
                return;
        }
        if (!event) return;
        if (message == WM_MOUSEMOVE && !inside) {
            inside = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, control_window(), 0};
            TrackMouseEvent(&track);
            raise(Name::intern("mouseover"));
        }
        const float x = float(short(LOWORD(lParam))), y = float(short(HIWORD(lParam)));
        const int flags = int(wParam);
        raise_with(event, [x, y, flags](Value** args) {
            args[0] = new Point2Value(x, y);
            args[1] = Integer::intern(flags);
            return 2;
        });
        // A press and release in the control is a click.
        if (message == WM_LBUTTONUP) raise(Name::intern("click"));
        if (message == WM_LBUTTONDBLCLK) raise(Name::intern("dblclick"));
    }
};

class HyperlinkControl : public DrawnControl {
public:
    std::string address;
    COLORREF color = RGB(0, 0, 255), hover_color = RGB(0, 0, 255), visited_color = RGB(128, 0, 128);
    bool visited = false, hovering = false;

    HyperlinkControl(Value* name, Value* caption, Value** keyparms, int count)
        : DrawnControl(name, caption, keyparms, count) {
        if (Value* v = control_param(Name::intern("address"))) address = v->to_string();
        if (Value* v = control_param(names().color)) color = hover_color = v->to_colorref();
        if (Value* v = control_param(Name::intern("hoverColor"))) hover_color = v->to_colorref();
        if (Value* v = control_param(Name::intern("visitedColor"))) visited_color = v->to_colorref();
    }

    void compute_layout(Rollout* ro, layout_data* pos) override {
        pos->height = 15;
        pos->width = text_width(caption_text()) + 2;
        align_by_default(ro, pos, names().left);
    }
    COLORREF text_color() const { return hovering ? hover_color : visited ? visited_color : color; }

    void paint(HDC dc, RECT client) override {
        const COLORREF background = parent_rollout ? parent_rollout->background_color() : GetSysColor(COLOR_BTNFACE);
        HBRUSH page = CreateSolidBrush(background);
        FillRect(dc, &client, page);
        DeleteObject(page);
        LOGFONTA lf{};
        HFONT base = parent_rollout ? parent_rollout->font : nullptr;
        GetObjectA(base ? static_cast<HGDIOBJ>(base) : GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
        lf.lfUnderline = TRUE;
        HFONT underlined = CreateFontIndirectA(&lf);
        HGDIOBJ old = SelectObject(dc, underlined);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, enabled ? text_color() : GetSysColor(COLOR_GRAYTEXT));
        std::string text = caption_text();
        DrawTextA(dc, text.c_str(), int(text.size()), &client, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
        DeleteObject(underlined);
    }

    void mouse(UINT message, WPARAM, LPARAM) override {
        if (message == WM_MOUSEMOVE && !hovering) {
            hovering = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, control_window(), 0};
            TrackMouseEvent(&track);
            redraw();
        } else if (message == WM_MOUSELEAVE) {
            hovering = false;
            redraw();
        } else if (message == WM_LBUTTONUP && enabled) {
            visited = true;
            redraw();
            // A run without a message loop opens nothing outside itself.
            if (!dialogs_answered_from_list() && !address.empty())
                ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            else
                note_dialog_answer("hyperLink", address, "not opened");
        }
    }

    BOOL handle_message(Rollout*, UINT message, WPARAM wParam, LPARAM) override {
        return right_clicked(message, wParam);
    }

    Value* get_property(Value** arg_list, int count) override {
        Value* prop = count > 0 ? arg_list[0] : nullptr;
        if (prop == Name::intern("address")) return new String(address.c_str());
        if (prop == names().color) return new ColorValue(color);
        if (prop == Name::intern("hoverColor")) return new ColorValue(hover_color);
        if (prop == Name::intern("visitedColor")) return new ColorValue(visited_color);
        return DrawnControl::get_property(arg_list, count);
    }
    Value* set_property(Value** arg_list, int count) override {
        Value* val = count > 0 ? arg_list[0] : nullptr;
        Value* prop = count > 1 ? arg_list[1] : nullptr;
        if (val && prop == Name::intern("address")) {
            if (val->tag != &String_class) throw TypeError("address", val, &String_class);
            address = val->to_string();
            return val;
        }
        COLORREF* target = prop == names().color ? &color
                             : prop == Name::intern("hoverColor") ? &hover_color
                             : prop == Name::intern("visitedColor") ? &visited_color
                                                                    : nullptr;
        if (val && target) {
            *target = val->to_colorref();
            redraw();
            return val;
        }
        Value* result = DrawnControl::set_property(arg_list, count);
        redraw();
        return result;
    }
};

}  // namespace

void install_image_controls() {
    install_rollout_control(Name::intern("bitmap"), make_control<BitmapControl>);
    install_rollout_control(Name::intern("imgTag"), make_control<ImgTagControl>);
    install_rollout_control(Name::intern("hyperLink"), make_control<HyperlinkControl>);
}

}  // namespace host_controls
