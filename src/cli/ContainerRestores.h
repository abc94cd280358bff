#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/CliContext.h"
#include "cli/PasswordOptions.h"

namespace kiv {

// What decrypt-file and test ask of the containers they are given.
struct ContainerRestores {
    std::vector<std::string> containers;   // "-" (at most once) is standard input
    std::optional<std::string> directory;  // -C: restore there, not beside each container
    bool toStdout = false;                 // the stored files' bytes to standard output, in order
    bool checkOnly = false;                // decode every block and write nothing (test)
    bool verbose = false;    // -v: each file restored as "name → path", or checked as "name: ok"
    bool report = false;     // --report: the window's report lines
    bool quiet = false;      // -q: no progress and no notes
    bool force = false;      // -f: a file of other content in the way is replaced
    bool noClobber = false;  // -n: it is kept; neither: it is refused before anything is written
    bool json = false;  // with checkOnly: one verdict per container and entry on standard output
    // Only the entries of these names, and the parts of a file of such a name; all when empty.
    std::vector<std::string> names;

    // Runs each container on its own under one password: a failure is reported on its line and
    // the next container is run. Returns the first failure's status.
    int Run(CliContext& context, const PasswordOptions& password) const;
};

}  // namespace kiv
