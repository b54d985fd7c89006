// builtins_arrays.cpp - array built-ins: append, delete, insert, find, join, sort, qsort, bsearch, amin, amax.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"
#include "host/maxscript/interp.h"
#include "host/maxscript/operators.h"

namespace {

// insertItem may pad an array with undefined; past this size it is a mistake, not a need.
constexpr int kMaxPaddedSize = 1 << 20;

int compare_text(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i]));
        const int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a.compare(b) > 0 ? 1 : 0);
}

// Ordering of sort, amin and amax: numbers with numbers, strings with strings
// (ignoring case first, as names are). Anything else is a type error naming fn.
int compare_values(const char* fn, Value* a, Value* b) {
    if (a->tag == &Integer_class && b->tag == &Integer_class) {
        const int x = static_cast<Integer*>(a)->value, y = static_cast<Integer*>(b)->value;
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (is_number(a) && is_number(b)) {
        const double x = a->to_float(), y = b->to_float();
        // NaN orders first, so sorting always has a consistent order to follow.
        if (std::isnan(x) || std::isnan(y)) return std::isnan(y) - std::isnan(x);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a->tag == &String_class && b->tag == &String_class)
        return compare_text(static_cast<String*>(a)->text, static_cast<String*>(b)->text);
    Value* odd = is_number(a) || a->tag == &String_class ? b : a;
    throw TypeError((std::string(fn) + " compares numbers or strings").c_str(), odd);
}

// Checks the whole list first, so a bad element raises before anything changes.
void check_comparable(const char* fn, Value* const* items, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (!items[i]) throw TypeError((std::string(fn) + " compares numbers or strings").c_str(), &undefined);
        compare_values(fn, items[0], items[i]);
    }
}


Value* append(Value** args, int count) {
    BuiltinArgs a("append", args, count);
    a.expect(2);
    if (a[0]->tag == &String_class) {
        static_cast<String*>(a[0])->text += a.text(1);
        return a[0];
    }
    Array* array = a.array(0);
    array->append(a[1]);
    return array;
}

int index_of(Array* array, Value* v) {
    for (int i = 0; i < array->size; ++i)
        if (values_equal(array->data[i], v)) return i + 1;
    return 0;
}

Value* appendIfUnique(Value** args, int count) {
    BuiltinArgs a("appendIfUnique", args, count);
    a.expect(2);
    Array* array = a.array(0);
    if (index_of(array, a[1])) return &false_value;
    array->append(a[1]);
    return &true_value;
}

// A new array of the items in their first order, each once.
Value* makeUniqueArray(Value** args, int count) {
    BuiltinArgs a("makeUniqueArray", args, count);
    a.expect(1);
    Array* source = a.array(0);
    auto* unique = new Array(0);
    for (Value* v : std::vector<Value*>(source->data, source->data + source->size))
        if (!index_of(unique, v)) unique->append(v);
    return unique;
}

Value* deleteItem(Value** args, int count) {
    BuiltinArgs a("deleteItem", args, count);
    a.expect(2);
    Array* array = a.array(0);
    const int index = a.integer(1);
    if (index < 1 || index > array->size)
        throw RuntimeError("deleteItem index out of range: " + std::to_string(index) + ", count " +
                           std::to_string(array->size));
    array->remove(index - 1);
    return array;
}

Value* insertItem(Value** args, int count) {
    BuiltinArgs a("insertItem", args, count);
    a.expect(3);
    Array* array = a.array(1);
    const int index = a.integer(2);
    if (index < 1 || index > kMaxPaddedSize)
        throw RuntimeError("insertItem index out of range: " + std::to_string(index));
    // Past the end the array grows with undefined up to the new item.
    if (index > array->size + 1) array->resize(index - 1);
    array->insert(index - 1, a[0]);
    return &ok;
}

Value* findItem(Value** args, int count) {
    BuiltinArgs a("findItem", args, count);
    a.expect(2);
    return Integer::intern(index_of(a.array(0), a[1]));
}

Value* join(Value** args, int count) {
    BuiltinArgs a("join", args, count);
    a.expect(2);
    Array* target = a.array(0);
    Array* source = a.array(1);
    const std::vector<Value*> items(source->data, source->data + source->size);  // a copy: join a a doubles a
    for (Value* v : items) target->append(v);
    return target;
}

Value* sort(Value** args, int count) {
    BuiltinArgs a("sort", args, count);
    a.expect(1);
    Array* array = a.array(0);
    check_comparable("sort", array->data, size_t(array->size));
    std::stable_sort(array->data, array->data + array->size,
                     [](Value* x, Value* y) { return compare_values("sort", x, y) < 0; });
    return array;
}

