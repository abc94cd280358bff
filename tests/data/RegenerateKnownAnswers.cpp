// Makes the stored known answers again: every container of containers.tsv from the files of
// plain/, and the cipher text column of text-ciphers.tsv, all with kKnownAnswerClock. Run it
// only for a deliberate change of format; the tests never do.

#include <fstream>
#include <iostream>
#include <sstream>

#include "cipher/TextCipher.h"
#include "data/KnownAnswers.h"
#include "filecrypt/FileEncryption.h"
#include "support/RecordingObserver.h"

namespace {

using namespace kiv;
using namespace kiv::testing;

bool RegenerateContainers() {
    for (const KnownContainer& known : KnownContainers()) {
        std::vector<std::string> sources;
        for (const std::string& entry : known.entries)
            sources.push_back(KnownAnswerPath("plain/" + entry));
        RecordingObserver observer;
        if (!EncryptFiles(known.password, sources, KnownAnswerPath("containers/" + known.file),
                          observer, kKnownAnswerClock)
                 .AllWritten()) {
            std::cerr << "cannot make " << known.file << '\n';
            return false;
        }
    }
    return true;
}

bool RegenerateTexts() {
    const std::string path = KnownAnswerPath("text-ciphers.tsv");
    std::ostringstream out;
    out << "# Stored text cipher texts, made once by RegenerateKnownAnswers with the clock of "
           "KnownAnswers.h.\n"
           "# key<TAB>plain text<TAB>cipher text (\"\\xNN\" is one byte)\n";
    CharacterOrder order;
    BuildCharacterOrder(order);
    for (const auto& row : ReadTable(path)) {
        CipherWorkspace ws(kKnownAnswerClock);  // fresh: the noise chain starts anew
        TextOperands op;
        op.CipherKey = Unescape(row.at(0));
        op.CipherInput = Unescape(row.at(1));
        if (EncryptText(ws, order, op) != TextKeyVerdict::Usable) {
            std::cerr << "the key " << row.at(0) << " cannot encrypt a text\n";
            return false;
        }
        out << row.at(0) << '\t' << row.at(1) << '\t' << op.CipherOutput << '\n';
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << out.str();
    return true;
}

}  // namespace

int main() {
    return RegenerateContainers() && RegenerateTexts() ? 0 : 1;
}
