// shader_bridge_test.cpp - generateHLSL and dragDropShaderNode: the request texts, and
// a tiny companion library run by the host's script engine.
#include <gtest/gtest.h>

#include "host/core/script_runner.h"
#include "script/shader_request.h"
#include "tests/script/script_session.h"

namespace {

TEST(ShaderRequest, TextIsBuiltExactlyWithEachElementUnchanged) {
    const struct {
        const char *output, *socket, *parameters, *text;
    } cases[] = {
        {"Result", "3", "2",
         "kelvori.processInput \"Result\" 3 socketIndex:2 alwaysProcess:#(3) functionParameters:#(2)"},
        // No quoting or escaping is added: only the first text is framed.
        {"a \"b\"", "\"s\"", "#x",
         "kelvori.processInput \"a \"b\"\" \"s\" socketIndex:#x alwaysProcess:#(\"s\") functionParameters:#(#x)"},
        {"", "", "", "kelvori.processInput \"\"  socketIndex: alwaysProcess:#() functionParameters:#()"},
    };
    for (const auto& c : cases) EXPECT_EQ(processInputRequest(c.output, c.socket, c.parameters), c.text);
    // Long texts are carried whole.
    const std::string longText(3000, 'n');
    const std::string request = processInputRequest(longText, "1", "1");
    EXPECT_EQ(request, "kelvori.processInput \"" + longText +
                           "\" 1 socketIndex:1 alwaysProcess:#(1) functionParameters:#(1)");
    EXPECT_STREQ(kAddShaderNodeRequest, "kelvori.addShaderNode kelvori.lastShaderNodeIndex; return_ ok");
}

TEST(ShaderRequest, ValuesThatAreNotThreeTextsAreRefusedWithTheHostsError) {
    ScriptSession s;
    s.addNodes(1, 1);
    EXPECT_EQ(errorOf([&] { s.set("generateHLSL", I(5)); }), "-- Type error: generateHLSL requires Array, got: 5");
    EXPECT_EQ(errorOf([&] { s.set("generateHLSL", arrayOf({S("a"), S("b")})); }),
              "-- Type error: generateHLSL requires Array, got: #(\"a\", \"b\")");
    EXPECT_EQ(errorOf([&] { s.set("generateHLSL", arrayOf({S("a"), I(3), S("b")})); }),
              "-- Unable to convert: 3 to type: String");
    EXPECT_EQ(s.nodeCount(), 1u);
}

// The result of running text: its string, "FAILED" when the run failed, else the kind.
std::string run(const std::string& text) {
    FPValue r;
    r.Init();
    std::string out = "FAILED";
    if (ExecuteMAXScriptScript(text.c_str(), MAXScript::ScriptSource::Dynamic, TRUE, &r)) {
        if (r.type == TYPE_STRING) out = r.s;
        else if (r.type == TYPE_INT) out = std::to_string(r.i);
        else if (r.type == TYPE_BOOL) out = r.i ? "true" : "false";
        else out = "kind " + std::to_string(r.type);
    }
    r.Free();
    return out;
}

// A rollout with the control and a companion library that answers with what it was
// given, counts its calls, and works on the control while it runs.
const char kLibrary[] = R"(
rollout bridgeTest "Bridge" width:220 height:180 (
    SchematicControl sc "Schematic" width:200 height:160
)
createDialog bridgeTest
global kelvoriCalls = 0
struct kelvoriLib (
    lastShaderNodeIndex = 2,
    fn processInput output socket socketIndex:0 alwaysProcess:#() functionParameters:#() = (
        kelvoriCalls += 1
        local given = output + "|" + (socket as string) + "|" + ((classOf socket) as string)
        given + "|" + (socketIndex as string) + "|" + (alwaysProcess.count as string) + ":" + (alwaysProcess[1] as string) + "|" + (functionParameters[1] as string)
    ),
    fn addShaderNode index = (
        kelvoriCalls += 1
        local c = bridgeTest.sc
        c.activeNode = c.addNode
        c.nodeName = "shader " + (index as string)
    )
)
global kelvori = kelvoriLib()
-- Libraries that fail, answer no text, and work on the control while they run.
struct failingLib ( fn processInput output socket socketIndex:0 alwaysProcess:#() functionParameters:#() = output.nope )
struct numberLib ( fn processInput output socket socketIndex:0 alwaysProcess:#() functionParameters:#() = 42 )
struct nestingLib (
    fn processInput output socket socketIndex:0 alwaysProcess:#() functionParameters:#() = (
        if output == "inner" then return "inner answer"
        local c = bridgeTest.sc
        c.activeNode = c.addNode
        c.nodeName = "from the library"
        c.addOutSocket
        c.activeNode = 1
        c.deleteActiveNode
        "nodes " + (c.getNodeCount as string) + " " + (c.generateHLSL = #("inner", "1", "1"))
    )
)
"ready"
)";

class ShaderBridge : public ::testing::Test {
protected:
    void SetUp() override {
        PluginSession::get();
        ASSERT_EQ(run("1 + 1"), "2") << "the host's script engine does not run";
        ASSERT_EQ(run(kLibrary), "ready");
    }
    void TearDown() override { run("destroyDialog bridgeTest"); }
};

TEST_F(ShaderBridge, GenerateHLSLHandsTheRequestToTheLibraryAndAnswersItsText) {
    const struct {
        const char* elements;
        const char* answer;
    } cases[] = {
        {R"(#("Result", "3", "2"))", "Result|3|Integer|2|1:3|2"},
        {R"(#("Result", "\"quoted\"", "2"))", "Result|quoted|String|2|1:quoted|2"},
        {R"(#("Out", "1", "4", "this is never sent (", 5))", "Out|1|Integer|4|1:1|4"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(std::string("bridgeTest.sc.generateHLSL = ") + c.elements), c.answer) << c.elements;
    // A request far longer than 512 bytes arrives whole.
    const std::string longName(700, 'n');
    EXPECT_EQ(run("bridgeTest.sc.generateHLSL = #(\"" + longName + "\", \"1\", \"1\")"),
              longName + "|1|Integer|1|1:1|1");
    EXPECT_EQ(run("kelvoriCalls"), "4");

    // Refused values run nothing.
    EXPECT_EQ(run("bridgeTest.sc.generateHLSL = #(\"a\", \"b\")"), "FAILED");
    EXPECT_EQ(run("kelvoriCalls"), "4");

    // A library that fails, answers no text, or is missing: an empty string.
    for (const char* library : {"failingLib()", "numberLib()", "undefined"})
        EXPECT_EQ(run(std::string("kelvori = ") + library + "; bridgeTest.sc.generateHLSL = #(\"a\", \"1\", \"1\")"),
                  "")
            << library;
}

TEST_F(ShaderBridge, TheLibraryMayWorkOnTheControlWhileItsRequestRuns) {
    run("bridgeTest.sc.addNode; bridgeTest.sc.addNode");
    // It adds a node, deletes the first, and asks the control for an inner request.
    run("kelvori = nestingLib()");
    EXPECT_EQ(run("bridgeTest.sc.generateHLSL = #(\"Result\", \"1\", \"1\")"), "nodes 2 inner answer");
    EXPECT_EQ(run("bridgeTest.sc.getNodeCount"), "2");
    EXPECT_EQ(run("bridgeTest.sc.activeNode = 2; bridgeTest.sc.nodeName"), "from the library");
    EXPECT_EQ(run("bridgeTest.sc.addNode"), "3");
}

TEST_F(ShaderBridge, DragDropAsksTheLibraryForItsLastNodeAndAnswersTrueWhateverHappens) {
    EXPECT_EQ(run("bridgeTest.sc.dragDropShaderNode"), "true");
    EXPECT_EQ(run("bridgeTest.sc.getNodeCount"), "1");
    EXPECT_EQ(run("bridgeTest.sc.activeNode = 1; bridgeTest.sc.nodeName"), "shader 2");
    EXPECT_EQ(run("kelvori = undefined; bridgeTest.sc.dragDropShaderNode"), "true");
    EXPECT_EQ(run("bridgeTest.sc.getNodeCount"), "1");
}

}  // namespace
