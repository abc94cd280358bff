#include "app/core/FileRunThread.h"

#include <QMetaObject>

namespace kiv {

FileRunThread::FileRunThread(FileRunObserver& shown, Finished finished)
    : finished_(std::move(finished)),
      queued_(
          shown,
          [this](std::function<void()> call) {
              const int run = run_;
              // Queued to this object: calls still waiting when it is destroyed are dropped.
              QMetaObject::invokeMethod(
                  this,
                  [this, run, call = std::move(call)] {
                      if (run == run_ && Running()) call();
                  },
                  Qt::QueuedConnection);
          },
          cancel_) {}

FileRunThread::~FileRunThread() {
    if (!Running()) return;
    cancel_ = true;
    worker_.join();
}

void FileRunThread::Start(Job job) {
    cancel_ = false;
    const int run = ++run_;
    worker_ = std::thread([this, run, job = std::move(job)] {
        result_ = job(queued_);
        QMetaObject::invokeMethod(
            this,
            [this, run] {
                if (run == run_ && Running()) End();
            },
            Qt::QueuedConnection);
    });
}

void FileRunThread::Stop() {
    if (!Running()) return;
    cancel_ = true;
    End();
}

void FileRunThread::End() {
    worker_.join();
    finished_(result_);
}

}  // namespace kiv
