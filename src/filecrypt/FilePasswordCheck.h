#pragma once

#include <optional>
#include <string>

#include "messages/Message.h"

namespace kiv {

enum class FileRunKind { Encryption, Restore };

// The one check of a password for a file run, shared by the window and both runs. Returns the
// message that refuses it, or nothing when it may be used. confirmation is the second password
// box's text where the caller has one. The checks come in the order users meet them: the two
// texts differ, fewer than 3 bytes, more than 23, a NUL byte (the key schedule would end the
// password there). Each kind keeps its own texts, which differ only in their blanks.
std::optional<Message> FilePasswordRefusal(FileRunKind kind, const std::string& password,
                                           const std::string* confirmation = nullptr);

// Whether the cipher can use password, one FilePasswordRefusal accepts, for files: false when two
// parts of every block would share one prime, so that what it encrypts could never be restored
// and no container can be restored with it. Only letters outside ASCII can do that.
bool FilePasswordUsable(const std::string& password);

}  // namespace kiv
