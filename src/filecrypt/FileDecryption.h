#pragma once

#include <string>

#include "cipher/PasswordMessages.h"
#include "filecrypt/DiskFileStore.h"
#include "filecrypt/FileRunObserver.h"
#include "filecrypt/FileRunResult.h"
#include "filecrypt/FileRunSpeed.h"
#include "numeric/Clock.h"
#include "numeric/SystemClock.h"

namespace kiv {

// Restores the files held in the container at path into targetFolder (with its final "/"), or
// beside the container when targetFolder is empty, under their stored names, replacing existing
// files of those names. Each file appears under its name only when it is complete. Stored names
// are untrusted: an entry whose name is empty, holds "/" or a NUL, is "." or "..", or names the
// container itself is skipped with a report line. A damaged container (a bad name length, a
// negative size, a file that ends early) ends the run with a report line; nothing is decoded
// from leftovers. The run has its own workspace, so it may run on a worker thread. Files are read
// and written through files: the disk, or memory.
FileRunResult DecryptFiles(const std::string& password, const std::string& path,
                           FileRunObserver& observer, const std::string& targetFolder = {},
                           const Clock& clock = SystemClock::Instance(),
                           const FileRunSpeed& speed = FileRunSpeed(),
                           FileStore& files = DiskFileStore::Instance());

// Report lines of a damaged container.
namespace report {
inline constexpr char kTooShortForHeader[] = " The file is too short to be an encrypted file";
std::string EndsEarly(const std::string& what);
std::string BadNameLength(int entry, std::int64_t length);
std::string BadSourceSize(int entry, std::int64_t size);
std::string EntrySkipped(const std::string& name, int entry, const std::string& problem);
}  // namespace report

}  // namespace kiv
