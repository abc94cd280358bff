// Fuzz target residue_kernels: every kernel this processor runs against the portable one, on the
// same key and the same bytes, for texts and for files, coding both ways. Input: a key as a
// leading field, then bytes. With the key as a text key, the bytes' lines (and all the bytes as
// one text, long enough for the vector code's streams) are encrypted side by side and decrypted
// again, and the lines are decrypted as cipher texts; with the key as a file password that a
// file run takes, the bytes are encoded as blocks and decoded as rows of residues. Each kernel
// must give what the portable code gives, to the byte: cipher texts, noise chain and generator,
// decryptions, verdicts and messages; residues and blocks.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/CharacterOrder.h"
#include "cipher/TextCipher.h"
#include "filecrypt/BlockCodec.h"
#include "filecrypt/FileKey.h"
#include "filecrypt/FilePasswordCheck.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "residue/KernelRegistry.h"
#include "support/FixedClock.h"

namespace {

using namespace kiv;

struct RecordedMessages : CipherMessages {
    std::vector<std::string> shown;
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
};

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) return lines;
        at = end + 1;
    }
}

// What the text cores give with one coding: encryption of the texts, then decryption of what
// it gave and of the foreign texts, all on one workspace and a fixed clock.
struct TextRun {
    TextKeyVerdict verdict{};
    std::string cipher;
    decltype(CipherWorkspace::NoiseChain) chain{};
    std::uint64_t random = 0;
    std::vector<std::string> plain;
    std::vector<bool> decrypted;
    std::vector<std::string> messages;

    bool operator==(const TextRun&) const = default;
};

TextRun RunText(const std::string& key, const std::vector<std::string_view>& texts,
                const std::vector<std::string_view>& foreign, TextCoding coding) {
    CipherWorkspace ws(kFileRunClock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    TextRun run;
    run.verdict =
        EncryptTexts(ws, order, key, texts.data(), texts.size(), "\n", run.cipher, coding);
    run.chain = ws.NoiseChain;
    run.random = ws.random.state;

    std::vector<std::string_view> inputs = Lines(run.cipher);
    inputs.insert(inputs.end(), foreign.begin(), foreign.end());
    run.plain.resize(inputs.size());
    const std::unique_ptr<bool[]> decrypted(new bool[inputs.size()]);
    RecordedMessages messages;
    DecryptTexts(ws, order, key, inputs.data(), inputs.size(), run.plain.data(), decrypted.get(),
                 messages, coding);
    run.decrypted.assign(decrypted.get(), decrypted.get() + inputs.size());
    run.messages = std::move(messages.shown);
    return run;
}

void CompareTextKernels(const std::string& key, const std::string& bytes) {
    std::vector<std::string_view> texts = Lines(bytes);
    texts.push_back(bytes);
    const std::vector<std::string_view> foreign = Lines(bytes);
    const TextRun portable = RunText(key, texts, foreign, InstructionSet::Portable);
    for (const InstructionSet set : KernelRegistry::Offered()) {
        if (set == InstructionSet::Portable) continue;
        fuzz::Check(RunText(key, texts, foreign, set) == portable,
                    std::string("the ") + KernelRegistry::Name(set) +
                        " kernel codes texts as the portable code does");
    }
}

// One codec's residues of the blocks and blocks of the rows; and, for distinct moduli, the
// blocks back from those residues. Buffers of exactly their size, so that a kernel's reach past
// them shows.
struct FileRun {
    std::vector<std::uint8_t> residues, blocks, back;
    bool operator==(const FileRun&) const = default;
};

FileRun RunFile(const CipherWorkspace& schedule, const FileKey& key,
                const std::vector<std::uint8_t>& plain, const std::vector<std::uint8_t>& rows,
                InstructionSet set) {
    CipherWorkspace ws = schedule;
    BlockCodec codec(ws, key, set);
    fuzz::Check(codec.Kernel() == set, "a file key's blocks go through the kernel asked for");
    const auto length = static_cast<std::size_t>(key.blockLength);
    const auto width = static_cast<std::size_t>(key.ResidueBytes());
    FileRun run;
    run.residues.resize(plain.size() / length * width);
    codec.EncodeBlocks(plain.data(), plain.size() / length, run.residues.data());
    run.blocks.resize(rows.size() / width * length);
    codec.DecodeBlocks(rows.data(), rows.size() / width, run.blocks.data());
    if (key.distinctModuli) {
        run.back.resize(plain.size());
        codec.DecodeBlocks(run.residues.data(), plain.size() / length, run.back.data());
        fuzz::Check(run.back == plain, "blocks come back from their residues");
    }
    return run;
}

void CompareFileKernels(const std::string& password, const std::string& bytes) {
    if (FilePasswordRefusal(FileRunKind::Encryption, password)) return;
    CipherWorkspace schedule;
    const FileKey key = PrepareFileKey(schedule, password);
    const auto length = static_cast<std::size_t>(key.blockLength);
    const auto width = static_cast<std::size_t>(key.ResidueBytes());
    const std::vector<std::uint8_t> plain(bytes.begin(),
                                          bytes.begin() + bytes.size() / length * length);
    const std::vector<std::uint8_t> rows(bytes.begin(),
                                         bytes.begin() + bytes.size() / width * width);
    const FileRun portable = RunFile(schedule, key, plain, rows, InstructionSet::Portable);
    for (const InstructionSet set : KernelRegistry::Offered()) {
        if (set == InstructionSet::Portable) continue;
        fuzz::Check(RunFile(schedule, key, plain, rows, set) == portable,
                    std::string("the ") + KernelRegistry::Name(set) +
                        " kernel codes file blocks as the portable code does");
    }
}

// Said once per process: a run on a processor without some set compares fewer kernels, and a
// clean run must not pass for a check of code it never ran.
bool SayWhichKernelsAreCompared() {
    for (const InstructionSet set : {InstructionSet::Avx2, InstructionSet::Avx512})
        std::fprintf(stderr, "residue_kernels: %s kernel %s\n", KernelRegistry::Name(set),
                     KernelRegistry::Runs(set)
                         ? "compared with the portable code"
                         : "skipped: not on this processor, or above KIV_INSTRUCTION_SET");
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] static const bool said = SayWhichKernelsAreCompared();
    fuzz::FuzzInput input(data, size);
    const std::string key = input.Field();
    const std::string bytes = input.Rest();
    CompareTextKernels(key, bytes);
    CompareFileKernels(key, bytes);
    return 0;
}
