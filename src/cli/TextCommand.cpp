#include "cli/TextCommand.h"

#include <istream>
#include <ostream>
#include <vector>

#include "cipher/KeySchedule.h"
#include "cipher/TextCipher.h"
#include "cli/CliPassword.h"
#include "cli/FailureLines.h"

namespace kiv {

namespace {

// The engine's messages about one input line (one per failed block), in kiv-cli's words.
struct LineMessages : CipherMessages {
    void ShowMessage(const std::string& text) override { texts.push_back(CliWording(text)); }
    std::vector<std::string> texts;
};

}  // namespace

int RunTextCommand(CliContext& context, const CommandRequest& request, bool encrypt) {
    int status = kExitOk;
    const auto password = CommandPassword(context, request, encrypt, status);
    if (!password) return status;

    CipherWorkspace ws(context.clock);
    CharacterOrder order;
    BuildCharacterOrder(order);
    TextOperands op;
    op.CipherKey = *password;
    switch (CheckTextKey(ws, op.CipherKey)) {
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

    std::string line;
    for (long long number = 1; std::getline(context.in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        op.CipherInput = line;
        if (encrypt) {
            EncryptText(ws, order, op);
            context.out << op.CipherOutput << '\n';
            continue;
        }
        // One failure line for a line handed back; one per block left out of a decrypted line.
        LineMessages messages;
        const std::string where = "kiv-cli: line " + std::to_string(number) + ": ";
        if (!DecryptText(ws, order, op, messages)) {
            op.CipherOutput = line;
            status = kExitFailed;
            context.err << where << "written back unchanged: "
                        << (messages.texts.empty() ? "not a cipher text for this password"
                                                   : messages.texts.back())
                        << '\n';
        } else {
            for (const std::string& text : messages.texts)
                context.err << where << "a block was left out: " << text << '\n';
        }
        context.out << op.CipherOutput << '\n';
    }
    context.out.flush();
    return status;
}

}  // namespace kiv
