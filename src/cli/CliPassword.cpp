#include "cli/CliPassword.h"

#include <ostream>

#include "cli/PasswordSource.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

std::optional<SecretText> CommandPassword(CliContext& context, const CommandRequest& request,
                                          bool confirm, int& status) {
    PasswordSource source;
    source.file = request.passwordFile;
    source.fd = request.passwordFd;
    PasswordReading reading = ReadPassword(source, confirm);
    if (!reading.password) {
        context.err << "kiv-cli: " << PrintableName(reading.error) << '\n';
        status = kExitFailed;
        return std::nullopt;
    }
    return SecretText(std::move(*reading.password));
}

}  // namespace kiv
