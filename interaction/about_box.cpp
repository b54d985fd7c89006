// about_box.cpp - a modeless dialog from an in-memory template: caption, credit line, OK.
#include "interaction/about_box.h"

#include <string>
#include <vector>

#include "control/module.h"

namespace {

HWND openBox = nullptr;  // at most one box per process

constexpr WORD kStaticClass = 0x0082;
constexpr WORD kButtonClass = 0x0080;
constexpr int kCreditId = 100;

// Dialog templates are word streams with DWORD-aligned items.
class TemplateWriter {
public:
    void word(WORD w) { words.push_back(w); }
    void dword(DWORD d) {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    void text(const char* s) {
        for (; *s; ++s) word(WORD(static_cast<unsigned char>(*s)));
        word(0);
    }
    void align() {
        if (words.size() % 2) word(0);
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD cls, const char* title) {
        align();
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);  // extended style
        word(WORD(x)), word(WORD(y)), word(WORD(cx)), word(WORD(cy));
        word(id);
        word(0xFFFF), word(cls);
        text(title);
        word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }

private:
    std::vector<WORD> words;
};

const DLGTEMPLATE* aboutTemplate() {
    static const TemplateWriter writer = [] {
        TemplateWriter w;
        w.dword(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        w.dword(0);  // extended style
        w.word(2);   // items
        w.word(0), w.word(0), w.word(240), w.word(56);
        w.word(0);  // no menu
        w.word(0);  // standard dialog class
        w.text(kAboutCaption);
        w.word(8);
        w.text("MS Shell Dlg");
        w.item(SS_CENTER, 8, 10, 224, 12, kCreditId, kStaticClass, kAboutCredit);
        w.item(BS_DEFPUSHBUTTON | WS_TABSTOP, 95, 32, 50, 14, IDOK, kButtonClass, "OK");
        return w;
    }();
    return writer.get();
}

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                DestroyWindow(dialog);
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE: DestroyWindow(dialog); return TRUE;
        case WM_DESTROY:
            if (openBox == dialog) openBox = nullptr;
            return FALSE;
        default: return FALSE;
    }
}

}  // namespace

void showAboutBox(HWND controlWindow) {
    if (openBox && IsWindow(openBox)) {
        SetWindowPos(openBox, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        return;
    }
    // Owned by the rollout's top-level window: it stays above it and is destroyed
    // with it, so no box outlives the code behind its dialog procedure.
    HWND owner = controlWindow ? GetAncestor(controlWindow, GA_ROOT) : nullptr;
    openBox = CreateDialogIndirectParamA(vantrelModule(), aboutTemplate(), owner, aboutProc, 0);
    if (openBox) ShowWindow(openBox, SW_SHOW);
}
