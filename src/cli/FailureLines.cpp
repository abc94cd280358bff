#include "cli/FailureLines.h"

#include <algorithm>
#include <iterator>

#include "cipher/CipherMessages.h"
#include "cipher/PasswordMessages.h"
#include "cipher/TextCipher.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/OperationReport.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

namespace {

// A message the libraries show, known by its identity (the constant's address, whatever its
// words), and kiv-cli's words for it.
struct Wording {
    const char* message;
    const char* cli;
};

// Several window texts differ only in their blanks, and some share their words but not their
// meaning (each action has its own); on a command line each says what it means.
constexpr Wording kWordings[] = {
    {kEncryptEditorMismatch, kPasswordsDiffer},
    {kDecryptEditorMismatch, kPasswordsDiffer},
    {kEncryptClipboardMismatch, kPasswordsDiffer},
    {kDecryptClipboardMismatch, kPasswordsDiffer},
    {kEncryptFilesMismatch, kPasswordsDiffer},
    {kRestoreMismatch, kPasswordsDiffer},
    {kFilePasswordLength, "a file password must be 3 to 23 bytes long"},
    {kRestorePasswordTooShort, "a file password must be 3 to 23 bytes long; this one is shorter"},
    {kRestorePasswordTooLong, "a file password must be 3 to 23 bytes long; this one is longer"},
    {kRepeatedModuliMessage,
     "this password cannot protect a text: two parts of every block would share one prime, so "
     "the cipher text could never be decrypted; choose another password"},
    {kRepeatedModuliFileMessage,
     "this password cannot protect files: two parts of every block would share one prime, so "
     "the encrypted file could never be restored; choose another password"},
    {report::kPasswordLengthWrong,
     "wrong password: the file was encrypted with a password of another length"},
    {report::kPasswordWrong, "wrong password"},
    {kMessageChangedOne, "a character outside the cipher-text alphabet (first of a pair)"},
    {kMessageChangedTwo, "a character outside the cipher-text alphabet (second of a pair)"},
};

std::string Quoted(const std::string& path) {
    return "'" + PrintableName(path) + "'";
}

}  // namespace

std::string CliWording(const char* message) {
    const auto known = std::find_if(std::begin(kWordings), std::end(kWordings),
                                    [&](const Wording& w) { return message == w.message; });
    if (known != std::end(kWordings)) return known->cli;
    const std::string windowText = message;
    const auto first = windowText.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = windowText.find_last_not_of(' ');
    std::string text = PrintableName(windowText.substr(first, last - first + 1));
    if (text.size() > 1 && text[0] >= 'A' && text[0] <= 'Z' && !(text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string FailureLine(FileRunFailure failure, const std::string& path,
                        const std::string& detail) {
    const std::string prefix = "kiv-cli: ";
    const std::string because = detail.empty() ? "" : ": " + detail;
    switch (failure) {
        case FileRunFailure::SourceUnreadable:
            return prefix + "cannot read " + Quoted(path) + because;
        case FileRunFailure::OutputUnwritable:
            return prefix + "cannot write " + Quoted(path) + because;
        case FileRunFailure::ContainerDamaged:
            return prefix + Quoted(path) + " is damaged or not an encrypted file" + because;
        case FileRunFailure::PasswordRefused:
            return prefix + (path.empty() ? "" : Quoted(path) + ": ") +
                   (detail.empty() ? "the password was refused" : detail);
        case FileRunFailure::Cancelled:
            return prefix + "cancelled while working on " + Quoted(path) +
                   "; nothing was left half-written";
        case FileRunFailure::None:
            break;
    }
    if (!detail.empty()) return prefix + detail;
    return prefix + "not every file could be written for " + Quoted(path);
}

}  // namespace kiv
