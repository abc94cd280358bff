#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cipher/CharacterOrder.h"
#include "cipher/CipherMessages.h"
#include "messages/MessageCatalogue.h"
#include "residue/CipherWorkspace.h"
#include "residue/InstructionSet.h"
#include "residue/KernelRegistry.h"

namespace kiv {

// The operands the text actions hand to the text cores. Texts are 8-bit byte strings; NUL bytes
// are allowed in the input.
struct TextOperands {
    std::string CipherKey;
    std::string CipherInput;
    std::string CipherOutput;
    double TimeOfDay = 0.0;      // fraction of the day of the latest encryption
    std::int32_t TimeStamp = 0;  // TimeOfDay x 1e9, truncated
};

// Longest key the text cores use; longer keys are cut to this many bytes.
inline constexpr int kTextKeyLimit = 17;
inline constexpr int kShortestKey = 3;

enum class TextKeyVerdict {
    Usable,
    TooShort,        // fewer than 3 bytes before the first NUL
    RepeatedModuli,  // two positions of a block share a modulus: nothing could be decrypted
};

// Bytes per block of key on the text paths: its length up to the first NUL, at most 17.
std::size_t TextBlockLength(std::string_view key);

// What a key would do on the text paths. Runs the key schedule on ws.
TextKeyVerdict CheckTextKey(CipherWorkspace& ws, std::string_view key);

// How the text cores code their blocks: with the key's TextBlockCodec, kept in the workspace
// while the key stays, on an instruction set (by default the best this processor runs; a set it
// lacks gives way as KernelRegistry decides), or, as the reference the codec is held to, with
// the workspace operations block by block and the key schedule at every call (Literal), which
// is no instruction set. All give the same results to the character; keys whose moduli repeat
// always take the workspace operations.
class TextCoding {
  public:
    TextCoding(InstructionSet set = KernelRegistry::Best()) : set_(set) {}
    static const TextCoding Literal;

    bool IsLiteral() const { return literal_; }
    InstructionSet Set() const { return set_; }

  private:
    constexpr TextCoding(InstructionSet set, bool literal) : set_(set), literal_(literal) {}

    InstructionSet set_;
    bool literal_ = false;
};

inline constexpr TextCoding TextCoding::Literal{InstructionSet::Portable, true};

// Encrypts CipherInput with CipherKey (cut to 17 bytes) into CipherOutput: 2(n-1) characters of
// "0"-"9", "A"-"Z", "a"-"y" per block of L bytes, the last block filled up with spaces. Writes
// TimeOfDay and TimeStamp first. Returns the key's verdict; on anything but Usable CipherOutput
// is left as it was.
TextKeyVerdict EncryptText(CipherWorkspace& ws, const CharacterOrder& order, TextOperands& op,
                           TextCoding coding = {});

// Encrypts inputs[0..count-1] with one key as EncryptText would one after the other, and appends
// each cipher text followed by after to out. The texts are coded side by side, with one reading
// of the clock for up to a thousand blocks (so neighbouring texts may share a time stamp, as
// they would within one millisecond). Returns the key's verdict; on anything but Usable nothing
// is appended.
TextKeyVerdict EncryptTexts(CipherWorkspace& ws, const CharacterOrder& order, std::string_view key,
                            const std::string_view* inputs, std::size_t count,
                            std::string_view after, std::string& out, TextCoding coding = {});

// Decrypts CipherInput with CipherKey into CipherOutput. A block is genuine when at least three
// of its mixed-radix digits are 0; a failed block is left out, and when the last block fails (a
// wrong key, an altered or cut text) CipherOutput is CipherInput unchanged. A character outside
// the alphabet reports "Message changed not true one" (first of a pair) or "... two" (second),
// at most once per block. With a key shorter than 3 bytes CipherOutput is left as it was.
// Returns true when CipherOutput holds a decryption (an empty input counts), false when the text
// was handed back or left alone.
bool DecryptText(CipherWorkspace& ws, const CharacterOrder& order, TextOperands& op,
                 CipherMessages& messages, TextCoding coding = {});

// Decrypts inputs[0..count-1] with one key as DecryptText would one after the other, with the
// blocks of all of them decoded side by side; the messages of all come first, in order. A long
// text is decoded a run of blocks at a time, so that it takes little more memory than itself
// and its decryption.
// outputs[t] receives the decryption or, where DecryptText hands the text back, inputs[t];
// decrypted[t] is DecryptText's result. With a key shorter than 3 bytes only empty texts are
// written (as themselves).
void DecryptTexts(CipherWorkspace& ws, const CharacterOrder& order, std::string_view key,
                  const std::string_view* inputs, std::size_t count, std::string* outputs,
                  bool* decrypted, CipherMessages& messages, TextCoding coding = {});

}  // namespace kiv
