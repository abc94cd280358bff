#pragma once

#include "cipher/PasswordMessages.h"

namespace kiv {

// Texts the window shows. Several differ only in their blanks: each action keeps its own.
inline constexpr char kLastSaveNotFound[] = "The last save has not been found";
inline constexpr char kCantCreateKey[] = "Can't Create Key";
inline constexpr char kQuickKeyTooShort[] = " Give cipher length equel  3 or big ";
inline constexpr char kPasswordPrompt[] = "Enter the Password:";
inline constexpr char kWindowCaption[] = "Protect the lives of your information";
inline constexpr char kStoreWriteFailed[] = "Failed to set data for '%1'";
inline constexpr char kTextFileFilter[] = "Text files (*.txt)|*.TXT";

// The last-save file after an editor encryption; shown by the exception display.
inline constexpr char kCannotCreateFile[] = "Cannot create file %1";

// File runs.
inline constexpr char kEncryptFilesFilter[] =
    "All files (*.*)|*.*|Text files (*.txt)|*.txt|Word files (*.doc)|*.doc|Excel files "
    "(*.xls)|*.xls|C++ files (*.cpp)|*.cpp|Picture files (*.jpg)|*.jpg";
inline constexpr char kRestoreFilter[] = "Kiv files (*.vrq)|*.vrq";
// Asked before a file encryption replaces an existing container; %1 is its path.
inline constexpr char kReplaceContainer[] = "%1 already exists.\nDo you want to replace it?";
inline constexpr char kCancelCaption[] = "Cancel";
// The report list's last line after a cancelled run; a restore keeps the files it completed.
inline constexpr char kRunCancelled[] = "Cancelled: the file in progress was not written";

}  // namespace kiv
