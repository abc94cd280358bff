#include "cli/TestCommand.h"

#include <CLI/CLI.hpp>

#include "cli/CommandOptions.h"
#include "cli/ContainerRestores.h"

namespace kiv {

std::string TestCommand::Description() const {
    return "Checks the password and every stored file of each FILE.vrq, decoding every block, "
           "and writes nothing; exits as decrypt-file would (0, 1 for a damaged file or a name "
           "that cannot be restored, 3 for a wrong password). FILE.vrq \"-\" is standard input.";
}

void TestCommand::Declare(CLI::App& command) {
    DeclareFlag(command, "--json",
                "prints a JSON array with one verdict per encrypted file and per stored file",
                json_);
    DeclareVerbose(command, verbose_);
    password_.Declare(command);
    DeclareOperands(command, "FILE.vrq", "the encrypted files; \"-\" for standard input",
                    containers_, true);
}

int TestCommand::Run(CliContext& context) {
    ContainerRestores restores;
    restores.containers = containers_;
    restores.checkOnly = true;
    restores.verbose = verbose_;
    restores.json = json_;
    return restores.Run(context, password_);
}

}  // namespace kiv
