#include "filecrypt/internal/ChunkWorkers.h"

#include <system_error>

namespace kiv {

ChunkWorkers::ChunkWorkers(int helpers) {
    // Fewer helpers than asked for (none, at worst) only make the run slower.
    try {
        for (int i = 0; i < helpers; ++i)
            threads_.emplace_back([this] { Help(); });
    } catch (const std::system_error&) {
    }
}

ChunkWorkers::~ChunkWorkers() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void ChunkWorkers::Start(std::size_t pieces, std::function<void(std::size_t)> job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = std::move(job);
        pieces_ = pieces;
        next_.store(0);
        ++generation_;
        pending_ = static_cast<int>(threads_.size());
    }
    wake_.notify_all();
}

void ChunkWorkers::Finish() {
    Work();
    // Every helper must have seen this job before the next one may replace it, even one that
    // woke too late to find a piece left.
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return pending_ == 0; });
}

void ChunkWorkers::Work() {
    for (std::size_t i = next_.fetch_add(1); i < pieces_; i = next_.fetch_add(1))
        job_(i);
}

void ChunkWorkers::Help() {
    std::uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
            if (stop_) return;
            seen = generation_;
        }
        Work();
        std::lock_guard<std::mutex> lock(mutex_);
        if (--pending_ == 0) done_.notify_all();
    }
}

}  // namespace kiv
