#include "cli/TextLines.h"

#include <algorithm>
#include <istream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/TextCipher.h"
#include "cipher/TextGeometry.h"
#include "cli/FailureLines.h"
#include "cli/FdStreamBuf.h"
#include "cli/LineBatchReader.h"
#include "cli/SerialWorker.h"
#include "residue/KeySchedule.h"
#include "runtime/SecretWipe.h"

namespace kiv {

namespace {

// The engine's messages are not needed: each failed block's fault is told from its characters.
struct CountedMessages : CipherMessages {
    void ShowMessage(const std::string&) override { ++count; }
    std::size_t count = 0;
};

void WriteLine(std::ostream& out, const std::string& line) {
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.put('\n');
}

// Lines are coded in batches of about this size, their blocks side by side; memory stays bounded
// by a batch and the longest line, whatever the length of the input.
constexpr std::size_t kBatchBytes = std::size_t{1} << 18;
constexpr std::size_t kBatchLines = 4096;

// The longest line encrypted, in bytes: a longer one is not held at all (an endless line must not
// take endless memory) and an empty line stands in its place, so that every later line keeps its
// number. decrypt-text takes the cipher text of such a line.
constexpr std::size_t kLongestPlainLine = std::size_t{64} << 20;

// The longest cipher text of a line of kLongestPlainLine bytes under any key: 22 characters for
// every 3 bytes, which only a 3-byte key writes. The bound for a key whose blocks are not known.
constexpr std::size_t kLongestCipherLine = (kLongestPlainLine + 2) / 3 * 22;

void ReportTooLong(std::ostream& err, std::size_t number, bool encrypt, std::size_t longest) {
    err << "kiv-cli: "
        << CliWording(encrypt ? Message::LineTooLongToEncrypt : Message::LineTooLongToDecrypt,
                      {std::to_string(number), std::to_string(longest)})
        << '\n';
}

// Somebody typing at a terminal gets each line's answer before typing the next one.
LineBatchReader::Reads Reads(const CliContext& context) {
    return context.inIsTerminal ? LineBatchReader::Reads::LineAtATime
                                : LineBatchReader::Reads::Large;
}

std::size_t BatchLines(const CliContext& context) {
    return context.inIsTerminal ? 1 : kBatchLines;
}

// Why the block of line at [from, from + chars) does not decode, for a failure line.
std::string BlockFault(const CharacterOrder& order, std::string_view line, std::size_t from,
                       std::size_t chars) {
    const std::size_t end = std::min(line.size(), from + chars);
    for (std::size_t at = from; at < end; ++at)
        if (order.CharIndex[static_cast<std::uint8_t>(line[at])] > 61)
            return CliWording(Message::CharacterOutsideAlphabet, {std::to_string(at + 1)});
    if (end - from < chars) return CliText(Message::TextEndsInsideBlock);
    return CliText(Message::FailsCipherCheck);
}

// What became of one line of cipher text: decrypted whole, handed back as a cipher text of
// another password (it fails the cipher's check, or its length fits another password's blocks:
// what a wrong password does to nearly every line), or otherwise faulty.
enum class LineVerdict { kWhole, kCheckFailed, kFaulty };

// The failure lines of one input line: one for a line handed back, one per block left out of a
// decrypted line. A decrypted line lost a block only when it is shorter than its blocks' bytes
// (else every block was kept); then the cipher says which blocks it left out.
LineVerdict ReportLosses(std::ostream& err, CipherWorkspace& ws, const CharacterOrder& order,
                         const std::string& key, const TextGeometry& geometry, std::size_t number,
                         std::string_view line, bool decrypted, const std::string& output) {
    // Made only for a line that has something to report: most have nothing.
    const auto lineNumber = [number] { return std::to_string(number); };
    const auto writtenBack = [&](const std::string& why) {
        err << "kiv-cli: " << CliWording(Message::LineWrittenBack, {lineNumber(), why}) << '\n';
    };
    if (geometry.chars == 0) {
        if (!decrypted) writtenBack(CliText(Message::NotCipherTextForPassword));
        return decrypted ? LineVerdict::kWhole : LineVerdict::kFaulty;
    }
    const std::size_t blocks = geometry.BlocksOf(line.size());
    if (!decrypted) {
        const std::size_t last = blocks == 0 ? 0 : (blocks - 1) * geometry.chars;
        if (line.size() <= geometry.length) {
            writtenBack(CliText(Message::TooShortForCipherText));
            return LineVerdict::kFaulty;
        }
        const std::string fault = BlockFault(order, line, last, geometry.chars);
        writtenBack(fault);
        return fault == CliText(Message::FailsCipherCheck) ||
                       fault == CliText(Message::TextEndsInsideBlock)
                   ? LineVerdict::kCheckFailed
                   : LineVerdict::kFaulty;
    }
    if (output.size() >= blocks * geometry.length) return LineVerdict::kWhole;
    const std::vector<std::size_t> leftOut = LeftOutTextBlocks(ws, order, key, geometry, line);
    for (const std::size_t k : leftOut)
        err << "kiv-cli: "
            << CliWording(Message::BlockLeftOut,
                          {lineNumber(), std::to_string(k + 1), std::to_string(blocks),
                           BlockFault(order, line, k * geometry.chars, geometry.chars)})
            << '\n';
    return leftOut.empty() ? LineVerdict::kWhole : LineVerdict::kFaulty;
}

void WriteText(std::ostream& out, const std::string& text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// One piece of encryption: texts[0..count-1], each followed by after.
struct EncryptJob {
    const std::string_view* texts = nullptr;
    std::size_t count = 0;
    std::string_view after;
};

// A batch of lines cut into jobs: each run of lines up to a batch long is one job, and a longer
// line is a job per piece of whole blocks (the noise chain runs on from piece to piece as from
// block to block), so that its cipher text, three times its length, is never held whole.
struct BatchJobs {
    void Cut(const std::vector<std::string_view>& lines, std::size_t piece) {
        pieces.clear();
        jobs.clear();
        next = 0;
        std::size_t count = 0;
        for (const std::string_view line : lines)
            if (line.size() > kBatchBytes) count += (line.size() + piece - 1) / piece;
        pieces.reserve(count);  // the jobs point into it
        for (std::size_t t = 0; t < lines.size();) {
            if (lines[t].size() <= kBatchBytes) {
                std::size_t end = t + 1;
                while (end < lines.size() && lines[end].size() <= kBatchBytes)
                    ++end;
                jobs.push_back({lines.data() + t, end - t, "\n"});
                t = end;
                continue;
            }
            for (std::size_t at = 0; at < lines[t].size(); at += piece) {
                pieces.push_back(lines[t].substr(at, piece));
                const bool last = at + piece >= lines[t].size();
                jobs.push_back({&pieces.back(), 1, last ? "\n" : ""});
            }
            ++t;
        }
    }

    std::vector<std::string_view> pieces;
    std::vector<EncryptJob> jobs;
    std::size_t next = 0;  // the first job not yet handed out
};

// Encrypts standard input line by line, in batches whose cipher texts are written at once.
// Reading a batch and writing the cipher text of the one before run beside the encryption, which
// keeps to one thread of its own: the workspace sees the same calls in the same order as on one
// thread, and gives the same cipher texts for the same clock. Somebody typing at a terminal gets
// each line's answer before the next line is read, so there all runs on one thread. False when a
// line was too long to encrypt.
bool EncryptLines(CliContext& context, CipherWorkspace& ws, const CharacterOrder& order,
                  const std::string& key) {
    LineBatchReader reader(context.in, kLongestPlainLine, Reads(context));
    bool whole = true;
    std::size_t first = 1;  // the number of the latest batch's first line
    const std::size_t block = TextBlockLength(key);
    const std::size_t piece = kBatchBytes / block * block;
    // A batch's jobs, its lines and their bytes stay until the batch after the next is read,
    // which happens only once they are encrypted.
    BatchJobs batches[2];
    int latest = 0;
    auto nextJob = [&]() -> const EncryptJob* {
        while (batches[latest].next == batches[latest].jobs.size()) {
            const std::vector<std::string_view>& lines =
                reader.Next(BatchLines(context), kBatchBytes);
            if (lines.empty()) return nullptr;
            for (const std::size_t t : reader.TooLong())
                ReportTooLong(context.err, first + t, true, kLongestPlainLine);
            whole = whole && reader.TooLong().empty();
            first += lines.size();
            latest = 1 - latest;
            batches[latest].Cut(lines, piece);
        }
        return &batches[latest].jobs[batches[latest].next++];
    };
    auto encrypt = [&ws, &order, &key](const EncryptJob& job, std::string& out) {
        out.clear();
        EncryptTexts(ws, order, key, job.texts, job.count, job.after, out);
    };

    std::string outs[2];
    if (context.inIsTerminal) {
        while (const EncryptJob* job = nextJob()) {
            encrypt(*job, outs[0]);
            WriteText(context.out, outs[0]);
            context.out.flush();
            if (!context.out) break;  // the caller says why
        }
        return whole;
    }
    // Declared after what its jobs use, so that it ends (with its job) first.
    SerialWorker worker;
    const EncryptJob* job = nextJob();
    if (job == nullptr) return whole;
    int slot = 0;
    worker.Start([&encrypt, &outs, job = *job] { encrypt(job, outs[0]); });
    for (;;) {
        job = nextJob();
        worker.Wait();
        if (job != nullptr)
            worker.Start([&encrypt, &outs, job = *job, slot] { encrypt(job, outs[1 - slot]); });
        WriteText(context.out, outs[slot]);
        if (job == nullptr || !context.out) break;  // the caller says why
        slot = 1 - slot;
    }
    worker.Wait();
    return whole;
}

// The failed lines whose failure lines decrypt-text shows; a summary line counts them all.
constexpr std::size_t kShownLineFailures = 5;

// How the lines of a decryption ended.
struct LineCounts {
    std::size_t lines = 0, whole = 0, checkFailed = 0;
    std::size_t wholeText = 0;  // whole lines that were not empty: an empty line proves nothing
};

// One batch of decryption: the lines' decryptions (or the lines handed back), the failure lines
// of each line that failed, in line order, and how its lines ended.
struct DecryptedBatch {
    std::vector<std::string> outputs = std::vector<std::string>(kBatchLines);
    std::unique_ptr<bool[]> decrypted{new bool[kBatchLines]};
    std::size_t count = 0;
    std::vector<std::string> failures;
    LineCounts counts;

    // The decrypted lines are wiped when the last of them is written.
    ~DecryptedBatch() {
        for (std::string& text : outputs)
            WipeText(text);
    }
};

// Decrypts standard input line by line, with the failure lines of the first few lines that were
// handed back unchanged, lost a block or were too long. As with encryption, reading a batch and
// writing the one before run beside the decryption, which keeps to one thread of its own (the
// workspace is only ever used there), and at a terminal all runs on one thread.
LineCounts DecryptLines(CliContext& context, CipherWorkspace& ws, const CharacterOrder& order,
                        const std::string& key) {
    const TextGeometry geometry = TextGeometryOf(ws, key);
    const std::size_t longest = geometry.chars == 0 ? kLongestCipherLine
                                                    : (kLongestPlainLine + geometry.length - 1) /
                                                          geometry.length * geometry.chars;
    LineBatchReader reader(context.in, longest, Reads(context));
    // Decrypts lines (numbered from first on) into batch; the too-long ones are at tooLong.
    auto decrypt = [&ws, &order, &key, &geometry, longest](
                       const std::vector<std::string_view>& lines,
                       const std::vector<std::size_t>& tooLong, std::size_t first,
                       DecryptedBatch& batch) {
        batch.count = lines.size();
        batch.failures.clear();
        batch.counts = LineCounts();
        CountedMessages messages;
        DecryptTexts(ws, order, key, lines.data(), batch.count, batch.outputs.data(),
                     batch.decrypted.get(), messages);
        auto nextTooLong = tooLong.begin();
        for (std::size_t t = 0; t < batch.count; ++t) {
            ++batch.counts.lines;
            std::ostringstream err;
            if (nextTooLong != tooLong.end() && *nextTooLong == t) {
                ReportTooLong(err, first + t, false, longest);
                ++nextTooLong;
            } else {
                const LineVerdict verdict =
                    ReportLosses(err, ws, order, key, geometry, first + t, lines[t],
                                 batch.decrypted[t], batch.outputs[t]);
                if (verdict == LineVerdict::kWhole) {
                    ++batch.counts.whole;
                    if (!lines[t].empty()) ++batch.counts.wholeText;
                    continue;
                }
                if (verdict == LineVerdict::kCheckFailed) ++batch.counts.checkFailed;
            }
            batch.failures.push_back(err.str());
        }
    };
    LineCounts all;
    std::size_t shown = 0;  // lines whose failure lines were written
    auto write = [&context, &all, &shown](DecryptedBatch& batch) {
        for (std::size_t t = 0; t < batch.count; ++t) {
            WriteLine(context.out, batch.outputs[t]);
            // One very long line must not keep its room in every slot it passed through.
            if (batch.outputs[t].capacity() > kBatchBytes) {
                WipeText(batch.outputs[t]);
                batch.outputs[t].shrink_to_fit();
            }
        }
        // The first few failed lines are told; the summary line counts them all.
        for (const std::string& failure : batch.failures) {
            if (context.quiet || shown == kShownLineFailures) break;
            context.err << failure;
            ++shown;
        }
        all.lines += batch.counts.lines;
        all.whole += batch.counts.whole;
        all.wholeText += batch.counts.wholeText;
        all.checkFailed += batch.counts.checkFailed;
    };

    DecryptedBatch batches[2];
    std::size_t first = 1;  // the number of the next batch's first line
    auto next = [&]() -> const std::vector<std::string_view>& {
        return reader.Next(BatchLines(context), kBatchBytes);
    };
    if (context.inIsTerminal) {
        for (;;) {
            const std::vector<std::string_view>& lines = next();
            if (lines.empty()) break;
            decrypt(lines, reader.TooLong(), first, batches[0]);
            first += lines.size();
            write(batches[0]);
            context.out.flush();
            if (!context.out) break;  // the caller says why
        }
        return all;
    }
    // Declared after what its jobs use, so that it ends (with its job) first.
    SerialWorker worker;
    const std::vector<std::string_view>* lines = &next();
    if (lines->empty()) return all;
    int slot = 0;
    worker.Start([&, lines, tooLong = reader.TooLong(), from = first] {
        decrypt(*lines, tooLong, from, batches[0]);
    });
    first += lines->size();
    for (;;) {
        // The batch under way stays readable through this call.
        lines = &next();
        worker.Wait();
        const bool more = !lines->empty();
        if (more) {
            worker.Start([&, lines, tooLong = reader.TooLong(), from = first, slot] {
                decrypt(*lines, tooLong, from, batches[1 - slot]);
            });
            first += lines->size();
        }
        write(batches[slot]);
        if (!more || !context.out) break;  // the caller says why
        slot = 1 - slot;
    }
    worker.Wait();
    return all;
}

// The status of a decryption whose lines did not all decrypt whole, after its summary line. A
// wrong password fails the cipher's check on nearly every line, but about one line in two
// thousand still passes it by chance: so at most one in a hundred of the lines that are cipher
// texts may have decrypted.
int TextVerdict(CliContext& context, const LineCounts& counts) {
    const std::size_t failed = counts.lines - counts.whole;
    const bool wrongPassword =
        counts.checkFailed > 0 && counts.wholeText * 100 <= counts.wholeText + counts.checkFailed;
    const Message summary = wrongPassword ? Message::TextPasswordWrong : Message::TextLinesFailed;
    context.err << "kiv-cli: "
                << CliWording(summary, {std::to_string(failed), std::to_string(counts.lines)})
                << '\n';
    return ExitStatusOf(summary);
}

}  // namespace

int RunTextLines(CliContext& context, const PasswordOptions& passwordOptions, bool encrypt) {
    int status = kExitOk;
    const auto password = passwordOptions.Read(context, encrypt, status);
    if (!password) return status;

    CipherWorkspace ws(context.clock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    switch (CheckTextKey(ws, *password)) {
        case TextKeyVerdict::TooShort:
            context.err << "kiv-cli: " << CliWording(Message::TextPasswordTooShort) << '\n';
            return kExitPassword;
        case TextKeyVerdict::RepeatedModuli:
            if (!encrypt) break;  // such texts made elsewhere still get their literal treatment
            context.err << "kiv-cli: " << CliWording(Message::RepeatedModuli) << '\n';
            return kExitPassword;
        case TextKeyVerdict::Usable:
            break;
    }
    if (password->size() > static_cast<std::size_t>(kTextKeyLimit) && !context.quiet)
        context.err << "kiv-cli: " << CliWording(Message::TextPasswordCut) << '\n';

    // Reading a line would otherwise flush the output first: one write per line.
    std::ostream* const tied = context.in.tie(nullptr);
    if (encrypt) {
        if (!EncryptLines(context, ws, order, *password)) NoteFailure(status, kExitFailed);
    } else if (const LineCounts counts = DecryptLines(context, ws, order, *password);
               counts.whole < counts.lines) {
        NoteFailure(status, TextVerdict(context, counts));
    }
    context.in.tie(tied);
    if (const std::string why = StreamFailure(context.in); !why.empty()) {
        context.err << "kiv-cli: cannot read standard input: " << why << '\n';
        NoteFailure(status, kExitInputOutput);
    }
    return status;
}

}  // namespace kiv
