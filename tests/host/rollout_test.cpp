// rollout_test.cpp - declaring controls, laying them out in a real page window,
// common properties, page messages and event handlers.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "host/core/errors.h"
#include "host/core/heap.h"
#include "host/core/function.h"
#include "host/core/listener.h"
#include "host/win32/rollout.h"
#include "tests/support/host_test_support.h"
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

namespace {

// A plain static control, the least a control class must say of itself.
struct PlainControl : RolloutControl {
    using RolloutControl::RolloutControl;
    LPCMSTR get_control_class() override { return _M("STATIC"); }
};

// A plain control that also records the page messages it is offered.
struct RecordingControl : PlainControl {
    using PlainControl::PlainControl;
    std::vector<UINT> offered;
    UINT claims = 0;       // message it handles
    UINT throws_on = 0;    // message it fails on
    BOOL handle_message(Rollout*, UINT message, WPARAM, LPARAM) override {
        offered.push_back(message);
        if (message == throws_on) throw RuntimeError("page message failed");
        return message == claims;
    }
};

RolloutControl* makeRecording(Value* name, Value* caption, Value** keyparms, int count) {
    return new (GC_IN_HEAP) RecordingControl(name, caption, keyparms, count);
}

RolloutControl* makeOtherLabel(Value* name, Value* caption, Value** keyparms, int count) {
    auto* ctl = new (GC_IN_HEAP) PlainControl(name, caption, keyparms, count);
    ctl->enabled = false;  // tells the two makers apart
    return ctl;
}

Value* keyword() { return Name::intern("recordingControl"); }

RECT rect_in_page(HWND control, HWND page) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string window_text(HWND w) {
    char buf[256] = {};
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

class RolloutTest : public ::testing::Test {
protected:
    void SetUp() override {
        install_rollout_control(keyword(), makeRecording);
        ro = new Rollout(Name::intern("testRollout"), new String("Test Rollout"));
        root.slot = ro;
        listener_clear();
    }
    void TearDown() override { ro->close(); }

    RecordingControl* declare(const char* name, std::vector<Value*> params = {}, const char* caption = "cap") {
        return static_cast<RecordingControl*>(ro->add_control(keyword(), Name::intern(name), new String(caption),
                                                              params.data(), static_cast<int>(params.size())));
    }

    Rooted root;
    Rollout* ro = nullptr;
};

void expect_rect(RECT r, int left, int top, int width, int height) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
}

TEST_F(RolloutTest, OpeningCreatesThePageAndPlacesEachControl) {
    RecordingControl* plain = declare("plain", {}, "Plain caption");
    RecordingControl* placed = declare("placed", keyparms({{"width", new Integer(60)},
                                                           {"height", new Integer(20)},
                                                           {"pos", new Point2Value(30, 40)}}));
    RecordingControl* right = declare("right", keyparms({{"width", new Integer(50)},
                                                         {"align", Name::intern("right")}}));
    RecordingControl* centred = declare("centred", keyparms({{"width", new Float(50.9f)},
                                                            {"align", Name::intern("center")},
                                                            {"offset", new Point2Value(3, 4)}}));
    ASSERT_TRUE(ro->open());
    ASSERT_TRUE((ro->page != nullptr));
    HWND page = ro->page;
    ASSERT_TRUE(IsWindow(page));

    char cls[64];
    GetClassNameA(page, cls, sizeof cls);
    EXPECT_STREQ(cls, "VantrelRolloutPage");
    EXPECT_EQ(window_text(page), "Test Rollout");

    // Full width less the margins, at the top; then each below the previous one.
    HWND w = plain->control_window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(GetParent(w), page);
    EXPECT_EQ(GetDlgCtrlID(w), plain->control_ID);
    EXPECT_EQ(window_text(w), "Plain caption");
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)), ro->font);
    expect_rect(rect_in_page(w, page), 13, 4, 174, 16);
    expect_rect(rect_in_page(placed->control_window(), page), 30, 40, 60, 20);
    expect_rect(rect_in_page(right->control_window(), page), 137, 65, 50, 16);
    expect_rect(rect_in_page(centred->control_window(), page), 78, 90, 50, 16);

    // The stored layout matches the window.
    Value* posName[] = {Name::intern("pos")};
    Value* heightName[] = {Name::intern("height")};
    EXPECT_EQ(print_form(placed->get_property(posName, 1)), "[30,40]");
    EXPECT_EQ(print_form(placed->get_property(heightName, 1)), "20");

    // The page's client area is the rollout width and fits the last control.
    RECT client;
    GetClientRect(page, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_GE(client.bottom, 90 + 16);
    EXPECT_LE(client.bottom, 90 + 16 + 20);

    auto& open = open_rollouts();
    EXPECT_NE(std::find(open.begin(), open.end(), ro), open.end());
}

