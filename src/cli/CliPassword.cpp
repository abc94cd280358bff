#include "cli/CliPassword.h"

#include <ostream>
#include <stdexcept>

#include "cli/PasswordSource.h"

namespace kiv {

std::optional<std::string> CommandPassword(CliContext& context, const CliArguments& arguments,
                                           bool confirm, const char* mismatchText, int& status) {
    PasswordSource source;
    source.file = arguments.Value("--password-file");
    if (const auto fd = arguments.Value("--password-fd")) {
        if (source.file) {
            status = UsageError(context, "give either --password-file or --password-fd");
            return std::nullopt;
        }
        try {
            std::size_t used = 0;
            source.fd = std::stoi(*fd, &used);
            if (used != fd->size() || *source.fd < 0) throw std::invalid_argument(*fd);
        } catch (const std::exception&) {
            status =
                UsageError(context, "--password-fd needs a descriptor number, not '" + *fd + "'");
            return std::nullopt;
        }
    }
    const PasswordReading reading = ReadPassword(source, confirm);
    if (!reading.password) {
        context.err << (reading.mismatch ? std::string(mismatchText) : "kiv-cli: " + reading.error)
                    << '\n';
        status = kExitFailed;
    }
    return reading.password;
}

}  // namespace kiv
