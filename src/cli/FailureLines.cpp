#include "cli/FailureLines.h"

#include "filecrypt/PrintableName.h"
#include "filecrypt/ReportText.h"

namespace kiv {

namespace {

std::string Quoted(const std::string& path) {
    return "'" + PrintableName(path) + "'";
}

}  // namespace

std::string CliWording(Message message, const std::vector<std::string>& values) {
    // Every message kiv-cli says has its words (the catalogue's test holds them); one that has
    // none still gives a line rather than nothing.
    const char* words = CliText(message);
    return FillTemplate(words != nullptr ? words : WindowText(message), values);
}

std::string FailureLine(FileRunFailure failure, const std::string& path,
                        const std::string& detail) {
    const std::string prefix = "kiv-cli: ";
    const std::string because = detail.empty() ? "" : ": " + detail;
    const std::vector<std::string> quoted = {Quoted(path)};
    switch (failure) {
        case FileRunFailure::SourceUnreadable:
            return prefix + CliWording(Message::CannotRead, quoted) + because;
        case FileRunFailure::OutputUnwritable:
            return prefix + CliWording(Message::CannotWrite, quoted) + because;
        case FileRunFailure::ContainerDamaged:
            return prefix + CliWording(Message::ContainerDamaged, quoted) + because;
        case FileRunFailure::PasswordRefused:
            return prefix + (path.empty() ? "" : Quoted(path) + ": ") +
                   (detail.empty() ? CliWording(Message::PasswordRefused) : detail);
        case FileRunFailure::Cancelled:
            return prefix + CliWording(Message::RunCancelled, quoted);
        case FileRunFailure::None:
            break;
    }
    if (!detail.empty()) return prefix + detail;
    return prefix + CliWording(Message::NotEveryFileWritten, quoted);
}

}  // namespace kiv
