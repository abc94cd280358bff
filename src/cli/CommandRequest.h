#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kiv {

enum class CliCommand { EncryptText, DecryptText, EncryptFiles, DecryptFile, List, Dde };

// What one kiv-cli command line asks for, as parsed from its declaration: the command, the
// options it was given and its operands in order.
struct CommandRequest {
    CliCommand command = CliCommand::EncryptText;
    std::optional<std::string> passwordFile;  // --password-file FILE
    std::optional<int> passwordFd;            // --password-fd N
    std::optional<std::string> output;        // encrypt-files -o OUT
    std::optional<std::string> directory;     // decrypt-file -C DIR
    std::optional<std::string> service;       // dde --service NAME
    std::vector<std::string> operands;
};

}  // namespace kiv
