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

std::string TestCommand::Manual() const {
    return R"(Checks the password and every stored file of each _FILE.vrq_, decoding every block as a )"
           R"(restore would, and writes nothing. An encrypted file holds no check value of its )"
           R"(contents, so *test* finds a wrong password and a cut or damaged structure, not a block )"
           R"(altered inside a stored file (see SECURITY). It exits as *decrypt-file --stdout* )"
           R"(would: 0, 1 for a damaged encrypted file or a stored name that cannot be restored, 3 for )"
           R"(a wrong password, 4 for a file that cannot be read. With *-v*, one line per stored file )"
           R"(decoded whole: _NAME_*: ok*. With *--json* it prints a JSON array with one object per )"
           R"(encrypted file: *container*, *status* (its exit status), *verdict* (*ok*, or its )"
           R"(*kiv-cli:* line) and *entries*, one object per stored file with *name*, *name_base64*, )"
           R"(*size* and *verdict*: *ok*, *skipped: its name is unsafe or taken*, or *not checked* )"
           R"((the run stopped before it). The failure lines are on standard error as well.)";
}

void TestCommand::Declare(CLI::App& command) {
    DeclareFlag(command, "--json",
                "prints a JSON array with one verdict per encrypted file and per stored file",
                json_);
    DeclareVerbose(command, verbose_);
    DeclareQuiet(command, quiet_);
    password_.Declare(command);
    DeclareOperands(command, "FILE.vrq", "the encrypted files; \"-\" for standard input",
                    containers_, true);
}

int TestCommand::Run(CliContext& context) {
    ContainerRestores restores;
    restores.containers = containers_;
    restores.checkOnly = true;
    restores.verbose = verbose_;
    restores.quiet = quiet_;
    restores.json = json_;
    return restores.Run(context, password_);
}

}  // namespace kiv
