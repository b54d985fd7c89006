// real_names_test.cpp - the examples and the reference's code call no function the real host lacks.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/maxscript/builtins.h"
#include "host/maxscript/engine.h"
#include "host/maxscript/lexer.h"

namespace {

std::string read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string folded(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The maxscript code blocks of a markdown page.
std::vector<std::string> code_blocks(const std::string& page) {
    std::vector<std::string> blocks;
    const std::string open = "```maxscript\n";
    for (size_t at = page.find(open); at != std::string::npos; at = page.find(open, at)) {
        at += open.size();
        const size_t end = page.find("```", at);
        blocks.push_back(page.substr(at, end - at));
    }
    return blocks;
}

// Names the text uses as globals (not as properties after a dot) that only this host has.
std::vector<std::string> host_only_calls(const std::string& text) {
    std::vector<std::string> found;
    const std::vector<Token> tokens = tokenize(text);
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Tok::Ident) continue;
        if (i > 0 && tokens[i - 1].kind == Tok::Dot) continue;
        if (host_only_builtins().count(folded(tokens[i].text)))
            found.push_back(tokens[i].text + " (line " + std::to_string(tokens[i].line) + ")");
    }
    return found;
}

TEST(RealNames, TheHostKnowsWhichOfItsBuiltinsAreItsOwn) {
    engine_init();
    for (const char* ours : {"scene_save", "scene_load", "scene_reset", "scene_tracks", "scene_add_track",
                             "create_instance", "scene_delete", "scene_create_node", "savedialogpicture"})
        EXPECT_EQ(host_only_builtins().count(folded(ours)), 1u) << ours;
    EXPECT_EQ(host_only_builtins().count("savemaxfile"), 0u);
    EXPECT_EQ(host_only_calls("scene_save \"a\"\nx.scene_tracks\nsaveMaxFile \"a\""),
              std::vector<std::string>{"scene_save (line 1)"});
}

TEST(RealNames, ExamplesAndReferenceCodeUseOnlyNamesTheRealHostHas) {
    engine_init();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VANTREL_SOURCE "/examples")) {
        if (entry.path().extension() != ".ms") continue;
        ++files;
        EXPECT_EQ(host_only_calls(read(entry.path())), std::vector<std::string>{}) << entry.path();
    }
    EXPECT_GE(files, 3);
    const std::vector<std::string> blocks = code_blocks(read(VANTREL_SOURCE "/docs/reference.md"));
    EXPECT_GE(blocks.size(), 4u);
    for (const std::string& block : blocks) EXPECT_EQ(host_only_calls(block), std::vector<std::string>{}) << block;
}

}  // namespace
