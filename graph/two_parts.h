// two_parts.h - a job in two parts, run side by side on two threads when asked and
//   a thread can be had; otherwise one after the other. Parts must not share writes.
#pragma once
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>

template <class Part>
void inTwoParts(bool sideBySide, Part&& part) {
    std::exception_ptr helperFailed;
    std::thread helper;
    if (sideBySide) try {
            helper = std::thread([&] {
                try {
                    part(size_t{0});
                } catch (...) {
                    helperFailed = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: the parts run in turn below.
        }
    if (!helper.joinable()) {
        part(size_t{0});
        part(size_t{1});
        return;
    }
    std::exception_ptr failed;
    try {
        part(size_t{1});
    } catch (...) {
        failed = std::current_exception();
    }
    helper.join();
    if (helperFailed) std::rethrow_exception(helperFailed);
    if (failed) std::rethrow_exception(failed);
}
