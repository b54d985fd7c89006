// host_test_support.h - small helpers shared by the host tests.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "host/core/heap.h"
#include "host/core/value.h"

// Keeps a value alive across gc() for the scope of a test.
class Rooted {
public:
    explicit Rooted(Value* v = nullptr) : slot(v) { gc_add_root(&slot); }
    ~Rooted() { gc_remove_root(&slot); }
    Rooted(const Rooted&) = delete;
    Rooted& operator=(const Rooted&) = delete;
    Value* slot;
};

// Keyword parameters as a declaration gives them: (name, value) pairs.
inline std::vector<Value*> keyparms(std::initializer_list<std::pair<const char*, Value*>> pairs) {
    std::vector<Value*> list;
    for (auto& [name, value] : pairs) {
        list.push_back(Name::intern(name));
        list.push_back(value);
    }
    return list;
}

// The folder the test program runs from (fixtures are built beside it).
inline std::string exe_folder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/"));
}
