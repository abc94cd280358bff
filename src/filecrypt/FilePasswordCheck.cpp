#include "filecrypt/FilePasswordCheck.h"

#include "cipher/PasswordMessages.h"
#include "filecrypt/FileKey.h"

namespace kiv {

const char* FilePasswordRefusal(FileRunKind kind, const std::string& password,
                                const std::string* confirmation) {
    const bool restore = kind == FileRunKind::Restore;
    if (confirmation != nullptr && *confirmation != password)
        return restore ? kRestoreMismatch : kEncryptFilesMismatch;
    if (password.size() < static_cast<std::size_t>(kShortestFilePassword))
        return restore ? kRestorePasswordTooShort : kFilePasswordLength;
    if (password.size() > static_cast<std::size_t>(kLongestFilePassword) ||
        password.find('\0') != std::string::npos)
        return restore ? kRestorePasswordTooLong : kFilePasswordLength;
    return nullptr;
}

bool FilePasswordUsable(const std::string& password) {
    CipherWorkspace ws;
    return PrepareFileKey(ws, password).distinctModuli;
}

}  // namespace kiv
