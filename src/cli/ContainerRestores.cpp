#include "cli/ContainerRestores.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <ostream>
#include <set>
#include <sstream>

#include "cli/FailureLines.h"
#include "cli/FileRunEnding.h"
#include "cli/JsonText.h"
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

// The name among names that an entry stored as name belongs to (itself, or the file it is a part
// of), or nothing.
std::optional<std::string> NamedAmong(const std::vector<std::string>& names,
                                      const std::string& name) {
    if (std::find(names.begin(), names.end(), name) != names.end()) return name;
    const auto part = PartOfName(name);
    if (part && std::find(names.begin(), names.end(), part->whole) != names.end())
        return part->whole;
    return std::nullopt;
}

// After a restore into folder: how to join each file that was stored in parts.
void SayHowToJoin(CliContext& context, const std::vector<ContainerListing::Entry>& entries,
                  const std::vector<std::string>& names, const std::string& folder) {
    for (const auto& entry : entries) {
        const auto part = PartOfName(entry.name);
        if (!part || part->number != part->count) continue;
        if (!names.empty() && !NamedAmong(names, entry.name)) continue;
        const std::string whole = folder + part->whole;
        const std::string first = PartName("", 1, part->count);  // ".part-001-of-003"
        const std::string pattern =
            ShellWord(whole) + ".part-*-of-" + first.substr(first.rfind('-') + 1);
        context.err << "kiv-cli: "
                    << CliWording(Message::JoinParts,
                                  {PrintableName(part->whole), std::to_string(part->count),
                                   "cat " + PrintableName(pattern) + " > " +
                                       PrintableName(ShellWord(whole))})
                    << '\n';
    }
}

}  // namespace

