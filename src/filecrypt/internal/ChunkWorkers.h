#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kiv {

// Helper threads that share the pieces of one job at a time with the thread that owns them. The
// owner starts a job, goes on with other work (reading the next chunk) and then joins in with
// Finish(), which returns when every piece is done; so whichever thread is free takes the next
// piece, and the owner's other work costs no idle core. With no helpers the owner does it all.
class ChunkWorkers {
  public:
    explicit ChunkWorkers(int helpers);
    ~ChunkWorkers();
    ChunkWorkers(const ChunkWorkers&) = delete;
    ChunkWorkers& operator=(const ChunkWorkers&) = delete;

    // job(i) for every piece i in 0..pieces-1, each exactly once, on any of the threads. job must
    // not throw. A started job must be finished before the next one starts.
    void Start(std::size_t pieces, std::function<void(std::size_t)> job);
    void Finish();

  private:
    void Help();
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::function<void(std::size_t)> job_;
    std::size_t pieces_ = 0;
    std::atomic<std::size_t> next_{0};
    std::uint64_t generation_ = 0;
    int pending_ = 0;  // helpers that have not yet finished with the current job
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace kiv
