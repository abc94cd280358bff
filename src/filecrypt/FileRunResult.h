#pragma once

#include <string>

namespace kiv {

enum class FileRunStatus {
    Completed,  // every file was written whole
    Refused,    // stopped before anything was written: password, sources, output path
    Stopped,    // the user answered OK to "Password is wrong"
    Failed,     // a file could not be read or written, or the container is damaged
    Cancelled,  // the caller asked to stop between blocks
};

// What kind of failure ended or marred a run, so that each front end can word it for its own
// users: the window keeps its report lines, kiv-cli prints one "kiv-cli: ..." line per kind.
enum class FileRunFailure {
    None,
    SourceUnreadable,  // a file to encrypt, or the container to restore, could not be read
    OutputUnwritable,  // the container or a restored file could not be written
    ContainerDamaged,  // the container ends early or holds what no encryption writes
    PasswordRefused,   // the password check refused the password before anything was written
    Cancelled,         // the caller asked to stop
};

struct FileRunResult {
    FileRunStatus status = FileRunStatus::Completed;
    FileRunFailure failure = FileRunFailure::None;
    std::string failurePath;  // the file the failure concerns, where there is one
    int filesWritten = 0;     // restored files, or 1 for a written container
    int entriesSkipped = 0;   // stored entries refused for their name
    bool AllWritten() const { return status == FileRunStatus::Completed && entriesSkipped == 0; }
};

}  // namespace kiv