// amin #(3, 1, 2) or amin 3 1 2: the least; undefined for an empty array.
Value* extreme(const char* fn, int sign, Value** args, int count) {
    BuiltinArgs a(fn, args, count);
    a.expect_at_least(1);
    // The items where they already are: this is called in inner loops.
    Value* const* items = args;
    size_t n = size_t(a.count());
    if (a.count() == 1 && a[0]->tag == &Array_class) {
        auto* array = static_cast<Array*>(a[0]);
        items = array->data;
        n = size_t(array->size);
    }
    if (n == 0) return &undefined;
    check_comparable(fn, items, n);
    Value* best = items[0];
    for (size_t i = 0; i < n; ++i)
        if (compare_values(fn, items[i], best) * sign < 0) best = items[i];
    return best;
}

// The keywords of qsort and bsearch that are not theirs go on to the compare function.
struct CompareCall {
    const char* fn;
    Value* function;
    std::vector<Value*> keys;  // name, value, name, value...
    int compare(Value* a, Value* b) const {
        std::vector<Value*> args = {a, b};
        if (!keys.empty()) {
            args.push_back(&keyarg_marker_value);
            args.insert(args.end(), keys.begin(), keys.end());
        }
        Value* r = interp::call_value(function, args.data(), static_cast<int>(args.size()));
        if (!is_number(r))
            throw RuntimeError(std::string(fn) + ": the compare function must answer a number, got: " + print_form(r));
        const float f = r->to_float();
        return f < 0 ? -1 : (f > 0 ? 1 : 0);
    }
};

CompareCall compare_call(const BuiltinArgs& a, int fnIndex, std::initializer_list<const char*> own) {
    CompareCall call{a.fn, a[fnIndex], {}};
    for (auto& [name, value] : a.keys()) {
        bool mine = false;
        for (const char* o : own) mine = mine || name == Name::intern(o);
        if (!mine) call.keys.push_back(name), call.keys.push_back(value);
    }
    return call;
}

// start: and end: (1-based, inclusive) as a half-open range of the array.
std::pair<int, int> range_of(const BuiltinArgs& a, Array* array) {
    Value* start = a.key("start");
    Value* end = a.key("end");
    const int first = start ? start->to_int() : 1, last = end ? end->to_int() : array->size;
    if (first < 1 || last > array->size || first > last + 1)
        throw RuntimeError(std::string(a.fn) + ": range out of bounds: " + std::to_string(first) + " to " +
                           std::to_string(last) + ", count " + std::to_string(array->size));
    return {first - 1, last};
}

// A merge sort: whatever the compare function answers, it ends, and equal items keep their order.
void merge_sort(std::vector<Value*>& items, const CompareCall& call) {
    if (items.size() < 2) return;
    std::vector<Value*> left(items.begin(), items.begin() + long(items.size() / 2));
    std::vector<Value*> right(items.begin() + long(items.size() / 2), items.end());
    merge_sort(left, call);
    merge_sort(right, call);
    size_t l = 0, r = 0, out = 0;
    while (l < left.size() && r < right.size())
        items[out++] = call.compare(right[r], left[l]) < 0 ? right[r++] : left[l++];
    while (l < left.size()) items[out++] = left[l++];
    while (r < right.size()) items[out++] = right[r++];
}

// qsort arr fn start:2 end:5 extra:1: sorted in place by fn a b extra:1. The array changes
// only once the sort is done, so an error in fn leaves it as it was.
Value* qsort_(Value** args, int count) {
    BuiltinArgs a("qsort", args, count);
    a.expect(2);
    Array* array = a.array(0);
    const CompareCall call = compare_call(a, 1, {"start", "end"});
    const auto [first, last] = range_of(a, array);
    std::vector<Value*> items(array->data + first, array->data + last);
    merge_sort(items, call);
    if (array->size >= last) std::copy(items.begin(), items.end(), array->data + first);
    return &ok;
}

// bsearch key arr fn: the item fn key item answers 0 for, in an array sorted by fn; undefined when none.
Value* bsearch_(Value** args, int count) {
    BuiltinArgs a("bsearch", args, count);
    a.expect(3);
    Array* array = a.array(1);
    const CompareCall call = compare_call(a, 2, {"start", "end", "index"});
    auto [low, high] = range_of(a, array);
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (mid >= array->size) break;
        Value* item = array->data[size_t(mid)];
        const int c = call.compare(a[0], item);
        if (c == 0) return item;
        if (c < 0) high = mid;
        else low = mid + 1;
    }
    return &undefined;
}

}  // namespace

void define_array_builtins(BuiltinDefiner define) {
    define("qsort", qsort_);
    define("bsearch", bsearch_);
    define("append", append);
    define("deleteItem", deleteItem);
    define("insertItem", insertItem);
    define("findItem", findItem);
    define("appendIfUnique", appendIfUnique);
    define("makeUniqueArray", makeUniqueArray);
    define("join", join);
    define("sort", sort);
    define("amin", [](Value** v, int n) { return extreme("amin", 1, v, n); });
    define("amax", [](Value** v, int n) { return extreme("amax", -1, v, n); });
}
