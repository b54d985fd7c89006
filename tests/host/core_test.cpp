// core_test.cpp - the core services plug-ins read: interface colours and accelerators.
#include <gtest/gtest.h>

#include "host/core/core.h"

namespace {

TEST(Core, BackgroundIsTheInterfaceGreyAndUnknownColoursAreBlack) {
    EXPECT_EQ(GetColorManager()->GetColor(kBackground), 0x00C5C5C5u);
    EXPECT_EQ(GetColorManager()->GetColor(12345), 0u);
}

TEST(Core, AcceleratorsStartOnAndFollowTheLastSwitch) {
    EXPECT_TRUE(AcceleratorsEnabled());
    DisableAccelerators();
    DisableAccelerators();
    EXPECT_FALSE(AcceleratorsEnabled());
    EnableAccelerators();
    EXPECT_TRUE(AcceleratorsEnabled());
}

}  // namespace
