#include "cli/SerialWorker.h"

#include <system_error>
#include <utility>

namespace kiv {

SerialWorker::SerialWorker() {
    // Without a thread the jobs run in Wait(): slower, with the same results.
    try {
        thread_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
    }
}

SerialWorker::~SerialWorker() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void SerialWorker::Start(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = std::move(job);
        busy_ = true;
    }
    wake_.notify_one();
}

void SerialWorker::Wait() {
    std::exception_ptr failure;
    if (!thread_.joinable()) {
        std::function<void()> job = std::exchange(job_, nullptr);
        busy_ = false;
        if (job) job();
        return;
    }
    {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return !busy_; });
        failure = std::exchange(failure_, nullptr);
    }
    if (failure) std::rethrow_exception(failure);
}

void SerialWorker::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        // A job handed over before the stop still runs: its owner may be waiting for it.
        wake_.wait(lock, [this] { return stop_ || busy_; });
        if (!busy_) return;
        std::function<void()> job = std::move(job_);
        job_ = nullptr;
        lock.unlock();
        std::exception_ptr failure;
        try {
            job();
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        failure_ = failure;
        busy_ = false;
        done_.notify_one();
    }
}

}  // namespace kiv
