#include "cli/EncryptFilesCommand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <ostream>

#include "cli/ClobberGuard.h"
#include "cli/CommandOptions.h"
#include "cli/FailureLines.h"
#include "cli/FileRunEnding.h"
#include "cli/StandardInputParts.h"
#include "cli/StderrReport.h"
#include "cli/StreamFileStore.h"
#include "filecrypt/ContainerFormat.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/DiskFileStore.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/PartNames.h"
#include "filecrypt/PrintableName.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

namespace {

// How the run names standard output to its file store: a path no stored name can be.
constexpr char kStandardOutput[] = "/dev/stdout";

// Why name cannot be stored as a file's name, or "".
std::string NameProblem(const std::string& name) {
    if (name.empty()) return CliText(Message::NameIsEmpty);
    if (name == "." || name == "..") return CliText(Message::NameIsFolder);
    if (name.find('/') != std::string::npos) return CliText(Message::NameHoldsSlash);
    if (name.size() > static_cast<std::size_t>(kLongestStoredName))
        return CliText(Message::NameTooLong);
    return {};
}

// Whether the encrypted file can be written back into at the end (its file count and the names of
// parts stand before the parts): a file on the disk can, a pipe or a file opened to append
// cannot.
bool OutputGoesBack(int fd) {
    struct stat info {};
    const int flags = fcntl(fd, F_GETFL);
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flags >= 0 &&
           (flags & O_APPEND) == 0 && lseek(fd, 0, SEEK_CUR) >= 0;
}

}  // namespace

std::string EncryptFilesCommand::Description() const {
    return "Encrypts the files, in order, into one encrypted file. One file without -o goes to "
           "its name with the last extension replaced by .vrq (plan.txt -> plan.vrq); several "
           "files, and standard input, need -o. An existing output is refused before anything "
           "is written (status 1) unless -f replaces it; -n keeps it (status 0). A FILE \"-\" is "
           "standard input, stored under "
           "--name NAME; -o - writes the encrypted file to standard output.";
}

std::string EncryptFilesCommand::Manual() const {
    return R"(Encrypts the files, in order, into one encrypted file. One file without *-o* goes to its )"
           R"(name with the last extension replaced by _.vrq_ (_plan.txt_ becomes _plan.vrq_); several )"
           R"(files need *-o*. An _OUT_ that is one of the files is refused (status 2), also when it )"
           R"(names it in another spelling or view of its folder: an existing _OUT_ that holds a file's )"
           R"(bytes counts as that file. A _FILE_ *-* is standard input, stored under the name given )"
           R"(with *--name* (required with *-*, see STANDARD INPUT AND OUTPUT). *-o -* writes the )"
           R"(encrypted file to standard output, which must not be a terminal. An _OUT_ that exists )"
           R"(is refused before anything is written, with one line and status 1, unless *-f* )"
           R"(replaces it; with *-n* it is kept, said in one line, and the status is 0. A file larger )"
           R"(than one stored file can hold (2 GiB less one byte) is stored as parts, see LARGE FILES )"
           R"(AND STREAMS. With *-v*, one line per file: _FILE_ → _OUT_.)";
}

void EncryptFilesCommand::Declare(CLI::App& command) {
    DeclareValue(command, "-o,--output", "the encrypted file to write; \"-\" for standard output",
                 "OUT", output_);
    DeclareValue(command, "--name", "the name to store standard input (FILE \"-\") under", "NAME",
                 name_);
    DeclareVerbose(command, verbose_);
    DeclareReport(command, report_);
    DeclareQuiet(command, quiet_);
    DeclareOverwrite(command, force_, noClobber_);
    password_.Declare(command);
    DeclareOperands(command, "FILE", "the files to encrypt, in this order", sources_, true);
}

