#include "cli/TextCommand.h"

#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/KeySchedule.h"
#include "cipher/TextCipher.h"
#include "cli/CliPassword.h"
#include "cli/FailureLines.h"
#include "cli/LineBatchReader.h"
#include "runtime/SecretWipe.h"
#include "runtime/WipeOnExit.h"

namespace kiv {

namespace {

// The engine's messages (one per failed block), in kiv-cli's words.
struct CollectedMessages : CipherMessages {
    void ShowMessage(const std::string& text) override { texts.push_back(CliWording(text)); }
    std::vector<std::string> texts;
};

void WriteLine(std::ostream& out, const std::string& line) {
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.put('\n');
}

// Lines are coded in batches of about this size, their blocks side by side; memory stays bounded
// by a batch and the longest line, whatever the length of the input.
constexpr std::size_t kBatchBytes = std::size_t{1} << 18;
constexpr std::size_t kBatchLines = 4096;

// Somebody typing at a terminal gets each line's answer before typing the next one.
LineBatchReader::Reads Reads(const CliContext& context) {
    return context.inIsTerminal ? LineBatchReader::Reads::LineAtATime
                                : LineBatchReader::Reads::Large;
}

std::size_t BatchLines(const CliContext& context) {
    return context.inIsTerminal ? 1 : kBatchLines;
}

// The failure lines of one input line: one for a line handed back, one per block left out of a
// decrypted line.
void ReportLine(std::ostream& err, std::size_t number, bool decrypted,
                const std::vector<std::string>& messages) {
    const std::string where = "kiv-cli: line " + std::to_string(number) + ": ";
    if (!decrypted) {
        err << where << "written back unchanged: "
            << (messages.empty() ? "not a cipher text for this password" : messages.back()) << '\n';
        return;
    }
    for (const std::string& text : messages)
        err << where << "a block was left out: " << text << '\n';
}

void WriteText(std::ostream& out, const std::string& text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// Encrypts standard input line by line, in batches whose cipher texts are written at once. A
// line longer than a batch is encrypted and written a piece of whole blocks at a time (the
// noise chain runs on from piece to piece as from block to block), so that its cipher text,
// three times its length, is never held whole.
void EncryptLines(CliContext& context, CipherWorkspace& ws, const CharacterOrder& order,
                  const std::string& key) {
    LineBatchReader reader(context.in, Reads(context));
    const std::size_t block = TextBlockLength(key);
    const std::size_t piece = kBatchBytes / block * block;
    std::string out;
    for (;;) {
        const std::vector<std::string_view>& lines = reader.Next(BatchLines(context), kBatchBytes);
        if (lines.empty()) break;
        for (std::size_t t = 0; t < lines.size();) {
            out.clear();
            if (lines[t].size() <= kBatchBytes) {
                std::size_t end = t + 1;
                while (end < lines.size() && lines[end].size() <= kBatchBytes)
                    ++end;
                EncryptTexts(ws, order, key, lines.data() + t, end - t, "\n", out);
                WriteText(context.out, out);
                t = end;
                continue;
            }
            for (std::size_t at = 0; at < lines[t].size(); at += piece) {
                const std::string_view part = lines[t].substr(at, piece);
                out.clear();
                EncryptTexts(ws, order, key, &part, 1, {}, out);
                WriteText(context.out, out);
            }
            context.out.put('\n');
            ++t;
        }
        if (context.inIsTerminal) context.out.flush();
    }
}

// Decrypts standard input line by line; false when a line was handed back unchanged.
bool DecryptLines(CliContext& context, CipherWorkspace& ws, const CharacterOrder& order,
                  const std::string& key) {
    LineBatchReader reader(context.in, Reads(context));
    std::vector<std::string> outputs(kBatchLines);
    // The decrypted lines are wiped when the last of them is written.
    struct WipeAll {
        std::vector<std::string>& texts;
        ~WipeAll() {
            for (std::string& text : texts)
                WipeText(text);
        }
    } wipeOutputs{outputs};
    std::unique_ptr<bool[]> decrypted(new bool[kBatchLines]);
    bool all = true;
    std::size_t first = 1;  // the number of the batch's first line
    for (;;) {
        const std::vector<std::string_view>& lines = reader.Next(BatchLines(context), kBatchBytes);
        const std::size_t count = lines.size();
        if (count == 0) break;
        CollectedMessages batch;
        DecryptTexts(ws, order, key, lines.data(), count, outputs.data(), decrypted.get(), batch);
        for (std::size_t t = 0; t < count; ++t) {
            all = all && decrypted[t];
            WriteLine(context.out, outputs[t]);
            // The batch's messages do not say their line; the rare batch that has any is
            // decrypted again line by line to tell (decryption draws nothing random).
            CollectedMessages messages;
            if (!batch.texts.empty()) {
                TextOperands op;
                const WipeOnExit wipeKey(op.CipherKey), wipePlain(op.CipherOutput);
                op.CipherKey = key;
                op.CipherInput = lines[t];
                DecryptText(ws, order, op, messages);
            }
            if (!decrypted[t] || !messages.texts.empty())
                ReportLine(context.err, first + t, decrypted[t], messages.texts);
            // One very long line must not keep its room in every slot it passed through.
            if (outputs[t].capacity() > kBatchBytes) {
                WipeText(outputs[t]);
                outputs[t].shrink_to_fit();
            }
        }
        first += count;
        if (context.inIsTerminal) context.out.flush();
    }
    return all;
}

}  // namespace

int RunTextCommand(CliContext& context, const CommandRequest& request, bool encrypt) {
    int status = kExitOk;
    const auto password = CommandPassword(context, request, encrypt, status);
    if (!password) return status;

    CipherWorkspace ws(context.clock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    const std::string& key = *password;
    switch (CheckTextKey(ws, key)) {
        case TextKeyVerdict::TooShort:
            context.err << "kiv-cli: " << kTextPasswordTooShort << '\n';
            return kExitFailed;
        case TextKeyVerdict::RepeatedModuli:
            if (!encrypt) break;  // such texts made elsewhere still get their literal treatment
            context.err << "kiv-cli: " << CliWording(kRepeatedModuliMessage) << '\n';
            return kExitFailed;
        case TextKeyVerdict::Usable:
            break;
    }

    // Reading a line would otherwise flush the output first: one write per line.
    std::ostream* const tied = context.in.tie(nullptr);
    if (encrypt) {
        EncryptLines(context, ws, order, key);
    } else if (!DecryptLines(context, ws, order, key)) {
        status = kExitFailed;
    }
    context.in.tie(tied);
    context.out.flush();
    return status;
}

}  // namespace kiv
