#include "fuzz/TextCoreChecks.h"

#include <algorithm>

#include "fuzz/FuzzCheck.h"
#include "residue/KeySchedule.h"
#include "support/FixedClock.h"

namespace kiv::fuzz {

namespace {

struct CountedMessages : CipherMessages {
    int shown = 0;
    void ShowMessage(const std::string& text) override {
        Check(text == WindowText(Message::MessageChangedOne) ||
                  text == WindowText(Message::MessageChangedTwo),
              "the text cores show only the two altered-text messages, not \"" + text + "\"");
        ++shown;
    }
};

bool InAlphabet(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'y');
}

}  // namespace

TextCoreChecks::TextCoreChecks(const std::string& key) : ws_(kFileRunClock), key_(key) {
    BuildCharacterOrder(order_);
    verdict_ = CheckTextKey(ws_, key_);
    blockLength_ = std::min<std::size_t>(
        key_.find('\0') == std::string::npos ? key_.size() : key_.find('\0'), kTextKeyLimit);
    if (verdict_ != TextKeyVerdict::TooShort)
        blockChars_ =
            2 * static_cast<std::size_t>(BlockPrimeCount(ws_, static_cast<int>(blockLength_)) + 2);
    Check((verdict_ == TextKeyVerdict::TooShort) == (blockLength_ < kShortestKey),
          "a key is too short exactly when it has fewer than 3 bytes before a NUL");
}

std::string TextCoreChecks::Encrypted(const std::string& plain) {
    TextOperands op;
    op.CipherKey = key_;
    op.CipherInput = plain;
    op.CipherOutput = "kept";
    const TextKeyVerdict verdict = EncryptText(ws_, order_, op);
    Check(verdict == verdict_, "EncryptText judges the key as CheckTextKey does");
    if (verdict != TextKeyVerdict::Usable) {
        Check(op.CipherOutput == "kept", "a refused key leaves the output alone");
        return op.CipherOutput;
    }
    const std::size_t blocks = (plain.size() + blockLength_ - 1) / blockLength_;
    Check(op.CipherOutput.size() == blocks * blockChars_, "2(n-1) characters per block");
    Check(std::all_of(op.CipherOutput.begin(), op.CipherOutput.end(), InAlphabet),
          "cipher texts use \"0\"-\"9\", \"A\"-\"Z\", \"a\"-\"y\" only");
    return op.CipherOutput;
}

std::string TextCoreChecks::Decrypted(const std::string& cipher) {
    TextOperands op;
    op.CipherKey = key_;
    op.CipherInput = cipher;
    op.CipherOutput = "kept";
    CountedMessages messages;
    const bool decrypted = DecryptText(ws_, order_, op, messages);
    if (cipher.empty()) {
        Check(decrypted && op.CipherOutput.empty(), "an empty text decrypts to an empty one");
        return op.CipherOutput;
    }
    if (verdict_ == TextKeyVerdict::TooShort) {
        Check(!decrypted && op.CipherOutput == "kept" && messages.shown == 0,
              "a key shorter than 3 bytes leaves the output alone");
        return op.CipherOutput;
    }
    const std::size_t blocks = (cipher.size() / 2 + blockChars_ / 2 - 1) / (blockChars_ / 2);
    Check(static_cast<std::size_t>(messages.shown) <= blocks, "at most one message per block");
    if (!decrypted) {
        Check(op.CipherOutput == cipher, "a text that does not decrypt comes back unchanged");
        return op.CipherOutput;
    }
    Check(op.CipherOutput.size() <= blocks * blockLength_, "at most L bytes per block");
    Check(op.CipherOutput.find('\0') == std::string::npos, "a decryption ends at its first NUL");
    return op.CipherOutput;
}

std::string TextCoreChecks::RoundTripOf(const std::string& plain) const {
    std::string expected = plain;
    if (blockLength_ > 0 && expected.size() % blockLength_ != 0)
        expected.append(blockLength_ - expected.size() % blockLength_, ' ');
    const std::size_t nul = expected.find('\0');
    if (nul != std::string::npos) expected.resize(nul);
    return expected;
}

}  // namespace kiv::fuzz
