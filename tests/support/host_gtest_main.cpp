// host_gtest_main.cpp - the main of every test program that uses the host: start it, then run the tests.
#include <gtest/gtest.h>

#include "host/start_host.h"

int main(int argc, char** argv) {
    start_host();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
