#pragma once

namespace kiv {

enum class FileRunStatus {
    Completed,  // every file was written whole
    Refused,    // stopped before anything was written: password, sources, output path
    Stopped,    // the user answered OK to "Password is wrong"
    Failed,     // a file could not be read or written, or the container is damaged
    Cancelled,  // the caller asked to stop between blocks
};

struct FileRunResult {
    FileRunStatus status = FileRunStatus::Completed;
    int filesWritten = 0;    // restored files, or 1 for a written container
    int entriesSkipped = 0;  // stored entries refused for their name
    bool AllWritten() const { return status == FileRunStatus::Completed && entriesSkipped == 0; }
};

}  // namespace kiv
