// heap_test.cpp - registration, roots, script frames and mark-and-sweep collection.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "host/core/errors.h"
#include "host/core/function.h"
#include "host/win32/rollout.h"
#include "tests/support/host_test_support.h"

namespace {

struct Probe : Value {
    static int collected;
    Probe() { tag = &Value_class; }
    void collect() override {
        ++collected;
        delete this;
    }
};
int Probe::collected = 0;

// Frees its partner from its own collect(), as an owner of another value might.
struct Partner : Value {
    static int collects;
    Partner* partner = nullptr;
    void collect() override {
        ++collects;
        if (partner) {
            partner->partner = nullptr;
            delete partner;
        }
        delete this;
    }
};
int Partner::collects = 0;

// From its collect(), makes a value it roots, and frees a value that is still reachable
// (as an owner that does not trace what it holds might).
struct Heir : Value {
    static Value* made;
    Value* owned = nullptr;
    void collect() override {
        made = new Probe;
        delete owned;
        delete this;
    }
};
Value* Heir::made = nullptr;

struct Throwing : Value {
    Throwing() { throw RuntimeError("construction failed"); }
};

// Collectable is not the first base: the heap must still know the object.
struct Mixin {
    virtual ~Mixin() = default;
    int payload = 7;
};
struct Offset : Mixin, Value {};

class Heap : public ::testing::Test {
protected:
    void SetUp() override {
        gc();  // start from a heap without leftovers of other tests
        Probe::collected = 0;
    }
};

TEST_F(Heap, UnreachableValuesAreCollectedThroughCollect) {
    size_t before = gc_live_count();
    auto* a = new Probe;
    auto* b = new Probe;
    EXPECT_EQ(gc_live_count(), before + 2);
    EXPECT_TRUE(gc_is_live(a));
    gc();
    EXPECT_FALSE(gc_is_live(a));
    EXPECT_FALSE(gc_is_live(b));
    EXPECT_EQ(Probe::collected, 2);
    EXPECT_EQ(gc_live_count(), before);
}

TEST_F(Heap, ExplicitDeleteUnregisters) {
    size_t before = gc_live_count();
    auto* v = new Integer(3);
    delete v;
    EXPECT_FALSE(gc_is_live(v));
    EXPECT_EQ(gc_live_count(), before);
}

TEST_F(Heap, RootSlotsKeepTheirCurrentValueAndWhatItHolds) {
    auto* held = new Probe;
    auto* array = new Array(0);
    array->append(held);
    {
        Rooted root(array);
        gc();
        EXPECT_TRUE(gc_is_live(array));
        EXPECT_TRUE(gc_is_live(held));

        root.slot = nullptr;  // the slot is read at each collection
        gc();
        EXPECT_FALSE(gc_is_live(array));
        EXPECT_FALSE(gc_is_live(held));
    }
}

TEST_F(Heap, RemovedRootNoLongerProtects) {
    Value* slot = new Probe;
    Value* v = slot;
    gc_add_root(&slot);
    gc();
    EXPECT_TRUE(gc_is_live(v));
    gc_remove_root(&slot);
    gc();
    EXPECT_FALSE(gc_is_live(v));
}

TEST_F(Heap, AllocFramesProtectTheirValuesUntilPopped) {
    init_thread_locals();
    push_alloc_frame();
    auto* outer = new Probe;
    push_alloc_frame();
    auto* inner = new Probe;
    gc();
    EXPECT_TRUE(gc_is_live(outer));
    EXPECT_TRUE(gc_is_live(inner));

    pop_alloc_frame();
    gc();
    EXPECT_TRUE(gc_is_live(outer));
    EXPECT_FALSE(gc_is_live(inner));

    pop_alloc_frame();
    gc();
    EXPECT_FALSE(gc_is_live(outer));
}

TEST_F(Heap, LocalArraysAreRootsUntilTheirScopeEnds) {
    Probe* v = nullptr;
    {
        Value** locals = nullptr;
        value_local_array(locals, 3);
        ASSERT_NE(locals, nullptr);
        EXPECT_EQ(locals[0], nullptr);  // slots start empty, safe to trace
        v = new Probe;
        locals[2] = v;
        gc();
        EXPECT_TRUE(gc_is_live(v));
    }
    gc();
    EXPECT_FALSE(gc_is_live(v));
}

TEST_F(Heap, PermanentValuesAndInternedNamesSurvive) {
    Value* name = Name::intern("heapTestPermanentName");
    auto* kept = new Probe;
    kept->make_permanent();
    gc();
    EXPECT_TRUE(gc_is_live(name));
    EXPECT_TRUE(gc_is_live(kept));
    EXPECT_EQ(Name::find("heapTestPermanentName"), name);
    kept->gc_flags &= ~GC_PERMANENT;
    gc();
    EXPECT_FALSE(gc_is_live(kept));
}

TEST_F(Heap, CyclesAreCollectedWithoutLooping) {
    auto* a = new Array(0);
    auto* b = new Array(0);
    a->append(b);
    b->append(a);
    a->append(a);
    {
        Rooted root(a);
        gc();
        EXPECT_TRUE(gc_is_live(b));
    }
    gc();
    EXPECT_FALSE(gc_is_live(a));
    EXPECT_FALSE(gc_is_live(b));
}

TEST_F(Heap, StaticHolderIsTracedAgainOnEveryCollection) {
    // Static values are not registered, so nothing else clears their mark;
    // a stale mark would stop the second collection from tracing into it.
    static Array holder(0);
    auto* held = new Probe;
    holder.append(held);
    {
        Rooted root(&holder);
        gc();
        gc();
        EXPECT_TRUE(gc_is_live(held));
    }
    holder.resize(0);
    gc();
    EXPECT_FALSE(gc_is_live(held));
}

TEST_F(Heap, ACollectThatFreesAnotherDeadValueDoesNotCollectItTwice) {
    Partner::collects = 0;
    auto* a = new Partner;
    auto* b = new Partner;
    a->partner = b;
    b->partner = a;
    gc();
    EXPECT_FALSE(gc_is_live(a));
    EXPECT_FALSE(gc_is_live(b));
    EXPECT_EQ(Partner::collects, 1);
}

TEST_F(Heap, FreeingOutsideTheOrderOfTheSweepKeepsEveryOtherValue) {
    // A value deleted while its alloc frame is open leaves the frame.
    init_thread_locals();
    push_alloc_frame();
    auto* kept = new Probe;
    delete new Probe;
    gc();
    EXPECT_TRUE(gc_is_live(kept));
    pop_alloc_frame();
    gc();
    EXPECT_FALSE(gc_is_live(kept));

    // A collect() that makes a value and frees a live one, among other dying values
    // and survivors on both sides of it in the heap's list.
    Value* survivors[4];
    Value* root = nullptr;
    gc_add_root(&root);
    auto* rooted = new Array(0);
    root = rooted;
    for (Value*& v : survivors) {
        new Probe;
        v = rooted->append(new Probe);
    }
    auto* heir = new Heir;
    heir->owned = survivors[1];
    survivors[1]->make_permanent();  // survives the mark, then the heir frees it
    rooted->data[1] = &undefined;
    new Probe;
    const size_t before = gc_live_count();
    gc();
    EXPECT_FALSE(gc_is_live(heir));
    ASSERT_TRUE(gc_is_live(Heir::made));
    EXPECT_TRUE(gc_is_live(survivors[0]) && gc_is_live(survivors[2]) && gc_is_live(survivors[3]));
    EXPECT_EQ(gc_live_count(), before - 5 - 1 - 1 + 1);  // probes, the heir, its freed value, the one it made
    gc_remove_root(&root);
    gc();
    EXPECT_FALSE(gc_is_live(Heir::made));
}

TEST_F(Heap, ThrowingConstructorLeavesTheHeapUnchanged) {
    size_t before = gc_live_count();
    EXPECT_THROW(new (GC_IN_HEAP) Throwing, RuntimeError);
    EXPECT_THROW(new Throwing, RuntimeError);
    EXPECT_EQ(gc_live_count(), before);

    // Inside a frame the failed object must not linger as a frame entry.
    push_alloc_frame();
    EXPECT_THROW(new (GC_IN_HEAP) Throwing, RuntimeError);
    auto* after = new Probe;  // may reuse the failed block's address
    gc();
    EXPECT_TRUE(gc_is_live(after));
    EXPECT_EQ(gc_live_count(), before + 1);
    pop_alloc_frame();
    gc();
    EXPECT_EQ(gc_live_count(), before);
}

TEST_F(Heap, ValuesWhoseCollectableIsNotTheFirstBaseAreManaged) {
    size_t before = gc_live_count();
    auto* v = new Offset;
    Value* as_value = v;
    EXPECT_EQ(gc_live_count(), before + 1);
    EXPECT_TRUE(gc_is_live(as_value));
    gc();
    EXPECT_FALSE(gc_is_live(as_value));
    EXPECT_EQ(gc_live_count(), before);
}

TEST_F(Heap, ValuesMadeWhileEvaluatingConstructorArgumentsAreBothRegistered) {
    size_t before = gc_live_count();
    auto* p = new Point2Value(Integer::intern(3)->to_float(), 4.0f);
    EXPECT_EQ(gc_live_count(), before + 2);
    EXPECT_TRUE(gc_is_live(p));
    gc();
    EXPECT_EQ(gc_live_count(), before);
}

class HeapTestLabel : public RolloutControl {
public:
    using RolloutControl::RolloutControl;
    LPCMSTR get_control_class() override { return _M("STATIC"); }
};

RolloutControl* makeHeapTestLabel(Value* name, Value* caption, Value** keyparms, int count) {
    return new (GC_IN_HEAP) HeapTestLabel(name, caption, keyparms, count);
}

TEST_F(Heap, OpenRolloutsKeepTheirControlsHandlersAndParameters) {
    install_rollout_control(Name::intern("heapTestLabel"), makeHeapTestLabel);
    auto* ro = new Rollout(Name::intern("heapRollout"), new String("Heap"));
    auto* caption = new String("caption");
    auto* width = new Integer(80);
    auto params = keyparms({{"width", width}});
    RolloutControl* ctl = ro->add_control(Name::intern("heapTestLabel"), Name::intern("lbl"), caption,
                                          params.data(), static_cast<int>(params.size()));
    auto* handler = new NativeFunction("onPressed", [](Value**, int) { return &ok; });
    ro->add_handler(Name::intern("lbl"), Name::intern("pressed"), handler);

    ASSERT_TRUE(ro->open());
    gc();
    for (Value* v : std::initializer_list<Value*>{ro, ctl, caption, width, handler})
        EXPECT_TRUE(gc_is_live(v)) << print_form(v);

    ro->close();
    gc();
    for (Value* v : std::initializer_list<Value*>{ro, ctl, caption, width, handler})
        EXPECT_FALSE(gc_is_live(v));
}

}  // namespace

// Test builds poison freed values: marking, converting or printing one stops with the
// name of its class (here a handler throws instead of aborting), however the memory is used.
TEST(Collection, TouchingAFreedValueStopsAndNamesItsClass) {
    ASSERT_TRUE(gc_poisons_freed()) << "every test under Wine runs with freed values poisoned";
    const gc_freed_use_handler previous =
        gc_set_freed_use_handler([](const char* message) { throw std::runtime_error(message); });
    auto touch = [](const std::function<void()>& use) {
        try {
            use();
        } catch (std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("not stopped");
    };
    Value* text = new String("freed");
    Value* point = new Point2Value(1, 2);
    gc();
    ASSERT_FALSE(gc_is_live(text));
    ASSERT_FALSE(gc_is_live(point));
    EXPECT_EQ(touch([&] { heap_detail::trace(text); }), "Use after free: a freed String value was marked");
    EXPECT_EQ(touch([&] { text->to_string(); }), "Use after free: a freed String value was converted");
    EXPECT_EQ(touch([&] { point->to_point2(); }), "Use after free: a freed Point2 value was converted");
    EXPECT_EQ(touch([&] { print_form(point); }), "Use after free: a freed Point2 value was printed");
    gc_set_freed_use_handler(previous);
}
