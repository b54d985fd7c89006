// host_text_test.cpp - record text and the host's wide strings, as a Unicode host converts them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "script/host_text.h"

static_assert(sizeof(MCHAR) == sizeof(wchar_t), "this test is built as a Unicode host builds the plug-ins");

namespace {

bool singleByteCodePage() {
    CPINFO info{};
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
}

TEST(HostText, EveryByteOfTheCodePageRoundTripsAndEmptyStaysEmpty) {
    EXPECT_EQ(hostTextFromRecord(""), L"");
    std::string bytes = "kept";
    EXPECT_TRUE(recordTextFromHost(L"", bytes));
    EXPECT_EQ(bytes, "");
    EXPECT_TRUE(recordTextFromHost(nullptr, bytes));
    EXPECT_EQ(bytes, "");

    if (!singleByteCodePage()) GTEST_SKIP() << "the system code page has multi-byte characters";
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    const HostText wide = hostTextFromRecord(all);
    EXPECT_EQ(wide.size(), all.size()) << "one character a byte";
    std::string back;
    ASSERT_TRUE(recordTextFromHost(wide.c_str(), back));
    EXPECT_EQ(back, all);
}

TEST(HostText, LongTextRoundTripsWhole) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += char('a' + i % 26);
    std::string back;
    ASSERT_TRUE(recordTextFromHost(hostTextFromRecord(bytes).c_str(), back));
    EXPECT_EQ(back, bytes);
}

TEST(HostText, CharactersTheCodePageLacksAreRefusedAndNothingChanges) {
    // A check mark, a CJK character, and a letter best fit would turn into a plain 'A'.
    for (const wchar_t* text : {L"ok \x2713", L"\x4E2D", L"\x0100" L"bc"}) {
        std::string bytes = "before";
        EXPECT_FALSE(recordTextFromHost(text, bytes)) << "text of " << wcslen(text) << " characters";
        EXPECT_EQ(bytes, "before");
    }
}

}  // namespace
