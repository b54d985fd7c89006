// host_controls_test.cpp - the host's rollout controls driven as a user drives them: real key,
// mouse and button messages to the windows inside a dialog, and the events they raise.
#include <gtest/gtest.h>


#include <functional>
#include <string>

#include "host/core/errors.h"
#include "host/core/function.h"
#include "host/core/listener.h"
#include "host/win32/rollout.h"
#include "tests/support/host_test_support.h"

namespace {

// The body of a captioned control, the field of an edittext or spinner, the n-th radio button.
HWND inner(RolloutControl* ctl, int id) { return GetDlgItem(ctl->control_window(), id); }
HWND body(RolloutControl* ctl) { return inner(ctl, ctl->control_ID); }

void key(HWND w, UINT vk) {
    SendMessageA(w, WM_KEYDOWN, vk, 1);
    SendMessageA(w, WM_KEYUP, vk, 0xC0000001);
}
void type(HWND w, const char* text) {
    for (const char* c = text; *c; ++c) SendMessageA(w, WM_CHAR, WPARAM(*c), 1);
}
void click(HWND w, int x, int y, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP) {
    SendMessageA(w, down, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(w, up, 0, MAKELPARAM(x, y));
}

std::string property(RolloutControl* ctl, const char* name) {
    Value* args[] = {Name::intern(name)};
    return print_form(ctl->get_property(args, 1));
}

struct EventCase {
    const char* keyword;
    std::vector<Value*> params;
    std::vector<const char*> events;                  // handlers that record what they get
    std::function<void(RolloutControl*)> act;         // what the user does
    std::string expected;                             // the events in order, "event args;"
    const char* property_name;                        // read afterwards
    std::string property_value;
};

class HostControlEvents : public ::testing::Test {
protected:
    void SetUp() override {
        ro = new Rollout(Name::intern("events"), new String("Events"));
        root.slot = ro;
        listener_clear();
    }
    void TearDown() override { ro->close(); }

    // A handler that appends "event arg arg;" to log.
    Value* recorder(const char* event) {
        return new NativeFunction(event, [this, event](Value** args, int count) -> Value* {
            log += event;
            for (int i = 0; i < count; ++i) log += " " + print_form(args[i]);
            log += ";";
            return &ok;
        });
    }

    Rooted root;
    Rollout* ro = nullptr;
    std::string log;
};

TEST_F(HostControlEvents, UserActionsRaiseTheDocumentedEventsWithTheirArguments) {
    Value* items = new Array(0);
    for (const char* s : {"a", "b", "c"}) static_cast<Array*>(items)->append(new String(s));
    Rooted keep_items(items);
    Value* multi_start = new Array(0);
    static_cast<Array*>(multi_start)->append(new Integer(1));
    Rooted keep_multi(multi_start);

    std::vector<EventCase> cases = {
        {"dropdownlist", keyparms({{"items", items}}), {"selected"},
         [](RolloutControl* c) { key(body(c), VK_DOWN); }, "selected 2;", "selected", "\"b\""},
        {"listbox", keyparms({{"items", items}, {"height", new Integer(3)}}), {"selected", "doubleClicked"},
         [](RolloutControl* c) {
             click(body(c), 5, 13 * 2 + 5);
             click(body(c), 5, 13 * 2 + 5, WM_LBUTTONDBLCLK);
         },
         "selected 3;doubleClicked 3;", "selection", "3"},
        {"multilistbox", keyparms({{"items", items}, {"selection", multi_start}}), {"selected", "selectionEnd"},
         [](RolloutControl* c) { click(body(c), 5, 13 * 2 + 5); }, "selected 3;selectionEnd;", "selection", "#(1, 3)"},
        {"combobox", keyparms({{"items", items}}), {"changed", "entered"},
         [](RolloutControl* c) {
             HWND edit = FindWindowExA(body(c), nullptr, "EDIT", nullptr);
             SetWindowTextA(edit, "");
             type(edit, "z\r");
         },
         "changed \"z\";entered \"z\";", "text", "\"z\""},
        {"radiobuttons", keyparms({{"labels", items}}), {"changed"},
         [](RolloutControl* c) { SendMessageA(inner(c, 102), BM_CLICK, 0, 0); }, "changed 3;", "state", "3"},
        {"checkbutton", {}, {"changed"}, [](RolloutControl* c) { SendMessageA(c->control_window(), BM_CLICK, 0, 0); },
         "changed true;", "checked", "true"},
        {"slider", keyparms({{"type", Name::intern("integer")}}), {"buttondown", "changed", "buttonup"},
         [](RolloutControl* c) { key(body(c), VK_RIGHT); }, "buttondown;changed 1;buttonup;", "value", "1"},
        {"edittext", {}, {"changed", "entered"}, [](RolloutControl* c) { type(body(c), "hi\r"); },
         "changed \"h\";changed \"hi\";entered \"hi\";", "text", "\"hi\""},
        {"spinner", keyparms({{"type", Name::intern("integer")}}), {"buttondown", "changed", "buttonup", "entered"},
         [](RolloutControl* c) {
             HWND arrows = inner(c, 2);
             SendMessageA(c->control_window(), WM_VSCROLL, SB_LINEUP, LPARAM(arrows));
             SendMessageA(c->control_window(), WM_VSCROLL, SB_ENDSCROLL, LPARAM(arrows));
         },
         "buttondown;changed 1;buttonup;entered true false;", "value", "1"},
        {"timer", keyparms({{"active", &true_value}}), {"tick"},
         [this](RolloutControl* c) { SendMessageA(ro->page, WM_TIMER, WPARAM(c->control_ID), 0); }, "tick;", "ticks", "1"},
        {"progressbar", {}, {"clicked"}, [](RolloutControl* c) { click(c->control_window(), 87, 3); }, "clicked 50;",
         "value", "0.0"},
    };

    for (size_t i = 0; i < cases.size(); ++i) {
        EventCase& k = cases[i];
        std::string name = std::string("c") + std::to_string(i);
        Value* name_value = Name::intern(name.c_str());
        ro->add_control(Name::intern(k.keyword), name_value, new String(k.keyword), k.params.data(),
                        int(k.params.size()));
        for (const char* event : k.events) ro->add_handler(name_value, Name::intern(event), recorder(event));
    }
    ASSERT_TRUE(ro->open());
    for (size_t i = 0; i < cases.size(); ++i) {
        EventCase& k = cases[i];
        SCOPED_TRACE(k.keyword);
        log.clear();
        RolloutControl* ctl = ro->controls[i];
        k.act(ctl);
        EXPECT_EQ(log, k.expected);
        EXPECT_EQ(property(ctl, k.property_name), k.property_value);
    }
    EXPECT_EQ(listener_text(), "");
}

TEST_F(HostControlEvents, AHandlerThatFailsIsReportedAndTheControlKeepsWorking) {
    Value* name = Name::intern("flip");
    ro->add_control(Name::intern("checkbutton"), name, new String("Flip"));
    ro->add_handler(name, Name::intern("changed"), new NativeFunction("changed", [](Value**, int) -> Value* {
                        throw RuntimeError("handler failed");
                    }));
    ASSERT_TRUE(ro->open());
    RolloutControl* ctl = ro->controls[0];
    SendMessageA(ctl->control_window(), BM_CLICK, 0, 0);
    EXPECT_NE(listener_text().find("handler failed"), std::string::npos);
    SendMessageA(ctl->control_window(), BM_CLICK, 0, 0);
    EXPECT_EQ(property(ctl, "checked"), "false");
}

}  // namespace

namespace {

TEST_F(HostControlEvents, ThePageFontBrushAndTooltipsGoWithThePage) {
    Value* keys[] = {Name::intern("tooltip"), new String("tip")};
    ro->add_control(Name::intern("colorpicker"), Name::intern("cp"), new String("Colour"), keys, 2);
    ro->has_bgcolor = true;
    ro->bgcolor = RGB(10, 20, 30);
    for (int opening = 0; opening < 2; ++opening) {
        ASSERT_TRUE(ro->open());
        HGDIOBJ font = ro->font, brush = ro->bg_brush;
        HWND tips = ro->tooltips;
        ASSERT_NE(GetObjectType(font), 0u);
        ASSERT_NE(GetObjectType(brush), 0u);
        ASSERT_TRUE(IsWindow(tips));
        RedrawWindow(ro->page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ro->close();
        EXPECT_EQ(GetObjectType(font), 0u);
        EXPECT_EQ(GetObjectType(brush), 0u);
        EXPECT_FALSE(IsWindow(tips));
    }
}

}  // namespace
