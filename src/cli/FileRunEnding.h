#pragma once

#include <cstdint>
#include <string>

#include "cli/CliContext.h"
#include "cli/StderrReport.h"
#include "cli/StreamFileStore.h"
#include "filecrypt/FileRunResult.h"

namespace kiv {

// The exit status of a file run: 0 when it wrote everything; 1 for entries not restored or a
// damaged container; 3 for a refused password; 4 for a file that could not be read or written;
// 2 for a run refused for how it was asked (two files of one name, an output that is a source).
// Entries skipped come first: the run went on past them before anything else ended it.
int FileRunExitStatus(const FileRunResult& result);

// After a run: nothing when it wrote everything, else its one "kiv-cli: ..." line. subject is the
// file the run is about (the container), named when the run does not say which file failed;
// files named by an alias of store say "standard input" or "standard output" instead.
int FinishFileRun(CliContext& context, const FileRunResult& result, const StderrReport& report,
                  const std::string& subject, const StreamFileStore& store,
                  const std::string& inputAlias);

// Refuses a FIFO, device or folder among the files before the password is asked for, with a line
// that says why (status 4); the run would refuse it too, but only after the password. An output
// may be a symbolic link, which the run replaces like a file.
bool RefuseIrregular(CliContext& context, const std::string& path, bool output = false);

// Makes the temporary file that will hold standard input as alias, before the password or any
// input is read; false, after its one "kiv-cli: ..." line, when TMPDIR cannot hold it.
bool PrepareStandardInput(CliContext& context, StreamFileStore& store, const std::string& alias);

// Holds standard input in store under alias, up to limit bytes; false, after its one
// "kiv-cli: ..." line, when it cannot be read or held.
bool HoldStandardInput(CliContext& context, StreamFileStore& store, const std::string& alias,
                       std::int64_t limit);

}  // namespace kiv
