// two_parts.h - a job in two parts, run side by side on a second thread when asked
//   and a thread can be had; otherwise one after the other. Parts must not share writes.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

// Keeps its second thread between jobs: under some hosts starting a thread costs a
// millisecond, more than half of the job it would share.
class TwoParts {
public:
    TwoParts() = default;
    TwoParts(const TwoParts&) = delete;
    TwoParts& operator=(const TwoParts&) = delete;
    ~TwoParts();

    // part(0) on the second thread and part(1) on this one, or both here in turn.
    // What either part threw is thrown here once both have ended.
    template <class Part>
    void run(bool sideBySide, Part&& part) {
        if (!sideBySide || !started()) {
            part(size_t{0});
            part(size_t{1});
            return;
        }
        auto first = [&part] { part(size_t{0}); };
        post(+[](void* job) { (*static_cast<decltype(first)*>(job))(); }, &first);
        std::exception_ptr failed;
        try {
            part(size_t{1});
        } catch (...) {
            failed = std::current_exception();
        }
        if (std::exception_ptr helperFailed = finish()) std::rethrow_exception(helperFailed);
        if (failed) std::rethrow_exception(failed);
    }

private:
    bool started();
    void post(void (*call)(void*), void* job);
    std::exception_ptr finish();
    void serve();

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    void (*call_)(void*) = nullptr;  // the posted part, null when none
    void* job_ = nullptr;
    bool stop_ = false;
    std::exception_ptr failed_;
    std::thread thread_;
};
