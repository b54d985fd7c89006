// dos_command_test.cpp - dosCommandHidden runs Wine's own cmd hidden and waits for it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "tests/script/script_session.h"

namespace {

BOOL CALLBACK collectWindow(HWND w, LPARAM list) {
    reinterpret_cast<std::set<HWND>*>(list)->insert(w);
    return TRUE;
}

std::set<HWND> topLevelWindows() {
    std::set<HWND> all;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::string folderOfTest() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/")) + "\\test-output\\dos_command";
}

// The files of a folder with their text, trailing line ends and spaces cut.
std::map<std::string, std::string> filesIn(const std::string& folder) {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::ifstream in(folder + "\\" + found.cFileName, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        std::string s = text.str();
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
        files[found.cFileName] = s;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

void emptyFolder(const std::string& folder) {
    CreateDirectoryA((folder.substr(0, folder.find_last_of('\\'))).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    for (auto& [name, text] : filesIn(folder)) DeleteFileA((folder + "\\" + name).c_str());
}

TEST(DosCommandHidden, RunsTheTextInOneHiddenInterpreterAndReturnsWhenItEnds) {
    ScriptSession s;
    s.addNodes(2, 1);
    const std::string folder = folderOfTest();
    struct Case {
        std::string text;
        std::map<std::string, std::string> files;  // what the folder holds when the write returns
    };
    const std::vector<Case> cases = {
        {"echo hello> \"" + folder + "\\one.txt\"", {{"one.txt", "hello"}}},
        // The second and third see the first's change of folder: one interpreter ran them all.
        {"cd /d \"" + folder + "\" & echo two> two.txt & echo three> three.txt",
         {{"two.txt", "two"}, {"three.txt", "three"}}},
        {"", {}},
        {"no_such_program_here.exe", {}},
        {"cd /d \"" + folder + "\" & exit 3 & echo never> never.txt", {}},
        // Longer than any command line Windows starts: refused before anything runs.
        {"echo " + std::string(40000, 'x') + "> \"" + folder + "\\long.txt\"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        emptyFolder(folder);
        const std::set<HWND> before = topLevelWindows();
        EXPECT_EQ(s.write("dosCommandHidden", S(c.text.c_str())), "OK");
        EXPECT_EQ(filesIn(folder), c.files);
        for (HWND w : topLevelWindows()) EXPECT_TRUE(before.count(w)) << "a window appeared";
        EXPECT_EQ(s.nodeCount(), 2u);
    }
    // A value that is no text raises the host's error and runs nothing.
    EXPECT_EQ(errorOf([&] { s.set("dosCommandHidden", I(5)); }), "-- Unable to convert: 5 to type: String");
}

}  // namespace
