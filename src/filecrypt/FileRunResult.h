#pragma once

#include <cstring>
#include <string>
#include <utility>

namespace kiv {

// How errors travel from the libraries to the window and kiv-cli: docs/errors.md.

enum class FileRunStatus {
    Completed,  // every file was written whole
    Refused,    // stopped before anything was written: password, sources, output path
    Stopped,    // the container refused the password (its count, or "Stop" at "Password is wrong")
    Failed,     // a file could not be read or written, or the container is damaged
    Cancelled,  // the caller asked to stop between blocks
};

// What kind of failure ended a run, so that each front end can word it for its own users: the
// window keeps its report lines and messages, kiv-cli prints one "kiv-cli: ..." line per kind.
// Every run that does not complete sets one, with failurePath naming the file concerned.
enum class FileRunFailure {
    None,
    SourceUnreadable,  // a file to encrypt could not be read or is too large for a container,
                       // or the container to restore could not be read; path: that file
    OutputUnwritable,  // the container or a restored file could not be written, or the
                       // container would replace a source; path: the file not written
    ContainerDamaged,  // the container ends early or holds what no encryption writes; path: it
    PasswordRefused,   // the password check refused the password, or the user stopped at
                       // "Password is wrong"; path: the container
    Cancelled,         // the caller asked to stop; path: the file left unwritten
};

struct FileRunResult {
    FileRunStatus status = FileRunStatus::Completed;
    FileRunFailure failure = FileRunFailure::None;
    std::string failurePath;  // the file the failure concerns, where there is one
    int failureError = 0;     // the system's error number (errno) behind the failure, or 0
    // Where the system gave no error number, or one that would mislead ("Invalid argument" for a
    // FIFO), the run's own words for why: a fixed English text marked for translation
    // (Message::NotRegularFile, Message::ChangedWhileRead), or null.
    const char* failureText = nullptr;
    int filesWritten = 0;     // restored files, or 1 for a written container
    int entriesSkipped = 0;   // stored entries not restored for their name or their target:
                              // unsafe, taken by an earlier entry, or the container itself
    int entriesRenamed = 0;   // entries written under a free name because the password was not
                              // confirmed and their own name was taken
    int entriesDeclined = 0;  // entries not restored because the user chose to keep the file of
                              // other content that held their name
    bool passwordUnconfirmed = false;  // the user went on past "Password is wrong": what was
                                       // written is probably not the stored files' content
    // A run that ended early for the given reason; error as failureError.
    static FileRunResult Ended(FileRunStatus status, FileRunFailure failure, std::string path,
                               int error = 0) {
        FileRunResult result;
        result.status = status;
        result.failure = failure;
        result.failurePath = std::move(path);
        result.failureError = error;
        return result;
    }
    // The system's words for failureError, in English whatever the locale ("No space left on
    // device"), or failureText, or "" when the failure has neither behind it.
    std::string FailureReason() const {
        if (failureText != nullptr) return failureText;
        if (failureError == 0) return {};
        const char* words = strerrordesc_np(failureError);
        return words != nullptr ? words : "error " + std::to_string(failureError);
    }
    bool AllWritten() const {
        return status == FileRunStatus::Completed && entriesSkipped == 0 && entriesRenamed == 0 &&
               !passwordUnconfirmed;
    }
};

}  // namespace kiv
