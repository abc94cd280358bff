#include "cli/DecryptFileCommand.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/CommandOptions.h"
#include "cli/ContainerRestores.h"

namespace kiv {

std::string DecryptFileCommand::Description() const {
    return "Restores the files held in each FILE.vrq beside it, or into DIR, replacing files of "
           "the same names; FILE.vrq \"-\" is standard input, restored into the current folder "
           "unless -C is given. With --stdout, the bytes of every stored file are written, in "
           "order, to standard output, and no file is created. With --entry NAME, only the "
           "stored files of those names. A file stored in parts is restored as its parts, with a "
           "line that says how to join them; --stdout joins them.";
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
    return restores.Run(context, password_);
}

}  // namespace kiv
