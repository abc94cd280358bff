#include "filecrypt/FilePasswordCheck.h"

#include "filecrypt/FileKey.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

std::optional<Message> FilePasswordRefusal(FileRunKind kind, const std::string& password,
                                           const std::string* confirmation) {
    const bool restore = kind == FileRunKind::Restore;
    if (confirmation != nullptr && *confirmation != password)
        return restore ? Message::RestoreMismatch : Message::EncryptFilesMismatch;
    if (password.size() < static_cast<std::size_t>(kShortestFilePassword))
        return restore ? Message::RestorePasswordTooShort : Message::FilePasswordLength;
    if (password.size() > static_cast<std::size_t>(kLongestFilePassword) ||
        password.find('\0') != std::string::npos)
        return restore ? Message::RestorePasswordTooLong : Message::FilePasswordLength;
    return std::nullopt;
}

bool FilePasswordUsable(const std::string& password) {
    CipherWorkspace ws;
    return PrepareFileKey(ws, password).distinctModuli;
}

}  // namespace kiv