TEST_F(RolloutTest, ControlIdentifiersAreFreshAtEachOpening) {
    RecordingControl* a = declare("a");
    RecordingControl* b = declare("b");
    ASSERT_TRUE(ro->open());
    int first_a = a->control_ID;
    EXPECT_NE(first_a, b->control_ID);
    ro->close();
    ASSERT_TRUE(ro->open());
    EXPECT_NE(a->control_ID, first_a);
    EXPECT_NE(a->control_ID, b->control_ID);
    int id = next_id();
    EXPECT_EQ(next_id(), id + 1);
}

TEST_F(RolloutTest, ClosingDestroysThePageAndEveryControlWindow) {
    RecordingControl* ctl = declare("ctl");
    ASSERT_TRUE(ro->open());
    HWND page = ro->page;
    HWND w = ctl->control_window();
    ASSERT_TRUE(IsWindow(w));

    ro->close();
    EXPECT_FALSE((ro->page != nullptr));
    EXPECT_FALSE(IsWindow(page));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(ctl->control_window(), nullptr);
    EXPECT_EQ(ro->font, nullptr);
    auto& open = open_rollouts();
    EXPECT_EQ(std::find(open.begin(), open.end(), ro), open.end());

    ASSERT_TRUE(ro->open());  // and it opens again
    EXPECT_TRUE(IsWindow(ctl->control_window()));
}

