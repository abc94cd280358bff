// Fuzz target text_cipher: DecryptText over any key and any cipher text, and the round trip
// EncryptText -> DecryptText over any key and any plain text. Input: the key as a leading field,
// then the text, which is decrypted as it is and also encrypted and decrypted again.
#include <cstdint>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/TextCoreChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    fuzz::FuzzInput input(data, size);
    const std::string key = input.Field();
    const std::string text = input.Rest();

    fuzz::TextCoreChecks cores(key);
    cores.Decrypted(text);
    if (cores.Verdict() != TextKeyVerdict::Usable) return 0;
    const std::string cipher = cores.Encrypted(text);
    fuzz::Check(cores.Decrypted(cipher) == cores.RoundTripOf(text),
                "a cipher text decrypts with its own key to its plain text");
    return 0;
}
