// two_parts.cpp - the second thread of TwoParts: it waits for a part, runs it, and says so.
#include "graph/two_parts.h"

TwoParts::~TwoParts() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

bool TwoParts::started() {
    if (thread_.joinable()) return true;
    try {
        thread_ = std::thread([this] { serve(); });
    } catch (const std::system_error&) {
        return false;  // no thread to be had: the parts run in turn
    }
    return true;
}

void TwoParts::post(void (*call)(void*), void* job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        call_ = call;
        job_ = job;
    }
    wake_.notify_one();
}

std::exception_ptr TwoParts::finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return call_ == nullptr; });
    std::exception_ptr failed = failed_;
    failed_ = nullptr;
    return failed;
}

void TwoParts::serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return call_ != nullptr || stop_; });
        if (stop_) return;
        void (*const call)(void*) = call_;
        void* const job = job_;
        lock.unlock();
        std::exception_ptr failed;
        try {
            call(job);
        } catch (...) {
            failed = std::current_exception();
        }
        lock.lock();
        failed_ = failed;
        call_ = nullptr;
        done_.notify_one();
    }
}
