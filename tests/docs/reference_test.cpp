// reference_test.cpp - docs/reference.md and the control's vocabulary cannot drift apart.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Word {
    const char* name;
    char kind;  // E event, P read and write, R read, W write
};

const Word kVocabulary[] = {
#define VANTREL_NAME(name, kind) {#name, #kind[0]},
#include "script/names.def"
#undef VANTREL_NAME
};

std::string readReference() {
    std::ifstream in(VANTREL_REFERENCE);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Reference, NamesEveryPropertyAndEveryEventWhereAScriptWriterLooks) {
    const std::string text = readReference();
    ASSERT_FALSE(text.empty()) << VANTREL_REFERENCE;
    const size_t events = text.find("\n## Events");
    ASSERT_NE(events, std::string::npos);
    const size_t afterEvents = text.find("\n## ", events + 1);
    const std::string eventSection = text.substr(events, afterEvents - events);
    for (const Word& w : kVocabulary) {
        const std::string quoted = std::string("`") + w.name + "`";
        if (w.kind == 'E') {
            // An event is a row of the events table.
            EXPECT_NE(eventSection.find("| " + quoted + " |"), std::string::npos) << w.name;
        } else {
            // A property is a row of a table outside the events.
            const std::string before = text.substr(0, events), after = text.substr(afterEvents);
            const bool row = before.find("| " + quoted) != std::string::npos ||
                             after.find("| " + quoted) != std::string::npos ||
                             before.find("| write " + quoted) != std::string::npos ||
                             after.find("| write " + quoted) != std::string::npos;
            EXPECT_TRUE(row) << w.name;
        }
    }
}

}  // namespace
