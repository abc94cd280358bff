#include "cli/PasswordOptions.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <ostream>

#include "cli/CommandOptions.h"
#include "cli/FailureLines.h"
#include "cli/PasswordSource.h"
#include "filecrypt/PrintableName.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

namespace {

constexpr char kPasswordGroup[] =
    "Password options (without one, the password is asked for on the terminal, twice when "
    "encrypting)";

// Accepts a file descriptor's number; its words follow the option's name in the usage error.
const CLI::Validator kDescriptorNumber(
    [](const std::string& value) -> std::string {
        int number = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), number);
        if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
            number < 0)
            return CliWording(Message::NotDescriptorNumber, {value});
        return {};
    },
    "");

}  // namespace

void PasswordOptions::Declare(CLI::App& command) {
    CLI::Option* file =
        DeclareValue(command, "--password-file", "the first line of FILE, without its line break",
                     "FILE", file_)
            ->group(kPasswordGroup);
    CLI::Option* fd = DeclareValue(command, "--password-fd",
                                   "the first line read from file descriptor N", "N", fd_)
                          ->check(kDescriptorNumber)
                          ->group(kPasswordGroup);
    CLI::Option* environment =
        DeclareValue(command, "--password-env",
                     "the value of the environment variable NAME (other processes of the same "
                     "user may read a process's environment; prefer a file only you can read)",
                     "NAME", environment_)
            ->group(kPasswordGroup);
    file->excludes(fd)->excludes(environment);
    fd->excludes(environment);
}

bool PasswordOptions::ReadsStandardInput() const {
    return fd_ && std::stoi(*fd_) == STDIN_FILENO;
}

std::optional<SecretText> PasswordOptions::Read(CliContext& context, bool confirm,
                                                int& status) const {
    PasswordSource source;
    source.file = file_;
    if (fd_) source.fd = std::stoi(*fd_);
    source.environment = environment_;
    PasswordReading reading = ReadPassword(source, confirm);
    if (!reading.password) {
        context.err << "kiv-cli: " << PrintableName(reading.error) << '\n';
        NoteFailure(status, reading.unreadable ? kExitInputOutput : kExitPassword);
        return std::nullopt;
    }
    // A NUL would end the password early on one path and count on another.
    if (reading.password->find('\0') != std::string::npos) {
        context.err << "kiv-cli: " << CliText(Message::PasswordHoldsNul) << '\n';
        NoteFailure(status, kExitPassword);
        return std::nullopt;
    }
    return SecretText(std::move(*reading.password));
}

}  // namespace kiv
