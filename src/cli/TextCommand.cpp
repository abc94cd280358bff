#include "cli/TextCommand.h"

#include <istream>
#include <ostream>

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
    std::string line;
    while (std::getline(context.in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        op.CipherInput = line;
        if (encrypt) {
            EncryptText(ws, order, op);
        } else if (!DecryptText(ws, order, op, messages)) {
            op.CipherOutput = line;
            status = kExitFailed;
        }
        context.out << op.CipherOutput << '\n';
    }
    context.out.flush();
    return status;
}

}  // namespace kiv
