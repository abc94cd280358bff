#include "cli/ListCommand.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <ostream>

#include "cli/CommandOptions.h"
#include "cli/FileRunEnding.h"
#include "cli/JsonText.h"
#include "cli/StreamFileStore.h"
#include "filecrypt/ContainerListing.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

std::string ListCommand::Description() const {
    return "Prints the sizes and names stored in FILE.vrq (they are not encrypted; no password "
           "is needed), one file a line, with control characters and backslashes in names "
           "escaped (\\x1b, \\n, \\\\). FILE.vrq \"-\" is standard input.";
}

std::string ListCommand::Manual() const {
    return R"(Prints the size and name of each file stored in _FILE.vrq_ (or standard input, for *-*), )"
           R"(one per line, with control characters and backslashes in names escaped (*\\x1b*, *\\n*, )"
           R"(*\\\\*). They are stored in the clear, so no password is needed.)"
           "\n\n"
           R"(With *--json*, a JSON array with one object per stored file: *name*, the stored bytes as )"
           R"(a string, and *size*. Bytes of a name that are not valid UTF-8 are written one each as )"
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
        "prints a JSON array of {\"name\": ..., \"size\": ...}; a name's bytes that are not "
        "UTF-8 are written as \\udc80 to \\udcff, one per byte (Python's surrogateescape)",
        json_);
    DeclareFlag(command, "-0,--null",
                "prints each file as its size, a tab and its name as stored, ended by a NUL byte; "
                "a name that holds a NUL is left out, with its line on standard error",
                nulEnded_)
        ->excludes(json);
    DeclareOperand(command, "FILE.vrq", "the encrypted file; \"-\" for standard input", container_);
}

int ListCommand::Run(CliContext& context) {
    const bool fromStdin = container_ == "-";
    const std::string shown = fromStdin ? "standard input" : "'" + PrintableName(container_) + "'";
    if (!fromStdin && RefuseIrregular(context, container_)) return kExitInputOutput;
    StreamFileStore store;
    if (fromStdin) {
        if (!HoldStandardInput(context, store, container_,
                               std::numeric_limits<std::int64_t>::max()))
            return kExitInputOutput;
    }
    {
        ByteReader probe;  // the listing says only that it could not open the file, not why
        if (!store.OpenInput(container_, probe)) {
            context.err << "kiv-cli: cannot read " << shown << ": " << strerrordesc_np(errno)
                        << '\n';
            return kExitInputOutput;
        }
    }
    const ContainerListing listing = ListContainer(container_, store);
    int status = kExitOk;
    if (json_) {
        context.out << '[';
        const char* separator = "";
        for (const auto& entry : listing.entries) {
            context.out << separator << "\n  {\"name\": " << JsonString(entry.name)
                        << ", \"size\": " << entry.size << '}';
            separator = ",";
        }
        context.out << (listing.entries.empty() ? "]\n" : "\n]\n");
    } else if (nulEnded_) {
        int number = 0;
        for (const auto& entry : listing.entries) {
            ++number;
            // Its NUL would end the record there and start a record nobody stored.
            if (entry.name.find('\0') != std::string::npos) {
                context.err << "kiv-cli: " << shown << ": entry " << number << " \""
                            << PrintableName(entry.name) << "\" has a NUL byte in its name; not "
                            << "listed\n";
                status = kExitFailed;
                continue;
            }
            context.out << entry.size << '\t';
            context.out.write(entry.name.data(), static_cast<std::streamsize>(entry.name.size()));
            context.out.put('\0');
        }
    } else {
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
