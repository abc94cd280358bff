#include "cli/FileRunEnding.h"

#include <sys/stat.h>

#include <ostream>

#include "cli/FailureLines.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

int FileRunExitStatus(const FileRunResult& result) {
    if (result.AllWritten()) return kExitOk;
    if (result.entriesSkipped > 0 || result.entriesRenamed > 0) return kExitFailed;
    switch (result.failure) {
        case FileRunFailure::PasswordRefused:
            return kExitPassword;
        case FileRunFailure::SourceUnreadable:
            return kExitInputOutput;
        case FileRunFailure::OutputUnwritable:
            return result.status == FileRunStatus::Refused && result.failureError == 0
                       ? kExitUsage
                       : kExitInputOutput;
        case FileRunFailure::ContainerDamaged:
        case FileRunFailure::Cancelled:
        case FileRunFailure::None:
            break;
    }
    return kExitFailed;
}

int FinishFileRun(CliContext& context, const FileRunResult& result, const StderrReport& report,
                  const std::string& subject, const StreamFileStore& store,
                  const std::string& inputAlias) {
    if (result.AllWritten()) return kExitOk;
    std::string path = result.failurePath.empty() ? subject : result.failurePath;
    // The system's reason, where there is one, says why after what the run showed.
    std::string detail = report.Detail();
    if (const std::string reason = result.FailureReason(); !reason.empty())
        detail = detail.empty() ? reason : detail + ": " + reason;
    std::string line;
    if (result.failure == FileRunFailure::None && result.status == FileRunStatus::Completed) {
        const int left = result.entriesSkipped + result.entriesRenamed;
        line = "kiv-cli: " + CliWording(left == 1 ? Message::OneEntryNotRestored
                                                  : Message::EntriesNotRestoredByName,
                                        {std::to_string(left), "'" + PrintableName(subject) + "'"});
    } else {
        line = FailureLine(result.failure, path, detail);
    }
    // A stream has no path to show.
    const auto named = [&](const std::string& alias, const char* stream) {
        const std::string quoted = "'" + PrintableName(alias) + "'";
        if (const auto at = line.find(quoted); at != std::string::npos)
            line.replace(at, quoted.size(), stream);
    };
    if (!inputAlias.empty() && (path == inputAlias || subject == inputAlias))
        named(inputAlias, "standard input");
    if (result.failure == FileRunFailure::OutputUnwritable && store.IsStreamed(path))
        named(path, "standard output");
    context.err << line << '\n';
    return FileRunExitStatus(result);
}

bool RefuseIrregular(CliContext& context, const std::string& path, bool output) {
    struct stat info {};
    if ((output ? lstat(path.c_str(), &info) : stat(path.c_str(), &info)) != 0 ||
        S_ISREG(info.st_mode) || (output && S_ISLNK(info.st_mode)))
        return false;
    context.err << "kiv-cli: cannot " << (output ? "write '" : "read '") << PrintableName(path)
                << "': " << (S_ISDIR(info.st_mode) ? "Is a directory" : "Not a regular file")
                << '\n';
    return true;
}

bool PrepareStandardInput(CliContext& context, StreamFileStore& store, const std::string& alias) {
    const std::string problem = store.PrepareInput(alias);
    if (problem.empty()) return true;
    context.err << "kiv-cli: " << problem << '\n';
    return false;
}

bool HoldStandardInput(CliContext& context, StreamFileStore& store, const std::string& alias,
                       std::int64_t limit) {
    const std::string problem = store.HoldInput(context.inFd, alias, limit);
    if (problem.empty()) return true;
    context.err << "kiv-cli: " << problem << '\n';
    return false;
}

}  // namespace kiv
