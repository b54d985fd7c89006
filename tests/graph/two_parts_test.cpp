// two_parts_test.cpp - both parts run, side by side or in turn; a part's failure
//   reaches the caller and leaves the runner usable.
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "graph/two_parts.h"

namespace {

TEST(TwoParts, RunsBothPartsAndPassesOnWhatEitherThrew) {
    TwoParts parts;
    for (const bool sideBySide : {true, false}) {
        for (const int throwing : {-1, 0, 1}) {
            std::thread::id ran[2];
            auto job = [&](size_t part) {
                ran[part] = std::this_thread::get_id();
                if (int(part) == throwing) throw std::runtime_error("part failed");
            };
            if (throwing < 0) {
                parts.run(sideBySide, job);
            } else {
                EXPECT_THROW(parts.run(sideBySide, job), std::runtime_error) << throwing;
            }
            // Side by side both parts ran, failure or not, the first on another thread;
            // in turn a failure ends the job.
            if (sideBySide || throwing != 0) {
                EXPECT_EQ(ran[1], std::this_thread::get_id()) << throwing;
            }
            EXPECT_NE(ran[0], std::thread::id());
            EXPECT_EQ(ran[0] != std::this_thread::get_id(), sideBySide) << throwing;
        }
    }
}

}  // namespace
