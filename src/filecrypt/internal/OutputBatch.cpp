#include "filecrypt/internal/OutputBatch.h"

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <exception>

namespace kiv {

namespace {

// A quarter of the descriptors the process may open (a few are its own): each waiting output
// holds one, and two batches may wait at once.
std::int64_t DescriptorRoom() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return INT32_MAX;
    return (static_cast<std::int64_t>(limit.rlim_cur) - 16) / 4;
}

}  // namespace

OutputBatch::OutputBatch(FileStore::Folder& folder, std::int64_t mostFiles, std::int64_t mostBytes)
    : folder_(folder),
      mostFiles_(static_cast<std::size_t>(
          std::max<std::int64_t>(std::min(mostFiles, DescriptorRoom()), 1))),
      mostBytes_(mostBytes) {}

OutputBatch::~OutputBatch() {
    if (Committing()) Wait();
}

void OutputBatch::Add(std::unique_ptr<FileStore::Output> output, std::int64_t bytes) {
    outputs_.push_back(std::move(output));
    bytes_ += bytes;
}

bool OutputBatch::Full() const {
    return outputs_.size() >= mostFiles_ || bytes_ >= mostBytes_;
}

OutputBatch::Outcome OutputBatch::Commit() {
    Outputs outputs = std::move(outputs_);
    outputs_.clear();
    bytes_ = 0;
    return CommitOutputs(outputs);
}

void OutputBatch::CommitInBackground() {
    committing_ = std::thread([this, outputs = std::move(outputs_)]() mutable {
        try {
            committed_ = CommitOutputs(outputs);
        } catch (const std::exception&) {
            // No memory for a name: nothing of the batch remains.
            outputs.clear();
            committed_ = Outcome{false, 0, 0, ENOMEM};
        }
    });
    outputs_.clear();
    bytes_ = 0;
}

OutputBatch::Outcome OutputBatch::Wait() {
    if (!Committing()) return Outcome();
    committing_.join();
    return committed_;
}

void OutputBatch::Drop() {
    // Destroyed uncommitted, each output leaves nothing behind.
    outputs_.clear();
    bytes_ = 0;
}

void OutputBatch::Finish() {
    if (unsynced_) folder_.SyncNames();
    unsynced_ = false;
}

OutputBatch::Outcome OutputBatch::CommitOutputs(Outputs& outputs) {
    Outcome outcome;
    const auto fail = [&](std::size_t at) {
        outcome.complete = false;
        outcome.failed = at;
        outcome.error = errno;
        // Destroyed uncommitted, each output leaves nothing behind.
        outputs.clear();
        return outcome;
    };
    if (outputs.empty()) return outcome;
    if (outputs.size() == 1) {
        // One file is flushed alone: no other files of the filesystem need be written with it.
        if (!outputs.front()->Commit()) return fail(0);
        // Its flush of the folder made every earlier name last too.
        unsynced_ = false;
        outcome.placed = 1;
        return outcome;
    }
    if (!folder_.SyncData()) return fail(0);
    // The flush of the filesystem made the data of the files last before any has a name. The
    // next one makes these names last; the previous batch's are now.
    unsynced_ = false;
    for (std::size_t i = 0; i < outputs.size(); ++i)
        if (!outputs[i]->Written()) return fail(i);
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (outputs[i]->Name()) continue;
        const int error = errno;
        for (std::size_t j = 0; j < i; ++j)
            outputs[j]->Unname();
        errno = error;
        return fail(i);
    }
    unsynced_ = true;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (outputs[i]->Place()) {
            ++outcome.placed;
            continue;
        }
        const int error = errno;
        for (std::size_t j = i + 1; j < outputs.size(); ++j)
            outputs[j]->Unname();
        errno = error;
        return fail(i);
    }
    return outcome;
}

}  // namespace kiv
