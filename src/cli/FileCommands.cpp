#include "cli/FileCommands.h"

#include <sys/stat.h>

#include <iomanip>
#include <ostream>

#include "cli/CliArguments.h"
#include "cli/CliPassword.h"
#include "cli/StderrReport.h"
#include "filecrypt/ContainerListing.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"

namespace kiv {

const char kFileCommandsHelp[] =
    "  encrypt-files [-o OUT] [PASSWORD OPTION] FILE...\n"
    "      Encrypts the files, in order, into one encrypted file. One file without -o goes to\n"
    "      its name with the last extension replaced by .vrq (plan.txt -> plan.vrq); several\n"
    "      files need -o. The report goes to standard error.\n"
    "  decrypt-file [-C DIR] [PASSWORD OPTION] FILE.vrq\n"
    "      Restores the files held in FILE.vrq beside it, or into DIR, replacing files of the\n"
    "      same names.\n"
    "  list FILE.vrq\n"
    "      Prints the names and sizes stored in FILE.vrq (they are not encrypted; no password).\n";

namespace {

int StatusOf(const FileRunResult& result) {
    return result.AllWritten() ? kExitOk : kExitFailed;
}

// A FIFO, device or folder among the files is refused before the password is asked for, with
// a line that says why; the run would refuse it too (without waiting on a FIFO), but only with
// its report line. An output may be a symbolic link, which the run replaces like a file.
bool RefuseIrregular(CliContext& context, const std::string& path, bool output = false) {
    struct stat info {};
    if ((output ? lstat(path.c_str(), &info) : stat(path.c_str(), &info)) != 0 ||
        S_ISREG(info.st_mode) || (output && S_ISLNK(info.st_mode)))
        return false;
    context.err << "kiv-cli: " << path << " is not a regular file\n";
    return true;
}

}  // namespace

int RunEncryptFiles(CliContext& context) {
    CliArguments arguments({"-o", "--output", "--password-file", "--password-fd"}, {"--help"});
    if (!arguments.Parse(context.args)) return UsageError(context, arguments.error());
    if (arguments.Has("--help")) {
        context.out << "Usage: kiv-cli encrypt-files [-o OUT] [--password-file FILE | "
                       "--password-fd N] FILE...\n";
        return kExitOk;
    }
    const auto& sources = arguments.Operands();
    if (sources.empty()) return UsageError(context, "encrypt-files needs at least one file");
    auto output = arguments.Value("-o");
    if (const auto longForm = arguments.Value("--output")) {
        if (output) return UsageError(context, "give the output once");
        output = longForm;
    }
    if (!output) {
        if (sources.size() > 1) return UsageError(context, "several files need -o OUT");
        output = SingleFileOutputName(sources.front());
    }
    for (const std::string& source : sources)
        if (RefuseIrregular(context, source)) return kExitFailed;
    if (RefuseIrregular(context, *output, true)) return kExitFailed;
    int status = kExitOk;
    const auto password = CommandPassword(context, arguments, true, kEncryptFilesMismatch, status);
    if (!password) return status;

    StderrReport report(context.err, context.errIsTerminal);
    for (const std::string& source : sources)
        report.AddLine(source);
    return StatusOf(EncryptFiles(*password, sources, *output, report, context.clock));
}

int RunDecryptFile(CliContext& context) {
    CliArguments arguments({"-C", "--directory", "--password-file", "--password-fd"}, {"--help"});
    if (!arguments.Parse(context.args)) return UsageError(context, arguments.error());
    if (arguments.Has("--help")) {
        context.out << "Usage: kiv-cli decrypt-file [-C DIR] [--password-file FILE | "
                       "--password-fd N] FILE.vrq\n";
        return kExitOk;
    }
    if (arguments.Operands().size() != 1)
        return UsageError(context, "decrypt-file needs exactly one encrypted file");
    const std::string& container = arguments.Operands().front();
    auto folder = arguments.Value("-C");
    if (const auto longForm = arguments.Value("--directory")) {
        if (folder) return UsageError(context, "give the folder once");
        folder = longForm;
    }
    std::string target;
    if (folder) {
        struct stat info {};
        if (stat(folder->c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return UsageError(context, "'" + *folder + "' is not a folder");
        target = folder->empty() || folder->back() == '/' ? *folder : *folder + "/";
    }
    if (RefuseIrregular(context, container)) return kExitFailed;
    int status = kExitOk;
    const auto password = CommandPassword(context, arguments, false, kRestoreMismatch, status);
    if (!password) return status;

    StderrReport report(context.err, context.errIsTerminal);
    report.AddLine(container);
    const FileRunResult result = DecryptFiles(*password, container, report, target, context.clock);
    if (result.status == FileRunStatus::Failed && result.entriesSkipped == 0)
        context.err << "kiv-cli: not every file could be restored from " << container << '\n';
    return StatusOf(result);
}

int RunListContainer(CliContext& context) {
    CliArguments arguments({}, {"--help"});
    if (!arguments.Parse(context.args)) return UsageError(context, arguments.error());
    if (arguments.Has("--help")) {
        context.out << "Usage: kiv-cli list FILE.vrq\n";
        return kExitOk;
    }
    if (arguments.Operands().size() != 1)
        return UsageError(context, "list needs exactly one encrypted file");
    const std::string& path = arguments.Operands().front();
    if (RefuseIrregular(context, path)) return kExitFailed;
    const ContainerListing listing = ListContainer(path);
    for (const auto& entry : listing.entries)
        context.out << std::setw(12) << entry.size << "  " << entry.name << '\n';
    if (!listing.problem.empty()) {
        context.err << "kiv-cli: " << path << ' ' << listing.problem << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace kiv
