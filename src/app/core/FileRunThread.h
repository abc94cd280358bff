#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "app/core/QueuedRunObserver.h"
#include "filecrypt/FileRunObserver.h"
#include "filecrypt/FileRunResult.h"

namespace kiv {

// Runs one file run at a time on a worker thread, so the window keeps repainting and answering
// while blocks are coded. The run reports to shown on the window's thread; when it has ended,
// finished is called there too, after every report of the run.
class FileRunThread final : public QObject {
  public:
    using Job = std::function<FileRunResult(FileRunObserver& observer)>;
    using Finished = std::function<void(const FileRunResult& result)>;

    FileRunThread(FileRunObserver& shown, Finished finished);
    // Cancels a run still going and waits for it; finished is not called any more.
    ~FileRunThread() override;

    // Call only while no run is going.
    void Start(Job job);
    bool Running() const { return worker_.joinable(); }
    // Asks the run to stop between blocks; what it has not completed is not left behind.
    void Cancel() { cancel_ = true; }
    // Cancels the run and waits for it: finished is called before this returns, and reports the
    // run had not delivered yet are dropped.
    void Stop();

  private:
    void End();

    Finished finished_;
    std::atomic<bool> cancel_{false};
    QueuedRunObserver queued_;
    std::thread worker_;
    FileRunResult result_;     // written by the worker, read after it is joined
    std::atomic<int> run_{0};  // tells a finished run's late calls from the current run's
};

}  // namespace kiv
