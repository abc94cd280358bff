#include "cli/TextCommand.h"

#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/KeySchedule.h"
#include "cipher/PasswordMessages.h"
#include "cipher/TextCipher.h"
#include "cli/CliArguments.h"
#include "cli/CliPassword.h"

namespace kiv {

const char kTextCommandHelp[] =
    "  encrypt-text [PASSWORD OPTION]\n"
    "      Encrypts standard input line by line (LF or CR LF line ends) and writes one cipher\n"
    "      text per line to standard output. Lines are encrypted whole, whatever their length.\n"
    "  decrypt-text [PASSWORD OPTION]\n"
    "      Decrypts standard input line by line. A line that is not a cipher text for the\n"
    "      password is written back unchanged, and the exit status is then 1.\n";

namespace {

struct StreamMessages : CipherMessages {
    explicit StreamMessages(std::ostream& err) : err(err) {}
    void ShowMessage(const std::string& text) override { err << text << '\n'; }
    std::ostream& err;
};

// Reads one line without its LF or CR LF; false at the end of the input.
bool ReadLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void WriteLine(std::ostream& out, const std::string& line) {
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.put('\n');
}

// Lines are decrypted in batches of about this size, their blocks side by side; memory stays
// bounded by a batch and the longest line, whatever the length of the input.
constexpr std::size_t kBatchBytes = std::size_t{1} << 18;
constexpr std::size_t kBatchLines = 4096;

// Decrypts standard input line by line; false when a line was handed back unchanged.
bool DecryptLines(CliContext& context, CipherWorkspace& ws, const CharacterOrder& order,
                  const std::string& key, CipherMessages& messages) {
    std::vector<std::string> lines(kBatchLines), outputs(kBatchLines);
    std::vector<std::string_view> views(kBatchLines);
    std::unique_ptr<bool[]> decrypted(new bool[kBatchLines]);
    bool all = true;
    for (bool more = true; more;) {
        std::size_t count = 0, bytes = 0;
        while (count < kBatchLines && bytes < kBatchBytes &&
               (more = ReadLine(context.in, lines[count]))) {
            bytes += lines[count].size();
            views[count] = lines[count];
            ++count;
        }
        DecryptTexts(ws, order, key, views.data(), count, outputs.data(), decrypted.get(),
                     messages);
        for (std::size_t t = 0; t < count; ++t) {
            all = all && decrypted[t];
            WriteLine(context.out, outputs[t]);
            // One very long line must not keep its room in every slot it passed through.
            if (lines[t].capacity() > kBatchBytes) std::string().swap(lines[t]);
            if (outputs[t].capacity() > kBatchBytes) std::string().swap(outputs[t]);
        }
    }
    return all;
}

}  // namespace

int RunTextCommand(CliContext& context, bool encrypt) {
    CliArguments arguments({"--password-file", "--password-fd"}, {"--help"});
    if (!arguments.Parse(context.args)) return UsageError(context, arguments.error());
    if (arguments.Has("--help")) {
        context.out << "Usage: kiv-cli " << (encrypt ? "encrypt" : "decrypt")
                    << "-text [--password-file FILE | --password-fd N]\n";
        return kExitOk;
    }
    if (!arguments.Operands().empty())
        return UsageError(context, "unexpected argument '" + arguments.Operands().front() + "'");
    int status = kExitOk;
    const auto password =
        CommandPassword(context, arguments, encrypt,
                        encrypt ? kEncryptEditorMismatch : kDecryptEditorMismatch, status);
    if (!password) return status;

    CipherWorkspace ws(context.clock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    TextOperands op;
    op.CipherKey = *password;
    switch (CheckTextKey(ws, op.CipherKey)) {
        case TextKeyVerdict::TooShort:
            context.err << kPasswordTooShort << '\n';
            return kExitFailed;
        case TextKeyVerdict::RepeatedModuli:
            if (!encrypt) break;  // such texts made elsewhere still get their literal treatment
            context.err << kRepeatedModuliMessage << '\n';
            return kExitFailed;
        case TextKeyVerdict::Usable:
            break;
    }

    StreamMessages messages(context.err);
    // Reading a line would otherwise flush the output first: one write per line.
    std::ostream* const tied = context.in.tie(nullptr);
    if (encrypt) {
        while (ReadLine(context.in, op.CipherInput)) {
            EncryptText(ws, order, op);
            WriteLine(context.out, op.CipherOutput);
        }
    } else if (!DecryptLines(context, ws, order, op.CipherKey, messages)) {
        status = kExitFailed;
    }
    context.in.tie(tied);
    context.out.flush();
    return status;
}

}  // namespace kiv
