#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "filecrypt/ContainerNames.h"
#include "filecrypt/DiskFileStore.h"
#include "filecrypt/FileRunObserver.h"
#include "filecrypt/FileRunResult.h"
#include "filecrypt/FileRunSpeed.h"
#include "filecrypt/ReportText.h"
#include "messages/MessageCatalogue.h"
#include "numeric/Clock.h"
#include "numeric/SystemClock.h"

namespace kiv {

// Restores the files held in the container at path into targetFolder (with its final "/"), or
// beside the container when targetFolder is empty, under their stored names, replacing existing
// files of those names. Each file appears under its name only when it is complete. Stored names
// are untrusted: an entry whose name is empty, holds "/" or a NUL, or is "." or "..", whose target
// is the container itself (by device and inode, so also through a link; by name as the folder
// compares names, so also in a folder that ignores letter case; and by holding its bytes, so
// also in another spelling or a FUSE view of its folder, where identities say nothing), or whose
// target is a file this run restored already (by identity and name), is skipped with a report
// line. When the user went on past "Password is wrong" (asked once), what is decoded may be
// garbage, so no existing file is replaced: such an entry is written under the first free
// RestoredCopyName (2, 3, ...), and every entry written under its own name gets a report line
// too. Where the observer asks before replacing (AsksBeforeReplacing), files in the way are
// compared with what would be written before anything is written: one of the same content is
// left as it is, and the observer is asked once whether the others are replaced, kept beside a
// copy or skipped; names that were free then are never replaced later. A
// damaged container (a bad name length, a negative file count, an entry claiming more blocks
// than the file holds, a file that ends early) ends the run with report lines naming the entry
// and the entries not restored; nothing is decoded from leftovers. An entry with a negative
// size, whose end the layout still gives, costs only itself: it is reported and skipped, the
// run goes on and ends as Failed with ContainerDamaged. A header count that no password gives
// is reported as not an encrypted file. The run has its own workspace, so it may run on a worker
// thread. Files are read, written and looked up through files: the disk, or memory. Where wanted
// is given, it is asked about each entry (numbered from 1) that the layout accepts, in order, and
// an entry it does not want is passed over without a word: neither decoded nor counted.
FileRunResult DecryptFiles(const std::string& password, const std::string& path,
                           FileRunObserver& observer, const std::string& targetFolder = {},
                           const Clock& clock = SystemClock::Instance(),
                           const FileRunSpeed& speed = FileRunSpeed(),
                           FileStore& files = DiskFileStore::Instance(),
                           const std::function<bool(int, const std::string&)>& wanted = {});

// Report lines of a damaged container and of entries not restored.
namespace report {
ReportText EndsBeforeEntry(int entry);
ReportText EndsBeforeLastBlockOfEntry(int entry);
// The file ended inside the blocks of the entry stored as name.
ReportText EndsBeforeLastBlockOf(const std::string& name);
ReportText BadNameLength(int entry, std::int64_t length);
// A size below 0: the entry is skipped and the run goes on.
ReportText BadSourceSize(int entry, const std::string& name, std::int64_t size);
ReportText NegativeFileCount(std::int64_t count);
ReportText EntrySkipped(EntryProblem problem, const std::string& name, int entry);
ReportText NotAnEncryptedFile(std::int64_t count);
// After a stop at entry: it and the entries after it were not restored.
ReportText EntriesNotRestored(int entry, std::int64_t fileCount);
// The plausibility stop: the entry claims more blocks than the file holds.
ReportText ImplausibleEntry(const std::string& name, int entry, std::int64_t fileCount);
ReportText RestoredUnderAnotherName(const std::string& name, const std::string& written);
// After the user went on past "Password is wrong": an entry written under its own, free name.
ReportText RestoredUnconfirmed(const std::string& name);
// A file of other content in the way, and what the user chose for it.
ReportText ExistingReplaced(const std::string& name);
ReportText ExistingKeptBoth(const std::string& name, const std::string& written);
ReportText ExistingSkipped(const std::string& name, int entry);
// The file in the way holds what the entry would write; it is not written again.
ReportText ExistingSame(const std::string& name);
}  // namespace report

}  // namespace kiv
