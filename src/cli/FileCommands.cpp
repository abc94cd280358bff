#include "cli/FileCommands.h"

#include <sys/stat.h>

#include <iomanip>
#include <ostream>

#include "cli/CliPassword.h"
#include "cli/FailureLines.h"
#include "cli/StderrReport.h"
#include "filecrypt/ContainerListing.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

namespace {

// After the run: nothing when every file was written, else the one failure line and status 1.
// subject is the file the run is about (the container), named when the run does not say which
// file failed.
int Finish(CliContext& context, const FileRunResult& result, const StderrReport& report,
           const std::string& subject) {
    if (result.AllWritten()) return kExitOk;
    const std::string& path = result.failurePath.empty() ? subject : result.failurePath;
    // The system's reason, where there is one, says why after what the run showed.
    std::string detail = report.Detail();
    if (const std::string reason = result.FailureReason(); !reason.empty())
        detail = detail.empty() ? reason : detail + ": " + reason;
    if (result.failure == FileRunFailure::None && result.status == FileRunStatus::Completed) {
        context.err << "kiv-cli: " << result.entriesSkipped << " of the files stored in '"
                    << PrintableName(subject)
                    << "' were not restored: their names are unsafe (see the report)\n";
    } else {
        context.err << FailureLine(result.failure, path, detail) << '\n';
    }
    return kExitFailed;
}

// A FIFO, device or folder among the files is refused before the password is asked for, with
// a line that says why; the run would refuse it too (without waiting on a FIFO), but only with
// its report line. An output may be a symbolic link, which the run replaces like a file.
bool RefuseIrregular(CliContext& context, const std::string& path, bool output = false) {
    struct stat info {};
    if ((output ? lstat(path.c_str(), &info) : stat(path.c_str(), &info)) != 0 ||
        S_ISREG(info.st_mode) || (output && S_ISLNK(info.st_mode)))
        return false;
    context.err << "kiv-cli: " << PrintableName(path) << " is not a regular file\n";
    return true;
}

}  // namespace

int RunEncryptFiles(CliContext& context, const CommandRequest& request) {
    const std::vector<std::string>& sources = request.operands;
    std::string output;
    if (request.output) {
        output = *request.output;
    } else if (sources.size() > 1) {
        return UsageError(context, "several files need -o OUT");
    } else {
        output = SingleFileOutputName(sources.front());
    }
    for (const std::string& source : sources)
        if (RefuseIrregular(context, source)) return kExitFailed;
    if (RefuseIrregular(context, output, true)) return kExitFailed;
    int status = kExitOk;
    const auto password = CommandPassword(context, request, true, status);
    if (!password) return status;

    StderrReport report(context.err, context.errIsTerminal, context.cancelRequested);
    for (const std::string& source : sources)
        report.AddLine(ReportText::Value(source));
    const FileRunResult result = EncryptFiles(*password, sources, output, report, context.clock);
    return Finish(context, result, report, output);
}

int RunDecryptFile(CliContext& context, const CommandRequest& request) {
    const std::string& container = request.operands.front();
    std::string target;
    if (const auto& folder = request.directory) {
        struct stat info {};
        if (stat(folder->c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return UsageError(context, "'" + PrintableName(*folder) + "' is not a folder");
        target = folder->empty() || folder->back() == '/' ? *folder : *folder + "/";
    }
    if (RefuseIrregular(context, container)) return kExitFailed;
    int status = kExitOk;
    const auto password = CommandPassword(context, request, false, status);
    if (!password) return status;

    StderrReport report(context.err, context.errIsTerminal, context.cancelRequested);
    report.AddLine(ReportText::Value(container));
    const FileRunResult result = DecryptFiles(*password, container, report, target, context.clock);
    return Finish(context, result, report, container);
}

int RunListContainer(CliContext& context, const CommandRequest& request) {
    const std::string& path = request.operands.front();
    if (RefuseIrregular(context, path)) return kExitFailed;
    const ContainerListing listing = ListContainer(path);
    for (const auto& entry : listing.entries)
        context.out << std::setw(12) << entry.size << "  " << PrintableName(entry.name) << '\n';
    if (listing.problem) {
        context.err << "kiv-cli: '" << PrintableName(path) << "' " << listing.problem->Filled()
                    << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace kiv
