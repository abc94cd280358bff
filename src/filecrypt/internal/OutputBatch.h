#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "filecrypt/FileStore.h"

namespace kiv {

// Complete outputs of one folder that wait to be named together, so that a run over thousands of
// small files flushes the disk once per batch instead of twice per file (on a journalling
// filesystem each flush is a commit of the journal, which the next file's creation then waits
// for). The promise stays that of a single output: no file appears under its name before all of
// its data is on the disk, a replaced file's old content is never lost, and a run that ends has
// put on the disk everything it wrote.
//
// A full batch is committed on a thread of its own while the run writes the next one
// (CommitInBackground), so that the flush and the naming cost the run little time of its own.
//
// Commit, and what a crash at each step leaves in the folder:
//   0. Outputs wait as unnamed files (O_TMPFILE), their writers gone. A crash: the filesystem
//      drops unnamed files itself; the folder is as it was.
//   1. Folder::SyncData (syncfs) puts every waiting file's data and the records that find it on
//      the disk; then each output's Written says whether its own data got there. A crash: still
//      nothing named; the folder is as it was.
//   2. Name, in entry order, gives each file whose name is free that name. A crash: some of the
//      new files under their names, each whole (its data was on the disk before it had a name);
//      every existing file as it was.
//   3. Place, in entry order, replaces the files in the way: each new file is linked under a
//      hidden ".NAME.kiv-XXXXXX" beside the file it replaces and renamed over it, which is one
//      step for the filesystem. A crash: each replaced file holds its old content or the whole
//      new one, never a part of either; at most one hidden copy, whole, may be left.
//   4. The next batch's SyncData, or Finish at the run's end (an fsync of the folder), makes
//      the names last. A crash before it: some names given since the last flush may be gone
//      again, the files without them dropped; no name ever leads to a partial file.
// A failed flush or Written, or a failed Name, takes back every name the batch gave:
// nothing of it remains and every existing file is as it was. Once files are being replaced, a
// failed link or rename leaves the outputs before it in place, as one by one commits would, and
// nothing of it or the outputs after it. A batch of one output is committed as it would be alone
// (Output::Commit: fdatasync, name, fsync of the folder), so that one large file flushes nothing
// but itself.
class OutputBatch {
  public:
    // At most mostFiles outputs (each holds a descriptor) and mostBytes of data wait at once, in
    // each of the batch being filled and the one being committed.
    OutputBatch(FileStore::Folder& folder, std::int64_t mostFiles, std::int64_t mostBytes);
    // Waits for a batch being committed; what was not committed leaves nothing behind.
    ~OutputBatch();
    OutputBatch(const OutputBatch&) = delete;
    OutputBatch& operator=(const OutputBatch&) = delete;

    // Takes a batchable output after its Complete; bytes is how much it holds.
    void Add(std::unique_ptr<FileStore::Output> output, std::int64_t bytes);
    bool Empty() const { return outputs_.empty(); }
    std::size_t Size() const { return outputs_.size(); }
    bool Full() const;

    struct Outcome {
        bool complete = true;    // every output is in place
        std::size_t placed = 0;  // outputs in place, from the first, in the order they came
        std::size_t failed = 0;  // the output that failed, when not all were placed
        int error = 0;           // the system's error number of the failure, or 0
    };
    // Puts every waiting output on the disk and in its place, as above; the batch is empty
    // afterwards, whatever the outcome. Not while a batch is committed in the background.
    Outcome Commit();
    // Commits the waiting outputs on a thread of their own; the batch is empty at once and takes
    // the next outputs. Not while another batch is committed in the background.
    void CommitInBackground();
    // Whether a batch is committed in the background, and its outcome once it is.
    bool Committing() const { return committing_.joinable(); }
    Outcome Wait();
    // Drops every waiting output: nothing of them remains.
    void Drop();
    // Makes every name given so far last (an fsync of the folder), if the batch gave any since
    // the last flush.
    void Finish();

  private:
    using Outputs = std::vector<std::unique_ptr<FileStore::Output>>;
    Outcome CommitOutputs(Outputs& outputs);

    FileStore::Folder& folder_;
    const std::size_t mostFiles_;
    const std::int64_t mostBytes_;
    Outputs outputs_;
    std::int64_t bytes_ = 0;
    bool unsynced_ = false;  // names given since the last flush
    std::thread committing_;
    Outcome committed_;
};

}  // namespace kiv
