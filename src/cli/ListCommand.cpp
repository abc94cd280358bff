#include "cli/ListCommand.h"

#include <CLI/CLI.hpp>
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
    return "Prints the sizes and names stored in FILE.vrq (they are not encrypted; no password "
           "is needed), one file a line, with control characters and backslashes in names "
           "escaped (\\x1b, \\n, \\\\). FILE.vrq \"-\" is standard input.";
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
                context.err << "kiv-cli: "
                            << CliWording(
                                   Message::ListedNameHoldsNul,
                                   {shown, std::to_string(number), PrintableName(entry.name)})
                            << '\n';
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
