#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace kiv {

// One thread of its own that runs the jobs handed to it one after the other, while the thread
// that hands them out goes on with other work (reading and writing). Every job runs on that same
// thread, in the order given, so state a job keeps for the next (a workspace, its noise chain,
// a clock's per-thread readings) passes on exactly as on one thread. When no thread can be
// started, Wait() runs the job itself.
class SerialWorker {
  public:
    SerialWorker();
    // Waits for the job under way (whatever it throws is dropped) and ends the thread.
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    // Hands job over; the job before it must have been waited for.
    void Start(std::function<void()> job);
    // Returns when the job started last is done, rethrowing what it threw; at once when none is
    // under way.
    void Wait();

  private:
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::function<void()> job_;
    bool busy_ = false;  // a job is handed over and not yet done
    bool stop_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace kiv