TEST_F(RolloutTest, ClosingThePageWindowItselfClosesTheRollout) {
    declare("ctl");
    ASSERT_TRUE(ro->open());
    HWND page = ro->page;
    SendMessageA(page, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_FALSE((ro->page != nullptr));
    auto& open = open_rollouts();
    EXPECT_EQ(std::find(open.begin(), open.end(), ro), open.end());
}

TEST_F(RolloutTest, BadLayoutParameterIsReportedAndTheOtherControlsStillOpen) {
    declare("broken", keyparms({{"width", new String("wide")}}));
    RecordingControl* fine = declare("fine");
    ASSERT_TRUE(ro->open());
    EXPECT_NE(listener_text().find("-- Unable to convert: \"wide\" to type: Integer"), std::string::npos)
        << listener_text();
    EXPECT_TRUE(IsWindow(fine->control_window()));
}

TEST_F(RolloutTest, PageMessagesGoToControlsUntilOneHandlesThem) {
    RecordingControl* first = declare("first");
    RecordingControl* second = declare("second");
    first->claims = WM_APP + 1;
    first->throws_on = WM_APP + 3;
    ASSERT_TRUE(ro->open());
    first->offered.clear();
    second->offered.clear();

    SendMessageA(ro->page, WM_APP + 1, 0, 0);
    SendMessageA(ro->page, WM_APP + 2, 0, 0);
    SendMessageA(ro->page, WM_APP + 3, 0, 0);  // a failing control does not stop the page
    EXPECT_EQ(first->offered, (std::vector<UINT>{WM_APP + 1, WM_APP + 2, WM_APP + 3}));
    EXPECT_EQ(second->offered, (std::vector<UINT>{WM_APP + 2, WM_APP + 3}));
    EXPECT_NE(listener_text().find("-- Runtime error: page message failed"), std::string::npos);
}

TEST_F(RolloutTest, DeclarationsCopyKeywordParametersAndRejectUnknownKeywords) {
    auto params = keyparms({{"width", new Integer(70)}});
    RecordingControl* ctl = declare("ctl", params);
    params[1] = new Integer(5);  // the caller's array is not kept
    EXPECT_EQ(ctl->control_param(Name::intern("WIDTH"))->to_int(), 70);
    EXPECT_EQ(ctl->control_param(Name::intern("height")), nullptr);
    EXPECT_EQ(ctl->parent_rollout, ro);
    EXPECT_EQ(ro->find_control(Name::intern("ctl")), ctl);

    try {
        ro->add_control(Name::intern("noSuchControlType"), Name::intern("x"), nullptr);
        FAIL() << "no error";
    } catch (RuntimeError& e) {
        EXPECT_EQ(e.message(), "-- Runtime error: No rollout control type: noSuchControlType");
    }
    EXPECT_EQ(ro->controls.size(), 1u);
}

TEST_F(RolloutTest, ReinstallingAKeywordReplacesItsMaker) {
    int count = installed_rollout_control_count();
    install_rollout_control(keyword(), makeOtherLabel);
    EXPECT_EQ(installed_rollout_control_count(), count);
    EXPECT_FALSE(declare("other")->enabled);
    install_rollout_control(keyword(), makeRecording);
    EXPECT_TRUE(declare("again")->enabled);
}

class ControlProperties : public RolloutTest {
protected:
    Value* get(RolloutControl* ctl, const char* name) {
        Value* args[] = {Name::intern(name)};
        return ctl->get_property(args, 1);
    }
    Value* set(RolloutControl* ctl, const char* name, Value* value) {
        Value* args[] = {value, Name::intern(name)};
        return ctl->set_property(args, 2);
    }
};

TEST_F(ControlProperties, ReadsAnswerCaptionStateAndPlacement) {
    RecordingControl* ctl = declare("lbl", keyparms({{"pos", new Point2Value(20, 30)},
                                                     {"width", new Integer(90)},
                                                     {"height", new Integer(24)}}), "Hello");
    ASSERT_TRUE(ro->open());
    EXPECT_EQ(print_form(get(ctl, "caption")), "\"Hello\"");
    EXPECT_EQ(print_form(get(ctl, "TEXT")), "\"Hello\"");
    EXPECT_EQ(get(ctl, "enabled"), &true_value);
    EXPECT_EQ(print_form(get(ctl, "pos")), "[20,30]");
    EXPECT_EQ(get(ctl, "width")->to_int(), 90);
    EXPECT_EQ(get(ctl, "height")->to_int(), 24);
    EXPECT_EQ(get(ctl, "visible"), &true_value);
}

TEST_F(ControlProperties, WritesChangeTheOpenWindow) {
    RecordingControl* ctl = declare("lbl");
    ASSERT_TRUE(ro->open());
    HWND w = ctl->control_window();

    Value* caption = new String("Renamed");
    EXPECT_EQ(set(ctl, "text", caption), caption);
    EXPECT_EQ(window_text(w), "Renamed");
    EXPECT_EQ(print_form(get(ctl, "caption")), "\"Renamed\"");

    set(ctl, "enabled", &false_value);
    EXPECT_FALSE(ctl->enabled);
    EXPECT_FALSE(IsWindowEnabled(w));
    set(ctl, "enabled", &true_value);
    EXPECT_TRUE(IsWindowEnabled(w));

    set(ctl, "pos", new Point2Value(50.7f, 60));
    set(ctl, "width", new Integer(40));
    set(ctl, "height", new Integer(30));
    expect_rect(rect_in_page(w, ro->page), 50, 60, 40, 30);

    set(ctl, "visible", &false_value);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(get(ctl, "visible"), &false_value);
}

TEST_F(ControlProperties, WritesWhileClosedAreKeptInTheLayout) {
    RecordingControl* ctl = declare("lbl");
    set(ctl, "width", new Integer(33));
    set(ctl, "enabled", &false_value);
    EXPECT_EQ(get(ctl, "width")->to_int(), 33);
    EXPECT_EQ(get(ctl, "enabled"), &false_value);
    ASSERT_TRUE(ro->open());
    EXPECT_FALSE(IsWindowEnabled(ctl->control_window()));  // created disabled
}

TEST_F(ControlProperties, UnknownNamesAndWrongValuesRaiseErrors) {
    RecordingControl* ctl = declare("lbl");
    try {
        get(ctl, "frobnicate");
        FAIL() << "no error";
    } catch (UnknownPropertyError& e) {
        EXPECT_EQ(e.message(), "-- Unknown property: \"frobnicate\" in RolloutControl:lbl");
    }
    EXPECT_THROW(set(ctl, "frobnicate", &ok), UnknownPropertyError);
    try {
        set(ctl, "width", new String("wide"));
        FAIL() << "no error";
    } catch (ConversionError& e) {
        EXPECT_EQ(e.message(), "-- Unable to convert: \"wide\" to type: Integer");
    }
    EXPECT_THROW(set(ctl, "pos", new Integer(3)), ConversionError);
}

TEST(RolloutControlClass, IdentityAndPrintForm) {
    PlainControl ctl(Name::intern("sc"), nullptr, nullptr, 0);
    EXPECT_EQ(ctl.tag, &RolloutControl_class);
    EXPECT_TRUE(ctl.is_kind_of(&RolloutControl_class));
    EXPECT_TRUE(ctl.is_kind_of(&Value_class));
    EXPECT_FALSE(ctl.is_kind_of(&Integer_class));
    EXPECT_EQ(print_form(&ctl), "RolloutControl:sc");
    EXPECT_EQ(print_form(ctl.classOf_vf(nullptr, 0)), "RolloutControl");
    EXPECT_EQ(print_form(&Rollout_class), "RolloutClass");
}

class EventHandlers : public RolloutTest {};

TEST_F(EventHandlers, HandlerRunsWithTheEventArguments) {
    RecordingControl* btn = declare("btn");
    RecordingControl* other = declare("other");
    std::vector<int> seen;
    int calls = 0;
    ro->add_handler(Name::intern("btn"), Name::intern("pressed"),
                    new NativeFunction("onPressed", [&](Value** args, int count) -> Value* {
                        ++calls;
                        for (int i = 0; i < count; ++i) seen.push_back(args[i]->to_int());
                        return new Integer(count);
                    }));
    Value* args[] = {new Integer(4), new Integer(-2)};
    Value* result = btn->call_event_handler(ro, Name::intern("PRESSED"), args, 2);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, (std::vector<int>{4, -2}));
    EXPECT_EQ(result->to_int(), 2);

    // Handlers belong to one control and one event.
    EXPECT_EQ(other->call_event_handler(ro, Name::intern("pressed"), args, 2), &undefined);
    EXPECT_EQ(btn->call_event_handler(ro, Name::intern("released"), nullptr, 0), &undefined);
    EXPECT_EQ(calls, 1);
}

