#pragma once

#include "messages/TranslatableText.h"

namespace kiv {

// The password checks' texts, shared by the window and kiv-cli. Several differ only in their
// blanks: each action keeps its own.

// Editor and clipboard actions.
inline constexpr char kEncryptEditorMismatch[] =
    QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal");
inline constexpr char kDecryptEditorMismatch[] =
    QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal  ");
inline constexpr char kEncryptClipboardMismatch[] =
    QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal");
inline constexpr char kDecryptClipboardMismatch[] =
    QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal ");
inline constexpr char kPasswordTooShort[] =
    QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal or small than three ");

// File runs: encryption uses one length text for both limits, a restore has two.
inline constexpr char kEncryptFilesMismatch[] =
    QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal. ");
inline constexpr char kRestoreMismatch[] =
    QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal ");
inline constexpr char kFilePasswordLength[] =
    QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal or small than three ");
inline constexpr char kRestorePasswordTooShort[] =
    QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal or small than three  ");
inline constexpr char kRestorePasswordTooLong[] =
    QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal or small than three ");
// The window's refusal, before any file dialog, of a password of a fitting length that the cipher
// still cannot use for files (two parts of a block would share one prime).
inline constexpr char kUnusableFilePassword[] = QT_TRANSLATE_NOOP(
    "kiv",
    "This password cannot be used: choose another one; some passwords with letters outside A–Z "
    "cannot");

}  // namespace kiv
