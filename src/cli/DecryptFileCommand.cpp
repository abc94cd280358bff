#include "cli/DecryptFileCommand.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/CommandOptions.h"
#include "cli/ContainerRestores.h"

namespace kiv {

std::string DecryptFileCommand::Description() const {
    return "Restores the files held in each FILE.vrq beside it, or into DIR; a file of the same "
           "name and other content is replaced with -f, kept with -n, and otherwise refused "
           "before anything is written (status 1). FILE.vrq \"-\" is standard input, restored "
           "into the current folder "
           "unless -C is given. With --stdout, the bytes of every stored file are written, in "
           "order, to standard output, and no file is created. With --entry NAME, only the "
           "stored files of those names. A file stored in parts is restored as its parts, with a "
           "line that says how to join them; --stdout joins them.";
}

std::string DecryptFileCommand::Manual() const {
    return R"(Restores the files held in each _FILE.vrq_ beside it, or into _DIR_. A file of the same name )"
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
           R"(then 1. With *--entry* _NAME_ (*-e*), only the stored files of those names are restored, )"
           R"(as *tar -xOf* and *unzip -p* take names; a name no _FILE.vrq_ holds is a line and status )"
           R"(1. A file stored in parts is restored as its parts, with a line that says how to join )"
           R"(them; *--stdout* joins them. With several _FILE.vrq_, each is restored on its own: a )"
           R"(failure is said on its line, the next one is restored, and the status is the first )"
           R"(failure's.)";
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
    DeclareRepeatedValue(command, "-e,--entry",
                         "restores only the stored file of this name (all its parts, for one "
                         "stored in parts); may be given several times",
                         "NAME", names_);
    DeclareOperands(command, "FILE.vrq", "the encrypted files; \"-\" for standard input",
                    containers_, true);
}

int DecryptFileCommand::Run(CliContext& context) {
    ContainerRestores restores;
    restores.containers = containers_;
    restores.directory = directory_;
    restores.toStdout = toStdout_;
    restores.verbose = verbose_;
    restores.names = names_;
    restores.report = report_;
    restores.quiet = quiet_;
    restores.force = force_;
    restores.noClobber = noClobber_;
    return restores.Run(context, password_);
}

}  // namespace kiv
