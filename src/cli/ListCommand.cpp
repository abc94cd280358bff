#include "cli/ListCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <ostream>

#include "cli/CommandOptions.h"
#include "cli/FailureLines.h"
#include "cli/FileRunEnding.h"
#include "cli/JsonText.h"
#include "cli/StreamFileStore.h"
#include "filecrypt/ContainerListing.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

std::string ListCommand::Description() const {
    return "Prints the sizes and names stored in each FILE.vrq (they are not encrypted; no "
           "password is needed), one file a line, with control characters and backslashes in "
           "names escaped (\\x1b, \\n, \\\\); with several, each list after a line \"FILE.vrq:\". "
           "FILE.vrq \"-\" is standard input.";
}

std::string ListCommand::Manual() const {
    return R"(Prints the size and name of each file stored in _FILE.vrq_ (or standard input, for *-*), )"
           R"(one per line, with control characters and backslashes in names escaped (*\\x1b*, *\\n*, )"
           R"(*\\\\*). They are stored in the clear, so no password is needed. With several encrypted )"
           R"(files, each list follows a line with its file's name and a colon, and a blank line )"
           R"(stands between them; *-0* then starts each record with the encrypted file's name and a )"
           R"(tab.)"
           "\n\n"
           R"(With *--json*, a JSON array with one object per stored file: *container*, the encrypted )"
           R"(file as given; *name*, the stored bytes as a string; *name_base64*, every stored byte in )"
           R"(base64 (*jq -r '.[].name_base64 | @base64d'*); and *size*. Bytes of a name that are not valid UTF-8 are written one each as )"
           R"(*\\udc80* to *\\udcff* (the byte plus 0xDC00, as Python's *surrogateescape* reads them )"
           R"(back: *os.fsencode(name)* gives the stored bytes).)"
           "\n\n"
           R"(With *-0*, each stored file as its size, a tab and its name exactly as stored, ended by a )"
           R"(NUL byte (for *xargs -0* and *read -d ''*). A name that holds a NUL byte would end its )"
           R"(record early and start one that was never stored: such a file is left out, with a line on )"
           R"(standard error that shows its name escaped, the others are listed, and the exit status )"
           R"(is 1.)";
}

void ListCommand::Declare(CLI::App& command) {
    CLI::Option* json = DeclareFlag(
        command, "--json",
        "prints a JSON array of {\"container\": ..., \"name\": ..., \"name_base64\": ..., "
        "\"size\": ...}; a name's bytes that are not UTF-8 are written as \\udc80 to \\udcff, "
        "one per byte (Python's surrogateescape), and name_base64 holds them all",
        json_);
    DeclareFlag(command, "-0,--null",
                "prints each file as its size, a tab and its name as stored, ended by a NUL byte; "
                "a name that holds a NUL is left out, with its line on standard error",
                nulEnded_)
        ->excludes(json);
    DeclareOperands(command, "FILE.vrq", "the encrypted files; \"-\" for standard input",
                    containers_, true);
}

int ListCommand::Run(CliContext& context) {
    if (std::count(containers_.begin(), containers_.end(), "-") > 1)
        return UsageError(context, CliWording(Message::StandardInputTwice));
    int status = kExitOk;
    const bool several = containers_.size() > 1;
    const char* separator = "";
    if (json_) context.out << '[';
    for (const std::string& container : containers_) {
        const int one = ListOne(context, container, several, separator);
        NoteFailure(status, one);
    }
    if (json_) context.out << (separator[0] == '\0' ? "]\n" : "\n]\n");
    return status;
}

int ListCommand::ListOne(CliContext& context, const std::string& container, bool several,
                         const char*& separator) {
    const bool fromStdin = container == "-";
    const std::string shown = fromStdin ? "standard input" : "'" + PrintableName(container) + "'";
    if (!fromStdin && RefuseIrregular(context, container)) return kExitInputOutput;
    StreamFileStore store;
    if (fromStdin) {
        if (!HoldStandardInput(context, store, container, std::numeric_limits<std::int64_t>::max()))
            return kExitInputOutput;
    }
    {
        ByteReader probe;  // the listing says only that it could not open the file, not why
        if (!store.OpenInput(container, probe)) {
            context.err << "kiv-cli: cannot read " << shown << ": " << strerrordesc_np(errno)
                        << '\n';
            return kExitInputOutput;
        }
    }
    const ContainerListing listing = ListContainer(container, store);
    int status = kExitOk;
    if (json_) {
        for (const auto& entry : listing.entries) {
            context.out << separator << "\n  {\"container\": " << JsonString(container)
                        << ", \"name\": " << JsonString(entry.name) << ", \"name_base64\": \""
                        << Base64(entry.name) << "\", \"size\": " << entry.size << '}';
            separator = ",";
        }
    } else if (nulEnded_) {
        int number = 0;
        for (const auto& entry : listing.entries) {
            ++number;
            // Its NUL would end the record there and start a record nobody stored.
            if (entry.name.find('\0') != std::string::npos) {
                context.err << "kiv-cli: "
                            << CliWording(
                                   Message::ListedNameHoldsNul,
                                   {shown, std::to_string(number), PrintableName(entry.name)})
                            << '\n';
                status = kExitFailed;
                continue;
            }
            if (several) context.out << container << '\t';
            context.out << entry.size << '\t';
            context.out.write(entry.name.data(), static_cast<std::streamsize>(entry.name.size()));
            context.out.put('\0');
        }
    } else {
        if (several) context.out << separator << PrintableName(container) << ":\n";
        separator = "\n";
        for (const auto& entry : listing.entries)
            context.out << std::setw(12) << entry.size << "  " << PrintableName(entry.name) << '\n';
    }
    if (listing.problem) {
        context.err << "kiv-cli: " << shown << ' ' << listing.problem->Filled() << '\n';
        return kExitFailed;
    }
    return status;
}

}  // namespace kiv