TEST_F(EventHandlers, HandlerErrorsAreReportedOnTheListenerAndGoNoFurther) {
    RecordingControl* btn = declare("btn");
    ValueMetaClass bitmap("BitMap");
    ro->add_handler(Name::intern("btn"), Name::intern("pressed"),
                    new NativeFunction("bad", [&](Value** args, int) -> Value* {
                        throw TypeError("nodeBitmap", args[0], &bitmap);
                    }));
    ro->add_handler(Name::intern("btn"), Name::intern("released"),
                    new NativeFunction("worse", [](Value**, int) -> Value* { throw std::runtime_error("boom"); }));
    ro->add_handler(Name::intern("btn"), Name::intern("dropped"),
                    new NativeFunction("worst", [](Value**, int) -> Value* { throw 42; }));

    Value* args[] = {new Integer(5)};
    Value* result = nullptr;
    EXPECT_NO_THROW(result = btn->call_event_handler(ro, Name::intern("pressed"), args, 1));
    EXPECT_EQ(result, &undefined);
    EXPECT_EQ(listener_text(),
              "-- Error occurred in btn.pressed()\n-- Type error: nodeBitmap requires BitMap, got: 5\n");

    listener_clear();
    EXPECT_NO_THROW(btn->call_event_handler(ro, Name::intern("released"), nullptr, 0));
    EXPECT_NE(listener_text().find("btn.released(): boom"), std::string::npos) << listener_text();

    listener_clear();
    EXPECT_NO_THROW(btn->call_event_handler(ro, Name::intern("dropped"), nullptr, 0));
    EXPECT_NE(listener_text().find("btn.dropped(): unknown exception"), std::string::npos) << listener_text();
}

}  // namespace

