// reference_test.cpp - the reference system: makers hear of their targets' deletion once and forget them.
#include <gtest/gtest.h>

#include <vector>

#include "host/scene/controllers.h"
#include "host/scene/reference.h"

namespace {

// A maker with a table of references that records every message it hears.
struct Recorder : ReferenceMaker {
    std::vector<ReferenceTarget*> refs;
    std::vector<std::pair<ReferenceTarget*, RefMessage>> heard;
    bool real = false;  // whether its references keep their targets
    explicit Recorder(int count) : refs(size_t(count), nullptr) {}
    ~Recorder() override {}
    int NumRefs() override { return int(refs.size()); }
    RefTargetHandle GetReference(int i) override { return refs[size_t(i)]; }
    BOOL IsRealDependency(ReferenceTarget*) override { return real; }
    void SetReference(int i, RefTargetHandle t) override { refs[size_t(i)] = t; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle t, PartID&, RefMessage m, BOOL) override {
        heard.push_back({t, m});
        return REF_SUCCEED;
    }
};

// A target that says when it is deleted, and when its last real reference went.
struct Target : HostFloatController {
    bool* gone;
    int lastRealReferenceDropped = 0;
    explicit Target(bool* gone) : gone(gone) {}
    ~Target() override { *gone = true; }
    void MaybeAutoDelete() override { ++lastRealReferenceDropped; }
};

int makersOf(ReferenceTarget* t) {
    int n = 0;
    DependentIterator it(t);
    while (it.Next()) ++n;
    return n;
}

TEST(References, ADeletedTargetNotifiesEachMakerOnceAndIsClearedFromEverySlot) {
    bool gone = false;
    auto* target = new Target(&gone);
    Recorder twice(3), once(1);
    twice.ReplaceReference(0, target, FALSE);
    twice.ReplaceReference(2, target, FALSE);  // two slots, one maker
    once.ReplaceReference(0, target, FALSE);
    EXPECT_EQ(makersOf(target), 2);

    target->NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    EXPECT_EQ(twice.heard.size(), 1u);
    target->DeleteThis();

    ASSERT_EQ(twice.heard.size(), 2u);
    EXPECT_EQ(twice.heard[1], std::make_pair(static_cast<ReferenceTarget*>(target), RefMessage(REFMSG_TARGET_DELETED)));
    EXPECT_EQ(once.heard.size(), 2u);
    EXPECT_EQ(twice.refs, (std::vector<ReferenceTarget*>{nullptr, nullptr, nullptr}));
    EXPECT_EQ(once.refs[0], nullptr);
}

TEST(References, DroppingReferencesForgetsTheMakerAndOffersOnlyWhatRealReferencesKept) {
    bool watchedGone = false, ownedGone = false;
    auto* watched = new Target(&watchedGone);
    auto* owned = new Target(&ownedGone);
    {
        Recorder watcher(1), owner(1);
        owner.real = true;
        watcher.ReplaceReference(0, watched, FALSE);
        owner.ReplaceReference(0, owned);
        // A slot pointed elsewhere lets go of the old target.
        watcher.ReplaceReference(0, owned);
        EXPECT_EQ(makersOf(watched), 0);
        EXPECT_EQ(watched->lastRealReferenceDropped, 0) << "a watching reference never offers its target";
        EXPECT_EQ(makersOf(owned), 2);
        // The maker's end drops its references; the target no longer names it.
    }
    EXPECT_EQ(makersOf(owned), 0);

    Recorder last(1), other(1);
    last.real = other.real = true;
    last.ReplaceReference(0, owned);
    other.ReplaceReference(0, owned);
    last.DeleteReference(0);
    EXPECT_EQ(owned->lastRealReferenceDropped, 0) << "another real reference still keeps it";
    other.ReplaceReference(0, nullptr, FALSE);
    EXPECT_EQ(owned->lastRealReferenceDropped, 0) << "dropped without delOld";
    other.ReplaceReference(0, owned);
    other.DeleteReference(0);
    EXPECT_EQ(owned->lastRealReferenceDropped, 1);
    EXPECT_FALSE(watchedGone || ownedGone) << "this host's scene frees its objects itself";
    delete watched;
    delete owned;
}

TEST(References, AMakerThatLetsGoWhileHearingOfADeletionIsNotToldAgain) {
    bool gone = false;
    auto* target = new Target(&gone);
    struct LetsGo : Recorder {
        using Recorder::Recorder;
        RefResult NotifyRefChanged(const Interval& i, RefTargetHandle t, PartID& p, RefMessage m, BOOL b) override {
            Recorder::NotifyRefChanged(i, t, p, m, b);
            if (m == REFMSG_TARGET_DELETED) DeleteAllRefsFromMe();
            return REF_SUCCEED;
        }
    } maker(2);
    maker.ReplaceReference(0, target, FALSE);
    maker.ReplaceReference(1, target, FALSE);
    delete target;
    EXPECT_EQ(maker.heard.size(), 1u);
    EXPECT_EQ(maker.refs, (std::vector<ReferenceTarget*>{nullptr, nullptr}));
}

}  // namespace