int EncryptFilesCommand::Run(CliContext& context) {
    std::vector<std::string> sources = sources_;
    const auto stdinCount = std::count(sources.begin(), sources.end(), "-");
    if (stdinCount > 1) return UsageError(context, CliText(Message::StandardInputTwice));
    if (stdinCount == 1 && !name_)
        return UsageError(context, CliText(Message::StandardInputNeedsName));
    if (stdinCount == 1 && password_.ReadsStandardInput())
        return UsageError(context,
                          CliWording(Message::PasswordFdClash, {"the file to encrypt (\"-\")"}));
    if (stdinCount == 0 && name_)
        return UsageError(context, CliText(Message::NameWithoutStandardInput));
    if (name_) {
        if (const std::string problem = NameProblem(*name_); !problem.empty())
            return UsageError(
                context, CliWording(Message::NameCannotBeStored, {PrintableName(*name_), problem}));
        // The run stores each file under the last part of its path: standard input goes in
        // under its name.
        std::replace(sources.begin(), sources.end(), std::string("-"), *name_);
    }

    std::string output;
    if (output_) {
        output = *output_ == "-" ? kStandardOutput : *output_;
    } else if (sources.size() > 1 || stdinCount == 1) {
        return UsageError(context, stdinCount == 1 ? CliText(Message::StandardInputNeedsOutput)
                                                   : CliText(Message::SeveralFilesNeedOutput));
    } else {
        output = SingleFileOutputName(sources.front());
    }
    const bool toStdout = output == kStandardOutput;
    if (toStdout && isatty(context.outFd) == 1)
        return UsageError(context, CliText(Message::OutputIsTerminal));
    for (const std::string& source : sources_)
        if (source != "-" && RefuseIrregular(context, source)) return kExitInputOutput;
    if (!toStdout && RefuseIrregular(context, output, true)) return kExitInputOutput;
    ClobberGuard guard(DiskFileStore::Instance());
    StreamFileStore store(force_ ? static_cast<FileStore&>(DiskFileStore::Instance()) : guard);
    if (name_ && !PrepareStandardInput(context, store, *name_)) return kExitInputOutput;
    int status = kExitOk;
    const auto password = password_.Read(context, true, status);
    if (!password) return status;

    // Standard input larger than one stored file holds is stored as parts. Where the encrypted
    // file can be written back into at the end, each part is held only while it is encrypted;
    // else the whole stream is held first, since the file count stands before the entries.
    SourceParts parts;
    parts.bound =
        context.partBound > 0 ? std::min(context.partBound, kLargestEntry) : kLargestEntry;
    StandardInputParts feed(store, context.inFd);
    if (name_ && (!toStdout || OutputGoesBack(context.outFd))) {
        parts.fedPath = *name_;
        parts.feed = &feed;
    } else if (name_ && !HoldStandardInput(context, store, *name_,
                                           std::numeric_limits<std::int64_t>::max())) {
        return kExitInputOutput;
    }
    if (toStdout) store.SendOutputsTo(context.outFd, kStandardOutput);

    StderrReport report(context.err, context.errIsTerminal && !quiet_, report_,
                        context.cancelRequested);
    // The run gives the bar its entries' sizes: it looks at each source once.
    for (const std::string& source : sources)
        report.AddLine(ReportText::Value(source));
    const FileRunResult result = EncryptFiles(*password, sources, output, report, context.clock,
                                              FileRunSpeed(), store, parts);
    if (!feed.Problem().empty()) {
        context.err << "kiv-cli: " << feed.Problem() << '\n';
        return kExitInputOutput;
    }
    // The output's name was taken once the run had checked everything else; nothing was written.
    if (!guard.Taken().empty()) {
        const Message line = noClobber_ ? Message::KeptExisting : Message::OutputExists;
        context.err << "kiv-cli: " << CliWording(line, {PrintableName(guard.Taken())}) << '\n';
        return noClobber_ ? kExitOk : ExitStatusOf(line);
    }
    if (verbose_ && result.AllWritten())
        for (std::size_t k = 0; k < sources.size(); ++k)
            context.err << (sources_[k] == "-" ? "standard input" : PrintableName(sources[k]))
                        << " \u2192 " << (toStdout ? "standard output" : PrintableName(output))
                        << '\n';
    return FinishFileRun(context, result, report, output, store, name_.value_or(""));
}

}  // namespace kiv
