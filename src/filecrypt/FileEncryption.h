#pragma once

#include <string>
#include <vector>

#include "filecrypt/DiskFileStore.h"
#include "filecrypt/FileRunObserver.h"
#include "filecrypt/FileRunResult.h"
#include "filecrypt/FileRunSpeed.h"
#include "filecrypt/ReportText.h"
#include "filecrypt/SourceParts.h"
#include "messages/MessageCatalogue.h"
#include "numeric/Clock.h"
#include "numeric/SystemClock.h"

namespace kiv {

// Encrypts the sources, in order, into one container at output. Every source is looked at
// before anything is created and opened once, when its turn comes (a source that cannot be
// opened then ends the run there); the container appears under its name only when it is
// complete: a refused, failed or cancelled run leaves every file as it was. Refuses passwords
// outside 3..23 bytes, passwords whose moduli repeat, two sources of one name (the container keeps
// only names), sources of 2 GiB or more (unless parts says how to store them) and an output that
// names one of the sources (known by its identity, or by holding a source's bytes, since another
// spelling or view of a folder may show no
// identity in common: an existing copy of a source is refused as well). The run has its own
// workspace, so it may run on a worker thread. Files are read and written through files: the
// disk, memory, or kiv-cli's standard input and output.
FileRunResult EncryptFiles(const std::string& password, const std::vector<std::string>& sources,
                           const std::string& output, FileRunObserver& observer,
                           const Clock& clock = SystemClock::Instance(),
                           const FileRunSpeed& speed = FileRunSpeed(),
                           FileStore& files = DiskFileStore::Instance(),
                           const SourceParts& parts = {});

ReportText SourceTooLargeMessage(const std::string& path);
ReportText OutputIsSourceMessage(const std::string& path);
ReportText SameNameMessage(const std::string& name);

}  // namespace kiv
