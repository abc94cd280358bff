#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "app/core/CipherMessageBox.h"
#include "app/core/ClipboardSegments.h"
#include "app/core/UiServices.h"
#include "cipher/CharacterOrder.h"
#include "cipher/TextCipher.h"
#include "numeric/Clock.h"
#include "residue/CipherWorkspace.h"
#include "runtime/SecretBox.h"

namespace kiv {

// The window's text actions: the editor's lines, the clipboard and the quick key each go
// through the text cores here, with the password checks and boxes each action shows. The
// window reads its controls, hands their texts over and shows what comes back; whatever is
// derived from the password stays here until ForgetKey.
class TextSession {
  public:
    // encrypting is called before every encryption: the first one ends the window's start-up
    // file mode.
    TextSession(UiServices& ui, const Clock& clock, std::function<void()> encrypting);

    // What the actions hand to the text cores: CipherKey, CipherInput, CipherOutput, and the
    // TimeOfDay and TimeStamp of the latest encryption.
    TextOperands Operands;

    // The password check of the editor and clipboard actions on the two password boxes' texts;
    // on success CipherKey holds the key.
    bool PreparePasswordKey(const QString& first, const QString& second, const char* mismatchText,
                            const char* shortText);
    // PreparePasswordKey, then what the text cores would say of the key: a key they cannot use
    // is refused before anything changes.
    bool PrepareTextKey(const QString& first, const QString& second, const char* mismatchText,
                        const char* shortText, bool encrypting);
    // The text cores on Operands.
    TextKeyVerdict EncryptOperands();
    bool DecryptOperands();
    // CipherInput = text, then the text core; the result is CipherOutput.
    std::string Encrypted(const std::string& text);
    std::string Decrypted(const std::string& text);
    // The quick key: cipherText decrypted with password cut to a key, into CipherOutput; false
    // (and said) when the key is too short.
    bool QuickDecrypt(const QString& cipherText, const QString& password);
    // The clipboard's text converted and put back, marked as the kind of text it is; nothing
    // when it holds no text.
    std::optional<ClipboardSegments::Result> EncryptClipboard();
    std::optional<ClipboardSegments::Result> DecryptClipboard();
    // Once an action is over: the key is wiped from CipherKey and the workspace.
    void ForgetKey();

  private:
    UiServices& ui_;
    std::function<void()> encrypting_;
    // The text cores' rows hold the key and what is derived from it: kept out of dumps and swap.
    SecretBox<CipherWorkspace> workspace_;
    CharacterOrder order_;
    CipherMessageBox cipherMessages_;
};

}  // namespace kiv
