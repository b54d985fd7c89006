// number_pool_test.cpp - the numbers the host makes, natively (in the heap's pool) and under
//   Wine (in the registry, poisoned when freed): the same life as every other value.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "host/core/heap.h"
#include "host/core/value.h"

namespace {
// From its collect(), frees the dead number it owned and makes one it roots, as an owner
// of numbers might.
struct NumberOwner : Value {
    static Value* made;
    Value* owned = nullptr;
    void collect() override {
        delete owned;
        made = Integer::intern(777777);
        delete this;
    }
};
Value* NumberOwner::made = nullptr;
}  // namespace

// Numbers made by intern live in the heap's pool of small blocks (in the registry where freed
// values are poisoned): counted, kept by every kind of root, freed by hand or by the sweep,
// over more numbers than one chunk of the pool holds.
TEST(NumberPool, InternedNumbersLiveAndDieLikeEveryOtherValue) {
    const std::function<Value*(int)> makers[] = {
        [](int i) { return Integer::intern(100000 + i); },
        [](int i) { return Float::intern(0.5f + static_cast<float>(i)); },
    };
    for (const auto& make : makers) {
        gc();  // no garbage of earlier tests in the counts
        const size_t before = gc_live_count();
        auto* kept = new Array(0);
        Value* root = kept;
        gc_add_root(&root);
        std::vector<Value*> dropped;
        for (int i = 0; i < 5000; ++i) {
            Value* v = make(i);
            if (i % 7 == 0) kept->append(v);
            else dropped.push_back(v);
        }
        EXPECT_EQ(gc_live_count(), before + 1 + 5000);
        Value* pinned = make(-1);
        pinned->make_permanent();
        Value* by_hand = make(-2);
        delete by_hand;
        EXPECT_FALSE(gc_is_live(by_hand));
        push_alloc_frame();
        Value* framed = make(-3);
        gc();
        EXPECT_EQ(gc_live_count(), before + 1 + kept->size + 2);
        EXPECT_TRUE(gc_is_live(pinned) && gc_is_live(framed));
        EXPECT_FALSE(gc_is_live(dropped.front()) || gc_is_live(dropped.back()));
        for (int i = 0; i < kept->size; ++i) ASSERT_EQ(kept->data[i]->to_float(), make(i * 7)->to_float());
        pop_alloc_frame();
        gc();
        EXPECT_FALSE(gc_is_live(framed));
        EXPECT_TRUE(gc_is_live(pinned));
        EXPECT_EQ(print_form(kept->data[kept->size - 1]), print_form(make((kept->size - 1) * 7)));
        kept->resize(0);
        gc();
        EXPECT_EQ(gc_live_count(), before + 2);  // the array and the pinned number
        gc_remove_root(&root);
    }
}

TEST(NumberPool, ACollectMayFreeTheDeadNumbersItOwnsAndMakeNewOnes) {
    // The registry sweeps newest first, so there a number made after its owner is gone
    // before the owner's collect() runs: only the pool promises this.
    if (gc_poisons_freed()) GTEST_SKIP() << "numbers live in the registry in this build";
    gc();
    const size_t before = gc_live_count();
    for (int round = 0; round < 3; ++round) {
        auto* owner = new NumberOwner;
        owner->owned = Integer::intern(888888 + round);
        Value* root = nullptr;
        gc_add_root(&root);
        gc();  // the owner and its number are dead; what it makes survives this collection
        ASSERT_NE(NumberOwner::made, nullptr);
        root = NumberOwner::made;
        EXPECT_TRUE(gc_is_live(root));
        EXPECT_EQ(root->to_int(), 777777);
        EXPECT_EQ(gc_live_count(), before + 1);
        gc_remove_root(&root);
        gc();
        EXPECT_EQ(gc_live_count(), before);
    }
}
