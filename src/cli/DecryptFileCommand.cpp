#include "cli/DecryptFileCommand.h"

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <cstdint>
#include <limits>
#include <ostream>

#include "cli/CliMessages.h"
#include "cli/CommandOptions.h"
#include "cli/FileRunEnding.h"
#include "cli/StderrReport.h"
#include "cli/StreamFileStore.h"
#include "filecrypt/ContainerListing.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

std::string DecryptFileCommand::Description() const {
    return "Restores the files held in FILE.vrq beside it, or into DIR; a file of the same name "
           "and other content is replaced with -f, kept with -n, and otherwise refused before "
           "anything is written (status 1). FILE.vrq \"-\" is standard input, restored into the "
           "current folder "
           "unless -C is given. With --stdout, the bytes of every stored file are written, in "
           "order, to standard output, and no file is created.";
}

std::string DecryptFileCommand::Manual() const {
    return R"(Restores the files held in _FILE.vrq_ beside it, or into _DIR_. A file of the same name )"
           R"(whose content differs is refused, one line each, before anything is written (status )"
           R"(1), unless *-f* replaces it or *-n* keeps it (one line each, and the others are )"
           R"(restored; status 0); a file that holds the same bytes stays as it is. _FILE.vrq_ *-* reads the encrypted file from standard input and restores into )"
           R"(the current folder unless *-C* is given. With *--stdout*, the bytes of every stored file )"
           R"(are written, in order, to standard output and no file is created (as *tar -O* and )"
           R"(*unzip -p* do). An entry that would replace _FILE.vrq_ itself or a file restored earlier )"
           R"(in the run is skipped; names are compared as the folder compares them, so a folder that )"
           R"(ignores letter case (FAT, for one) takes _A.txt_ and _a.txt_ for one file, and a file )"
           R"(about to be replaced that holds the bytes of _FILE.vrq_ is taken for it (_DIR_ may be its )"
           R"(folder under another spelling, or a bindfs view of it). A damaged entry whose end can )"
           R"(still be found is skipped and the entries after it are restored; the exit status is )"
           R"(then 1.)";
}

void DecryptFileCommand::Declare(CLI::App& command) {
    CLI::Option* directory =
        DeclareValue(command, "-C,--directory", "the folder to restore into", "DIR", directory_);
    DeclareFlag(command, "--stdout",
                "writes the stored files' bytes, in order, to standard output instead of "
                "restoring them",
                toStdout_)
        ->excludes(directory);
    DeclareVerbose(command, verbose_);
    DeclareReport(command, report_);
    DeclareQuiet(command, quiet_);
    DeclareOverwrite(command, force_, noClobber_);
    password_.Declare(command);
    DeclareOperand(command, "FILE.vrq", "the encrypted file; \"-\" for standard input", container_);
}

int DecryptFileCommand::Run(CliContext& context) {
    const bool fromStdin = container_ == "-";
    if (fromStdin && password_.ReadsStandardInput())
        return UsageError(context, Worded(kPasswordFdClash, "the encrypted file (\"-\")"));
    std::string target;
    if (const auto& folder = directory_) {
        struct stat info {};
        if (stat(folder->c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return UsageError(context, "'" + PrintableName(*folder) + "' is not a folder");
        target = folder->empty() || folder->back() == '/' ? *folder : *folder + "/";
    } else if (fromStdin || toStdout_) {
        target = "./";
    }
    if (!fromStdin && RefuseIrregular(context, container_)) return kExitInputOutput;
    StreamFileStore store;
    if (fromStdin && !PrepareStandardInput(context, store, container_)) return kExitInputOutput;
    int status = kExitOk;
    const auto password = password_.Read(context, false, status);
    if (!password) return status;

    if (fromStdin) {
        if (!HoldStandardInput(context, store, container_,
                               std::numeric_limits<std::int64_t>::max()))
            return kExitInputOutput;
    }
    if (toStdout_) store.SendOutputsTo(context.outFd, "");

    StderrReport report(context.err, context.errIsTerminal && !quiet_, report_,
                        context.cancelRequested);
    report.AddLine(ReportText::Value(fromStdin ? "standard input" : container_));
    ContainerListing listing = ListContainer(container_, store);
    std::vector<std::int64_t> sizes;
    for (const ContainerListing::Entry& entry : listing.entries)
        sizes.push_back(entry.size);
    report.SetRunSizes(std::move(sizes));
    if (verbose_ && !toStdout_) report.ShowRestoredFiles(target);
    if (!toStdout_ && !force_)
        report.SetInTheWay(noClobber_ ? StderrReport::InTheWay::kKeep
                                      : StderrReport::InTheWay::kRefuse);
    const FileRunResult result =
        DecryptFiles(*password, container_, report, target, context.clock, FileRunSpeed(), store);
    // Each file in the way has had its line; nothing was written.
    if (report.Refused()) return kOutputExists.status;
    return FinishFileRun(context, result, report, container_, store, fromStdin ? "-" : "");
}

}  // namespace kiv
