// execute_test.cpp - ExecuteMAXScriptScript: results of every kind in the holder, errors
//   quiet or printed, and a held value kept alive across collections until Free.
#include <gtest/gtest.h>

#include <cstring>

#include "host/core/listener.h"
#include "host/core/script_runner.h"

TEST(ExecuteMAXScriptScript, DeliversTheLastValueByKindAndReportsErrors) {
    FPValue r;
    r.Init();
    ASSERT_TRUE(ExecuteMAXScriptScript("a = 4; a * 10", MAXScript::ScriptSource::Dynamic, FALSE, &r));
    EXPECT_EQ(r.type, TYPE_INT);
    EXPECT_EQ(r.i, 40);
    ASSERT_TRUE(ExecuteMAXScriptScript("\"abc\" + \"def\"", MAXScript::ScriptSource::Dynamic, FALSE, &r));
    ASSERT_EQ(r.type, TYPE_STRING);
    EXPECT_STREQ(r.s, "abcdef");
    ASSERT_TRUE(ExecuteMAXScriptScript("1.5 * 2", MAXScript::ScriptSource::Dynamic, FALSE, &r));
    EXPECT_EQ(r.type, TYPE_FLOAT);
    EXPECT_EQ(r.f, 3.0f);
    ASSERT_TRUE(ExecuteMAXScriptScript("a == 4", MAXScript::ScriptSource::Dynamic, FALSE, &r));
    EXPECT_EQ(r.type, TYPE_BOOL);
    EXPECT_EQ(r.i, 1);

    // An array is held, and survives collections until the holder lets it go.
    ASSERT_TRUE(ExecuteMAXScriptScript("#(\"kept\" + \"value\", 2)", MAXScript::ScriptSource::Dynamic, FALSE, &r));
    ASSERT_EQ(r.type, TYPE_VALUE);
    ExecuteMAXScriptScript("gc(); for i = 1 to 1000 collect (i as string); gc()", MAXScript::ScriptSource::Dynamic, TRUE, nullptr);
    EXPECT_EQ(print_form(r.v), "#(\"keptvalue\", 2)");
    r.Free();
    EXPECT_EQ(r.type, TYPE_VOID);

    // Errors: the holder is left empty, printed only when not quiet.
    listener_clear();
    ASSERT_TRUE(ExecuteMAXScriptScript("5", MAXScript::ScriptSource::Dynamic, FALSE, &r));
    EXPECT_FALSE(ExecuteMAXScriptScript("undefined.foo", MAXScript::ScriptSource::Dynamic, TRUE, &r));
    EXPECT_EQ(r.type, TYPE_VOID);
    EXPECT_FALSE(ExecuteMAXScriptScript("x = (1 +", MAXScript::ScriptSource::Dynamic, TRUE, &r));
    EXPECT_EQ(listener_text(), "");
    EXPECT_FALSE(ExecuteMAXScriptScript("\"a\" + 1", MAXScript::ScriptSource::Dynamic, FALSE, &r));
    EXPECT_EQ(r.type, TYPE_VOID);
    EXPECT_NE(listener_text().find("-- No \"\"+\"\" function for \"a\""), std::string::npos) << listener_text();
    // Globals persist from one call to the next; the engine is the one the runner uses.
    ASSERT_TRUE(ExecuteMAXScriptScript("execute \"a + 1\"", MAXScript::ScriptSource::Dynamic, FALSE, &r));
    EXPECT_EQ(r.i, 5);
}