int ContainerRestores::Run(CliContext& context, const PasswordOptions& password) const {
    if (std::count(containers.begin(), containers.end(), "-") > 1)
        return UsageError(context, CliWording(Message::StandardInputTwice));
    if (password.ReadsStandardInput() &&
        std::find(containers.begin(), containers.end(), "-") != containers.end())
        return UsageError(context,
                          CliWording(Message::PasswordFdClash, {"the encrypted file (\"-\")"}));
    std::string target;
    if (const auto& folder = directory) {
        struct stat info {};
        if (stat(folder->c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return UsageError(context, CliWording(Message::NotAFolder, {PrintableName(*folder)}));
        target = folder->empty() || folder->back() == '/' ? *folder : *folder + "/";
    }
    int status = kExitOk;
    StreamFileStore store;
    std::vector<std::string> runnable;
    for (const std::string& container : containers) {
        if (container == "-" ? !PrepareStandardInput(context, store, container)
                             : RefuseIrregular(context, container))
            NoteFailure(status, kExitInputOutput);
        else
            runnable.push_back(container);
    }
    if (runnable.empty()) return status;
    int refused = kExitOk;
    const auto key = password.Read(context, false, refused);
    if (!key) {
        NoteFailure(status, refused);
        return status;
    }

    // What is checked is decoded as for standard output, and thrown away.
    const int discard = checkOnly ? open("/dev/null", O_WRONLY | O_CLOEXEC) : -1;
    if (checkOnly && discard < 0) {
        context.err << "kiv-cli: cannot write '/dev/null': " << strerrordesc_np(errno) << '\n';
        return kExitInputOutput;
    }
    std::set<std::string> found;
    bool everyEntrySeen = true;
    const char* separator = "";
    if (json) context.out << '[';
    for (const std::string& container : runnable) {
        const bool fromStdin = container == "-";
        if (fromStdin && !HoldStandardInput(context, store, container,
                                            std::numeric_limits<std::int64_t>::max())) {
            NoteFailure(status, kExitInputOutput);
            everyEntrySeen = false;
            continue;
        }
        if (checkOnly)
            store.SendOutputsTo(discard, "");
        else if (toStdout)
            store.SendOutputsTo(context.outFd, "");
        const std::string folder = !target.empty()                      ? target
                                   : fromStdin || toStdout || checkOnly ? "./"
                                                                        : "";
        // The last entry the run reached, and how many outputs were whole then: a damaged
        // container may end inside that entry or just after it.
        int reached = 0;
        int committedBefore = 0;
        const auto wanted = [&](int entry, const std::string& name) {
            reached = entry;
            committedBefore = store.Committed();
            if (names.empty()) return true;
            const auto among = NamedAmong(names, name);
            if (among) found.insert(*among);
            return among.has_value();
        };
        StderrReport report(context.err, context.errIsTerminal && !quiet, this->report,
                            context.cancelRequested);
        report.AddLine(ReportText::Value(fromStdin ? "standard input" : container));
        const auto entries = ListContainer(container, store).entries;
        std::vector<std::int64_t> sizes;
        for (const ContainerListing::Entry& entry : entries)
            sizes.push_back(entry.size);
        report.SetRunSizes(std::move(sizes));
        const std::string shownFolder = folder.empty() ? FolderOf(container) : folder;
        if (verbose && checkOnly)
            report.ShowCheckedFiles();
        else if (verbose && !toStdout)
            report.ShowRestoredFiles(shownFolder);
        if (!toStdout && !checkOnly && !force)
            report.SetInTheWay(noClobber ? StderrReport::InTheWay::kKeep
                                         : StderrReport::InTheWay::kRefuse);
        const FileRunResult result = DecryptFiles(*key, container, report, folder, context.clock,
                                                  FileRunSpeed(), store, wanted);
        // Each file in the way has had its line and nothing of this container was written.
        if (report.Refused()) {
            NoteFailure(status, ExitStatusOf(Message::OutputExists));
            everyEntrySeen = false;
            continue;
        }
        std::ostringstream line;
        CliContext lineContext{context.in, context.out, line, context.clock};
        const int one =
            FinishFileRun(lineContext, result, report, container, store, fromStdin ? "-" : "");
        context.err << line.str();
        NoteFailure(status, one);
        if (result.status != FileRunStatus::Completed) everyEntrySeen = false;
        if (one == kExitOk && !toStdout && !checkOnly && !quiet)
            SayHowToJoin(context, entries, names, shownFolder);
        if (!json) continue;
        std::string verdict = line.str();
        if (!verdict.empty()) verdict.pop_back();
        context.out << separator
                    << "\n  {\"container\": " << JsonString(fromStdin ? "-" : container)
                    << ", \"status\": " << one
                    << ", \"verdict\": " << JsonString(one == kExitOk ? "ok" : verdict)
                    << ", \"entries\": [";
        const char* inner = "";
        std::set<std::string> seen;
        int number = 0;
        for (const auto& entry : entries) {
            ++number;
            const bool checked = number < reached ||
                                 (number == reached && (result.status == FileRunStatus::Completed ||
                                                        store.Committed() > committedBefore));
            const bool skipped = StoredNameProblem(entry.name) != EntryProblem::None ||
                                 !seen.insert(entry.name).second;
            const bool passedOver = !names.empty() && !NamedAmong(names, entry.name);
            context.out << inner << "\n    {\"name\": " << JsonString(entry.name)
                        << ", \"name_base64\": \"" << Base64(entry.name)
                        << "\", \"size\": " << entry.size << ", \"verdict\": \""
                        << (passedOver ? "not asked for"
                            : !checked ? "not checked"
                            : skipped  ? "skipped: its name is unsafe or taken"
                                       : "ok")
                        << "\"}";
            inner = ",";
        }
        context.out << (entries.empty() ? "]}" : "\n  ]}");
        separator = ",";
    }
    if (json) context.out << (separator[0] == '\0' ? "]\n" : "\n]\n");
    if (discard >= 0) close(discard);
    if (everyEntrySeen) {
        for (const std::string& name : names) {
            if (found.count(name) != 0) continue;
            context.err << "kiv-cli: " << CliWording(Message::NotStored, {PrintableName(name)})
                        << '\n';
            NoteFailure(status, ExitStatusOf(Message::NotStored));
        }
    }
    return status;
}

}  // namespace kiv
