// value_test.cpp - conversions, print forms, names, class queries and error messages.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "host/core/errors.h"
#include "host/core/function.h"
#include "host/core/value.h"

namespace {

template <class Fn>
std::string error_of(Fn fn) {
    try {
        fn();
    } catch (MAXScriptException& e) {
        return e.message();
    }
    return "(no error)";
}

TEST(Conversions, NumbersConvertAndFloatsTruncateTowardZero) {
    EXPECT_EQ(Integer(5).to_float(), 5.0f);
    EXPECT_EQ(Float(2.7f).to_int(), 2);
    EXPECT_EQ(Float(-2.7f).to_int(), -2);
    EXPECT_EQ(Float(-0.5f).to_int(), 0);
    EXPECT_EQ(Float(3e10f).to_int(), 2147483647);
    EXPECT_EQ(Float(-3e10f).to_int(), -2147483647 - 1);
    Float nan_value(NAN);
    EXPECT_EQ(error_of([&] { nan_value.to_int(); }).substr(0, 22), "-- Unable to convert: ");
}

TEST(Conversions, ImpossibleConversionsNameValueAndType) {
    String abc("abc");
    Integer five(5);
    struct Case {
        std::function<void()> convert;
        const char* message;
    } cases[] = {
        {[&] { abc.to_int(); }, "-- Unable to convert: \"abc\" to type: Integer"},
        {[&] { abc.to_float(); }, "-- Unable to convert: \"abc\" to type: Float"},
        {[&] { five.to_string(); }, "-- Unable to convert: 5 to type: String"},
        {[&] { abc.to_bool(); }, "-- Unable to convert: \"abc\" to type: BooleanClass"},
        {[&] { five.to_point2(); }, "-- Unable to convert: 5 to type: Point2"},
        {[&] { undefined.to_colorref(); }, "-- Unable to convert: undefined to type: Color"},
        {[&] { five.to_node(); }, "-- Unable to convert: 5 to type: node"},
        {[&] { ok.to_mtlbase(); }, "-- Unable to convert: OK to type: material"},
        {[&] { true_value.to_controller(); }, "-- Unable to convert: true to type: controller"},
        {[&] { true_value.to_int(); }, "-- Unable to convert: true to type: Integer"},
    };
    for (auto& c : cases) EXPECT_EQ(error_of(c.convert), c.message);
}

TEST(Conversions, ColoursClampEachChannelAndTruncate) {
    EXPECT_EQ(ColorValue(300.0f, -5.0f, 127.9f).to_colorref(), 0x007F00FFu);
    EXPECT_EQ(ColorValue(NAN, 0.5f, 255.0f).to_colorref(), 0x00FF0000u);
    ColorValue from_ref(0x00574EC8u);  // (200, 78, 87)
    EXPECT_EQ(from_ref.r, 200.0f);
    EXPECT_EQ(from_ref.g, 78.0f);
    EXPECT_EQ(from_ref.b, 87.0f);
    EXPECT_EQ(from_ref.to_colorref(), 0x00574EC8u);
}

TEST(PrintForms, ScalarsPrintAsTheListenerShowsThem) {
    EXPECT_EQ(print_form(new Integer(5)), "5");
    EXPECT_EQ(print_form(new Integer(-12)), "-12");
    EXPECT_EQ(print_form(new Float(0.5f)), "0.5");
    EXPECT_EQ(print_form(new Float(1.0f)), "1.0");
    EXPECT_EQ(print_form(new Float(100.0f)), "100.0");
    EXPECT_EQ(print_form(new Float(-3.0f)), "-3.0");
    EXPECT_EQ(print_form(new Float(1e10f)), "1e+10");
    EXPECT_EQ(print_form(&true_value), "true");
    EXPECT_EQ(print_form(&false_value), "false");
    EXPECT_EQ(print_form(&ok), "OK");
    EXPECT_EQ(print_form(&undefined), "undefined");
    EXPECT_EQ(print_form(nullptr), "undefined");
}

TEST(PrintForms, StringsQuoteAndEscapeOnlyInSprin1) {
    String s("say \"hi\"\\");
    EXPECT_EQ(print_form(&s), "\"say \\\"hi\\\"\\\\\"");
    StringStream plain;
    s.sprint(&plain);
    EXPECT_EQ(plain.text, "say \"hi\"\\");
}

TEST(PrintForms, NamesPointsColoursArraysAndClasses) {
    EXPECT_EQ(print_form(Name::intern("printName")), "#printName");
    EXPECT_EQ(print_form(Name::intern("two words")), "#'two words'");
    EXPECT_EQ(print_form(new Point2Value(1, 2)), "[1,2]");
    EXPECT_EQ(print_form(new Point2Value(1.5f, -0.25f)), "[1.5,-0.25]");
    EXPECT_EQ(print_form(new ColorValue(224, 198, 87)), "(color 224 198 87)");
    EXPECT_EQ(print_form(new Array(0)), "#()");

    auto* inner = new Array(0);
    inner->append(new Integer(3));
    auto* a = new Array(0);
    a->append(new Integer(1));
    a->append(new String("x"));
    a->append(Name::intern("y"));
    a->append(inner);
    EXPECT_EQ(print_form(a), "#(1, \"x\", #y, #(3))");

    EXPECT_EQ(print_form(&Integer_class), "Integer");
    EXPECT_EQ(print_form(&Boolean_class), "BooleanClass");
    EXPECT_EQ(print_form(&Function_class), "Primitive");
}

TEST(PrintForms, LongTextIsNotTruncated) {
    std::string text(1000, 'q');
    EXPECT_EQ(print_form(new String(text.c_str())), "\"" + text + "\"");
}

TEST(Names, InterningGivesOneValuePerTextIgnoringCase) {
    int before = Name::interned_count();
    Value* first = Name::intern("HelloName");
    EXPECT_EQ(Name::interned_count(), before + 1);
    EXPECT_EQ(Name::intern("hellonAME"), first);
    EXPECT_EQ(Name::intern("HelloName"), first);
    EXPECT_EQ(Name::interned_count(), before + 1);
    EXPECT_STREQ(first->to_string(), "HelloName");  // the first spelling is kept
    EXPECT_EQ(Name::find("HELLONAME"), first);
    EXPECT_EQ(Name::find("neverInternedName"), nullptr);
    EXPECT_EQ(first->tag, &Name_class);
    EXPECT_NE(Name::intern("HelloNames"), first);
}

TEST(ClassQueries, ClassOfAndSuperClassOfAnswerTheTag) {
    Integer five(5);
    EXPECT_EQ(five.classOf_vf(nullptr, 0), &Integer_class);
    EXPECT_EQ(five.superClassOf_vf(nullptr, 0), &Value_class);
    EXPECT_EQ(Integer_class.classOf_vf(nullptr, 0), &value_metaclass);

    Value* extra[] = {&ok};
    EXPECT_EQ(error_of([&] { five.classOf_vf(extra, 1); }),
              "-- Argument count error: classOf wanted 1, got 2");
    EXPECT_EQ(error_of([&] { five.superClassOf_vf(extra, 1); }),
              "-- Argument count error: superClassOf wanted 1, got 2");
}

TEST(ClassQueries, IsKindOfFollowsTheClassChain) {
    ValueMetaClass base("TestBase");
    ValueMetaClass derived("TestDerived", &base);
    Integer v(1);
    v.tag = &derived;
    EXPECT_TRUE(v.is_kind_of(&derived));
    EXPECT_TRUE(v.is_kind_of(&base));
    EXPECT_TRUE(v.is_kind_of(&Value_class));
    EXPECT_FALSE(v.is_kind_of(&Integer_class));
    EXPECT_EQ(v.superClassOf_vf(nullptr, 0), &base);

    Value* cls[] = {&base};
    Value* not_a_class[] = {&v};
    EXPECT_EQ(v.isKindOf_vf(cls, 1), &true_value);
    EXPECT_EQ(v.isKindOf_vf(not_a_class, 1), &false_value);
    EXPECT_EQ(error_of([&] { v.isKindOf_vf(nullptr, 0); }),
              "-- Argument count error: isKindOf wanted 2, got 1");
}

TEST(DefaultBehaviour, UnknownPropertiesAndCallsRaiseErrors) {
    Integer five(5);
    Value* get[] = {Name::intern("foo")};
    Value* set[] = {new Integer(1), Name::intern("bar")};
    EXPECT_EQ(error_of([&] { five.get_property(get, 1); }), "-- Unknown property: \"foo\" in 5");
    EXPECT_EQ(error_of([&] { five.set_property(set, 2); }), "-- Unknown property: \"bar\" in 5");
    EXPECT_EQ(error_of([&] { five.apply(nullptr, 0); }),
              "-- Runtime error: Call needs function or class, got: 5");
}

TEST(Errors, TypeErrorNamesTheWantedClassWhenGiven) {
    ValueMetaClass bitmap("BitMap");
    Integer five(5);
    EXPECT_EQ(TypeError("nodeBitmap", &five, &bitmap).message(),
              "-- Type error: nodeBitmap requires BitMap, got: 5");
    EXPECT_EQ(TypeError("bad socket", new String("s")).message(), "-- Type error: bad socket, got: \"s\"");
    EXPECT_EQ(RuntimeError("it broke").message(), "-- Runtime error: it broke");
    EXPECT_EQ(ArgCountError("foo", 3, 1).message(), "-- Argument count error: foo wanted 3, got 1");
}

TEST(NativeFunctions, ApplyPassesArgumentsAndDefaultsToUndefined) {
    int seen_count = -1;
    Value* seen_first = nullptr;
    NativeFunction f("probe", [&](Value** args, int count) -> Value* {
        seen_count = count;
        seen_first = count ? args[0] : nullptr;
        return nullptr;
    });
    Value* args[] = {new Integer(9), &ok};
    EXPECT_EQ(f.apply(args, 2), &undefined);
    EXPECT_EQ(seen_count, 2);
    EXPECT_EQ(seen_first, args[0]);
    EXPECT_EQ(f.tag, &Function_class);
    EXPECT_EQ(print_form(&f), "probe()");

    NativeFunction twice("twice", [](Value** args, int) -> Value* { return new Integer(args[0]->to_int() * 2); });
    EXPECT_EQ(twice.apply(args, 1)->to_int(), 18);
}

}  // namespace
