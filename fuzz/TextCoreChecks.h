#pragma once

#include <string>

#include "cipher/CharacterOrder.h"
#include "cipher/TextCipher.h"
#include "residue/CipherWorkspace.h"

namespace kiv::fuzz {

// The text cores driven as the window drives them (one workspace reused across calls, a fixed
// clock so that every run repeats), checking after each call the promises that hold whatever
// the key and the text.
class TextCoreChecks {
  public:
    explicit TextCoreChecks(const std::string& key);

    TextKeyVerdict Verdict() const { return verdict_; }
    // The key's length as the cores use it: up to its first NUL, at most 17.
    std::size_t BlockLength() const { return blockLength_; }

    // EncryptText; with a usable key, checks the cipher text's length and alphabet.
    std::string Encrypted(const std::string& plain);
    // DecryptText; checks that the text comes back either unchanged or decrypted, and that the
    // messages are the two known ones, at most one per block.
    std::string Decrypted(const std::string& cipher);
    // What decrypting the encryption of plain must give: plain filled up with spaces to whole
    // blocks, cut at its first NUL.
    std::string RoundTripOf(const std::string& plain) const;

  private:
    CipherWorkspace ws_;
    CharacterOrder order_;
    std::string key_;
    TextKeyVerdict verdict_;
    std::size_t blockLength_ = 0;
    std::size_t blockChars_ = 0;  // 2(n-1)
};

}  // namespace kiv::fuzz
