#include "app/core/TextSession.h"

#include "app/core/PasswordKey.h"
#include "app/core/TextAdapter.h"
#include "messages/MessageCatalogue.h"
#include "runtime/SecretWipe.h"

namespace kiv {

TextSession::TextSession(UiServices& ui, const Clock& clock, std::function<void()> encrypting)
    : ui_(ui), encrypting_(std::move(encrypting)), workspace_(clock), cipherMessages_(ui) {
    BuildCharacterOrder(order_);
}

bool TextSession::PreparePasswordKey(const QString& first, const QString& second,
                                     const char* mismatchText, const char* shortText) {
    switch (CheckPasswordBoxes(TextAdapter::SecretBytes(first), TextAdapter::SecretBytes(second),
                               Operands.CipherKey)) {
        case PasswordCheck::Differ:
            ui_.ShowMessage(QString::fromUtf8(mismatchText));
            return false;
        case PasswordCheck::TooShort:
            ui_.ShowMessage(QString::fromUtf8(shortText));
            return false;
        case PasswordCheck::Ready:
            break;
    }
    return true;
}

bool TextSession::PrepareTextKey(const QString& first, const QString& second,
                                 const char* mismatchText, const char* shortText, bool encrypting) {
    if (!PreparePasswordKey(first, second, mismatchText, shortText)) return false;
    switch (CheckTextKey(*workspace_, Operands.CipherKey)) {
        case TextKeyVerdict::Usable:
            return true;
        case TextKeyVerdict::TooShort:  // a NUL among the first three bytes
            ui_.ShowMessage(QString::fromUtf8(shortText));
            return false;
        case TextKeyVerdict::RepeatedModuli:
            // Decrypting with it only hands every text back unchanged.
            if (!encrypting) return true;
            ui_.ShowMessage(QString::fromUtf8(WindowText(Message::RepeatedModuli)));
            return false;
    }
    return false;
}

TextKeyVerdict TextSession::EncryptOperands() {
    encrypting_();
    return EncryptText(*workspace_, order_, Operands);
}

bool TextSession::DecryptOperands() {
    return DecryptText(*workspace_, order_, Operands, cipherMessages_);
}

std::string TextSession::Encrypted(const std::string& text) {
    Operands.CipherInput = text;
    EncryptOperands();
    return Operands.CipherOutput;
}

std::string TextSession::Decrypted(const std::string& text) {
    Operands.CipherInput = text;
    DecryptOperands();
    return Operands.CipherOutput;
}

bool TextSession::QuickDecrypt(const QString& cipherText, const QString& password) {
    Operands.CipherInput = TextAdapter::ToBytes(cipherText);
    CutPasswordKey(TextAdapter::SecretBytes(password), Operands.CipherKey);
    if (Operands.CipherKey.size() < static_cast<std::size_t>(kShortestKey)) {
        ui_.ShowMessage(QLatin1String(WindowText(Message::QuickKeyTooShort)));
        return false;
    }
    DecryptOperands();
    return true;
}

std::optional<ClipboardSegments::Result> TextSession::EncryptClipboard() {
    // Without text there is nothing to convert, and what the clipboard holds instead (an image,
    // say) is the user's: it stays.
    const QString text = ui_.ClipboardText();
    if (text.isEmpty()) return std::nullopt;
    ClipboardSegments::Result result = ClipboardSegments::Encrypt(
        TextAdapter::ToBytes(text),
        [this](const std::string& segment) { return Encrypted(segment); });
    ui_.SetClipboardText(TextAdapter::FromBytes(result.text), ClipboardContent::CipherText);
    return result;
}

std::optional<ClipboardSegments::Result> TextSession::DecryptClipboard() {
    const QString text = ui_.ClipboardText();
    if (text.isEmpty()) return std::nullopt;
    ClipboardSegments::Result result = ClipboardSegments::Decrypt(
        TextAdapter::ToBytes(text),
        [this](const std::string& segment) { return Decrypted(segment); });
    ui_.SetClipboardText(TextAdapter::FromBytes(result.text), ClipboardContent::Secret);
    return result;
}

void TextSession::ForgetKey() {
    WipeText(Operands.CipherKey);
    workspace_->ForgetKey();
}

}  // namespace kiv
