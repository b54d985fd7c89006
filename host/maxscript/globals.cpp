// globals.cpp - global cells live for the whole process and are roots of the collector.
#include "host/maxscript/globals.h"

#include <unordered_map>

namespace {
std::unordered_map<Value*, GlobalCell*>& table() {
    static auto* t = new std::unordered_map<Value*, GlobalCell*>;
    return *t;
}
void mark_globals() {
    for (auto& [name, cell] : table()) heap_detail::trace(cell->value);
}
}  // namespace

GlobalCell* global_cell(Value* name, bool create) {
    auto& t = table();
    auto it = t.find(name);
    if (it != t.end()) return it->second;
    if (!create) return nullptr;
    static bool rooted = (gc_add_root_marker(mark_globals), true);
    (void)rooted;
    auto* cell = new GlobalCell{name, &undefined};
    t[name] = cell;
    return cell;
}

void set_global(const char* name, Value* value) {
    global_cell(Name::intern(name), true)->value = value;
}

Value* get_global(const char* name) {
    GlobalCell* c = global_cell(Name::intern(name), false);
    return c ? c->value : &undefined;
}