namespace {

// ---- the host's own controls, driven by the messages a user's action sends ----

// Every event a rollout's handlers receive, as name(args) in print form.
struct EventLog {
    std::vector<std::string> seen;
    void listen(Rollout* ro, const char* control, const char* event) {
        std::string label = event;
        ro->add_handler(Name::intern(control), Name::intern(event),
                        new NativeFunction(event, [this, label](Value** args, int count) -> Value* {
                            std::string call = label + "(";
                            for (int i = 0; i < count; ++i) call += (i ? ", " : "") + print_form(args[i]);
                            seen.push_back(call + ")");
                            gc();  // the arguments must survive a collection in the handler
                            return &ok;
                        }));
    }
};

// Every window a control is made of: its own and the parts inside it.
std::vector<HWND> windows_of(RolloutControl* ctl) {
    std::vector<HWND> all{ctl->control_window()};
    for (HWND c = GetWindow(all[0], GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all.push_back(c);
    return all;
}

HWND part_of_class(RolloutControl* ctl, const char* cls) {
    return FindWindowExA(ctl->control_window(), nullptr, cls, nullptr);
}

void type_into(HWND field, const char* text) {
    SendMessageA(field, EM_SETSEL, 0x7fff, 0x7fff);  // at the end
    for (const char* c = text; *c; ++c) SendMessageA(field, WM_CHAR, static_cast<WPARAM>(*c), 1);
}

struct ControlCase {
    const char* keyword;
    std::vector<Value*> params;
    std::string caption;
    std::function<void(RolloutControl*, HWND page)> act;  // what the user does
    std::vector<std::string> events;                      // what the handlers hear
    std::vector<std::pair<const char*, std::string>> reads;
    std::pair<const char*, Value*> write;  // a script write: no event, shown in the window
    std::string shown;                     // the window text of the input part afterwards
    std::pair<const char*, Value*> bad;    // a value of the wrong kind: raises, changes nothing
};

class HostControls : public ControlProperties {};

TEST_F(HostControls, EachControlAnswersItsUserAndItsScript) {
    const std::vector<ControlCase> cases = {
        {"button", keyparms({{"width", new Integer(80)}}), "Go",
         [](RolloutControl* c, HWND) { SendMessageA(c->control_window(), BM_CLICK, 0, 0); },
         {"pressed()"}, {{"caption", "\"Go\""}, {"width", "80"}},
         {"text", new String("Again")}, "Again", {"enabled", new String("no")}},
        {"label", {}, "Hello",
         [](RolloutControl* c, HWND) { SendMessageA(c->control_window(), WM_LBUTTONDOWN, 0, 0); },
         {}, {{"text", "\"Hello\""}},
         {"caption", new String("Bye")}, "Bye", {"width", new String("wide")}},
        {"checkbox", keyparms({{"checked", &true_value}}), "Wire",
         [](RolloutControl* c, HWND) { SendMessageA(c->control_window(), BM_CLICK, 0, 0); },
         {"changed(false)"}, {{"checked", "false"}, {"caption", "\"Wire\""}},
         {"checked", &true_value}, "Wire", {"checked", new String("yes")}},
        {"edittext", keyparms({{"text", new String("x")}}), "Name",
         [](RolloutControl* c, HWND) { type_into(part_of_class(c, "EDIT"), "hi"); },
         {"changed(\"xh\")", "changed(\"xhi\")"}, {{"text", "\"xhi\""}, {"caption", "\"Name\""}},
         {"text", new String("set")}, "set", {"text", new Integer(4)}},
        {"spinner", keyparms({{"range", new Point2Value(0, 10)}, {"scale", new Float(0.5f)}}), "Size",
         [](RolloutControl* c, HWND page) {
             HWND arrows = part_of_class(c, "SCROLLBAR");
             SendMessageA(page, WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(arrows));
             HWND field = part_of_class(c, "EDIT");
             SetWindowTextA(field, "20");  // typed, taken when the field is left
             SendMessageA(field, WM_KILLFOCUS, 0, 0);
             SetWindowTextA(field, "abc");  // no number: put back, nothing raised
             SendMessageA(field, WM_KILLFOCUS, 0, 0);
             SendMessageA(page, WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(arrows));  // at the top
         },
         {"changed(0.5)", "changed(10.0)"}, {{"value", "10.0"}, {"range", "#(0.0, 10.0, 10.0)"}},
         {"value", new Float(2.25f)}, "2.25", {"range", new Integer(3)}},
        {"spinner", keyparms({{"type", Name::intern("integer")}, {"range", [] {
                                  auto* a = new Array(0);
                                  for (int v : {-5, 5, 2}) a->append(new Integer(v));
                                  return static_cast<Value*>(a);
                              }()}}),
         "Count",
         [](RolloutControl* c, HWND page) {
             HWND arrows = part_of_class(c, "SCROLLBAR");
             for (int i = 0; i < 2; ++i)
                 SendMessageA(page, WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(arrows));
         },
         {"changed(1)", "changed(0)"}, {{"value", "0"}, {"range", "#(-5.0, 5.0, 0.0)"}},
         {"value", new Float(-9.7f)}, "-5", {"value", new String("many")}},
    };

    // The handlers collect garbage; the table's values must outlive that.
    auto* table_values = new Array(0);
    Rooted keep(table_values);
    for (const ControlCase& c : cases) {
        for (Value* v : c.params) table_values->append(v);
        table_values->append(c.write.second);
        table_values->append(c.bad.second);
    }

    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.keyword);
        ro = new Rollout(Name::intern("controls"), new String("Controls"));
        root.slot = ro;
        std::vector<Value*> params = c.params;
        RolloutControl* ctl = ro->add_control(Name::intern(c.keyword), Name::intern("ctl"),
                                              new String(c.caption.c_str()), params.data(),
                                              static_cast<int>(params.size()));
        EventLog log;
        for (const char* event : {"pressed", "changed"}) log.listen(ro, "ctl", event);
        ASSERT_TRUE(ro->open());
        HWND input = part_of_class(ctl, "EDIT");
        if (!input) input = ctl->control_window();
        ASSERT_TRUE(IsWindow(input));

        c.act(ctl, ro->page);
        EXPECT_EQ(log.seen, c.events);
        for (auto& [name, form] : c.reads) EXPECT_EQ(print_form(get(ctl, name)), form) << name;

        log.seen.clear();
        set(ctl, c.write.first, c.write.second);
        EXPECT_TRUE(log.seen.empty()) << "a script write raised " << log.seen[0];
        EXPECT_EQ(window_text(input), c.shown);

        std::string before = print_form(get(ctl, c.bad.first));
        EXPECT_THROW(set(ctl, c.bad.first, c.bad.second), ConversionError);
        EXPECT_EQ(print_form(get(ctl, c.bad.first)), before);

        // Disabled, every part of it is.
        set(ctl, "enabled", &false_value);
        for (HWND w : windows_of(ctl)) EXPECT_FALSE(IsWindowEnabled(w));
        ro->close();
    }
}

TEST_F(HostControls, DeclaredDisabledAndHostControlsAreInstalledAtLoad) {
    for (const char* keyword : {"button", "label", "edittext", "checkbox", "spinner"})
        EXPECT_NE(find_rollout_control_maker(Name::intern(keyword)), nullptr) << keyword;
    auto params = keyparms({{"enabled", &false_value}});
    RolloutControl* spin = ro->add_control(Name::intern("spinner"), Name::intern("s"), new String("S"),
                                           params.data(), static_cast<int>(params.size()));
    ASSERT_TRUE(ro->open());
    EXPECT_EQ(get(spin, "enabled"), &false_value);
    for (HWND w : windows_of(spin)) EXPECT_FALSE(IsWindowEnabled(w));
}

// ---- rollouts as dialogs ----

class Dialogs : public RolloutTest {};

TEST_F(Dialogs, OpenAndCloseHandlersRunOnceAroundTheLiveControls) {
    auto params = keyparms({{"width", new Integer(90)}});
    RolloutControl* button = ro->add_control(Name::intern("button"), Name::intern("go"), new String("Go"),
                                             params.data(), static_cast<int>(params.size()));
    std::vector<std::string> seen;
    auto handler = [&](const char* event) {
        return new NativeFunction(event, [&, event](Value**, int) -> Value* {
            seen.push_back(std::string(event) + (IsWindow(button->control_window()) ? " with controls" : " without"));
            ro->close();  // closing from a handler neither recurses nor fails
            return &ok;
        });
    };
    ro->add_handler(ro->name, Name::intern("open"), handler("open"));
    ro->add_handler(ro->name, Name::intern("close"), handler("close"));
    ro->width = 220;
    ro->height = 150;

    for (int opening = 0; opening < 2; ++opening) {  // and the same at the next opening
        seen.clear();
        ASSERT_TRUE(ro->open());
        EXPECT_EQ(seen, (std::vector<std::string>{"open with controls", "close with controls"}));
        EXPECT_FALSE((ro->page != nullptr));
    }
    ro->handlers.clear();
    ro->add_handler(ro->name, Name::intern("close"), new NativeFunction("c", [&](Value**, int) -> Value* {
        seen.push_back(IsWindow(button->control_window()) ? "close with controls" : "close without");
        return &ok;
    }));
    const std::vector<std::function<void()>> closers = {
        [&] { ro->close(); },
        [&] { SendMessageA(ro->page, WM_CLOSE, 0, 0); },
        [&] { DestroyWindow(ro->page); },
    };
    for (auto& closeIt : closers) {
        seen.clear();
        ASSERT_TRUE(ro->open());
        RECT client;
        GetClientRect(ro->page, &client);
        EXPECT_EQ(client.right, 220);
        EXPECT_EQ(client.bottom, 150);
        LONG style = GetWindowLongA(ro->page, GWL_STYLE);
        EXPECT_TRUE(style & WS_CAPTION);
        EXPECT_FALSE(style & WS_THICKFRAME) << "a dialog is not resized";
        closeIt();
        EXPECT_FALSE((ro->page != nullptr));
        EXPECT_EQ(seen, std::vector<std::string>{"close with controls"});
    }
}

TEST_F(Dialogs, DialogLoopRunsUntilTheLastRolloutClosesAndPictureShowsTheControls) {
    run_dialog_loop();  // nothing open: returns at once
    auto params = keyparms({{"width", new Integer(120)}, {"height", new Integer(30)}});
    RolloutControl* button = ro->add_control(Name::intern("button"), Name::intern("go"), new String("Go"),
                                             params.data(), static_cast<int>(params.size()));
    EXPECT_FALSE(save_rollout_picture(ro, "closed.png"));
    ASSERT_TRUE(ro->open());

    const std::string path = exe_folder() + "\\test-output\\dialog_picture.png";
    CreateDirectoryA((exe_folder() + "\\test-output").c_str(), nullptr);
    ASSERT_TRUE(save_rollout_picture(ro, path.c_str()));
    int w = 0, h = 0, channels = 0;
    unsigned char* rgb = stbi_load(path.c_str(), &w, &h, &channels, 3);
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(w, 200);
    // Outside the button the page's colour; inside it the button's face and text.
    auto differs = [&](int x, int y) {
        const unsigned char* p = rgb + (size_t(y) * size_t(w) + size_t(x)) * 3;
        return p[0] != 197 || p[1] != 197 || p[2] != 197;
    };
    RECT r = rect_in_page(button->control_window(), ro->page);
    int inside = 0, outside = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool in = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            if (differs(x, y)) ++(in ? inside : outside);
        }
    stbi_image_free(rgb);
    EXPECT_GT(inside, 120 * 30 / 2) << "the button is drawn";
    EXPECT_EQ(outside, 0);

    // Two dialogs: one closed by its window's close box, one by its button's handler.
    Rooted second(new Rollout(Name::intern("second"), new String("Second")));
    auto* other = static_cast<Rollout*>(second.slot);
    ASSERT_TRUE(other->open(300, 40));
    ro->add_handler(Name::intern("go"), Name::intern("pressed"), new NativeFunction("close", [&](Value**, int) -> Value* {
        ro->close();
        return &ok;
    }));
    PostMessageA(other->page, WM_CLOSE, 0, 0);
    PostMessageA(button->control_window(), BM_CLICK, 0, 0);
    run_dialog_loop();
    EXPECT_FALSE((ro->page != nullptr));
    EXPECT_FALSE((other->page != nullptr));
    EXPECT_TRUE(open_rollouts().empty());
}

}  // namespace
