#pragma once

namespace kiv {

// The password checks' texts, shared by the window and kiv-cli. Several differ only in their
// blanks: each action keeps its own.

// Editor and clipboard actions.
inline constexpr char kEncryptEditorMismatch[] = "Password 1 and Password 2 must equal";
inline constexpr char kDecryptEditorMismatch[] = "Password 1 and Password 2 must equal  ";
inline constexpr char kEncryptClipboardMismatch[] = "Password 1 and Password 2 must equal";
inline constexpr char kDecryptClipboardMismatch[] = "Password 1 and Password 2 must equal ";
inline constexpr char kPasswordTooShort[] =
    "Password 1 and Password 2 must equal or small than three ";

// File runs: encryption uses one length text for both limits, a restore has two.
inline constexpr char kEncryptFilesMismatch[] = "Password 1 and Password 2 must equal. ";
inline constexpr char kRestoreMismatch[] = "Password 1 and Password 2 must equal ";
inline constexpr char kFilePasswordLength[] =
    "Password 1 and Password 2 must equal or small than three ";
inline constexpr char kRestorePasswordTooShort[] =
    "Password 1 and Password 2 must equal or small than three  ";
inline constexpr char kRestorePasswordTooLong[] =
    "Password 1 and Password 2 must equal or small than three ";

}  // namespace kiv
