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
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/PartNames.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

namespace {

// text as one word for a shell.
std::string ShellWord(const std::string& text) {
    std::string word = "'";
    for (const char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

// After a restore into folder: how to join each file that was stored in parts.
void SayHowToJoin(CliContext& context, const std::string& container, FileStore& store,
                  const std::string& folder) {
    for (const auto& entry : ListContainer(container, store).entries) {
        const auto part = PartOfName(entry.name);
        if (!part || part->number != part->count) continue;
        const std::string whole = folder + part->whole;
        const std::string first = PartName("", 1, part->count);  // ".part-001-of-003"
        const std::string pattern =
            ShellWord(whole) + ".part-*-of-" + first.substr(first.rfind('-') + 1);
        context.err << Filled(cli_message::kJoinParts,
                              {PrintableName(part->whole), std::to_string(part->count),
                               "cat " + PrintableName(pattern) + " > " +
                                   PrintableName(ShellWord(whole))})
                    << '\n';
    }
}

}  // namespace

std::string DecryptFileCommand::Description() const {
    return "Restores the files held in FILE.vrq beside it, or into DIR, replacing files of the "
           "same names; FILE.vrq \"-\" is standard input, restored into the current folder "
           "unless -C is given. With --stdout, the bytes of every stored file are written, in "
           "order, to standard output, and no file is created.";
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
    password_.Declare(command);
    DeclareOperand(command, "FILE.vrq", "the encrypted file; \"-\" for standard input", container_);
}

int DecryptFileCommand::Run(CliContext& context) {
    const bool fromStdin = container_ == "-";
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

    StderrReport report(context.err, context.errIsTerminal, verbose_, context.cancelRequested);
    report.AddLine(ReportText::Value(fromStdin ? "standard input" : container_));
    const FileRunResult result =
        DecryptFiles(*password, container_, report, target, context.clock, FileRunSpeed(), store);
    if (result.AllWritten() && !toStdout_)
        SayHowToJoin(context, container_, store, target.empty() ? FolderOf(container_) : target);
    return FinishFileRun(context, result, report, container_, store, fromStdin ? "-" : "");
}

}  // namespace kiv
