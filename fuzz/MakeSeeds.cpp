// kiv-fuzz-seeds FOLDER: writes the fuzz targets' seed inputs into FOLDER/<target>/, made by the
// system's own writers (the text cores, the clipboard segmentation, the editor document, the
// settings store, the file encryption) with a fixed clock, so that they come out the same at
// every run. fuzz/make-seeds.sh runs it into fuzz/corpus.
#include <QString>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/core/ClipboardSegments.h"
#include "app/core/EditorDocument.h"
#include "app/core/SettingsKey.h"
#include "filecrypt/FileEncryption.h"
#include "fuzz/ContainerPasswords.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/TextCoreChecks.h"
#include "support/FixedClock.h"
#include "support/RecordingObserver.h"
#include "support/TempFolder.h"

namespace {

using namespace kiv;
namespace fs = std::filesystem;
using fuzz::FuzzInput;

class Seeds {
  public:
    Seeds(const fs::path& root, const std::string& target) : folder_(root / target) {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void Add(const std::string& name, const std::string& bytes) {
        testing::WriteAll(folder_ / name, bytes);
    }

  private:
    fs::path folder_;
};

// Three ASCII keys of 3, 8 and 17 bytes, and the first usable of a few with bytes above 127
// (many such keys repeat a modulus and cannot encrypt).
std::vector<std::string> Keys() {
    std::vector<std::string> keys = {"abc", "password", "seventeen bytes!!"};
    for (const char* candidate :
         {"\xe7ok g\xfczel", "g\xfczel", "\xfe\xe7x", "pa\xdf", "\xe9t\xe9"}) {
        if (fuzz::TextCoreChecks(candidate).Verdict() == TextKeyVerdict::Usable) {
            keys.push_back(candidate);
            return keys;
        }
    }
    std::fprintf(stderr, "kiv-fuzz-seeds: no key with bytes above 127 can encrypt\n");
    std::exit(1);
}

const std::vector<std::string> kKeys = Keys();

void TextCipherSeeds(const fs::path& root) {
    Seeds seeds(root, "text_cipher");
    const std::vector<std::string> texts = {"", "Webmail password: 123456", "x",
                                            "tab\tand\r\nline ends"};
    for (std::size_t k = 0; k < kKeys.size(); ++k) {
        fuzz::TextCoreChecks cores(kKeys[k]);
        for (std::size_t t = 0; t < texts.size(); ++t) {
            const std::string prefix = "key" + std::to_string(k) + "-text" + std::to_string(t);
            seeds.Add(prefix + "-cipher",
                      FuzzInput::LeadingField(kKeys[k]) + cores.Encrypted(texts[t]));
        }
    }
    seeds.Add("short-key", FuzzInput::LeadingField("ab") + "0123456789");
    seeds.Add("nul-in-key", FuzzInput::LeadingField(std::string("ab\0cdef", 7)) + "plain");
}

void ClipboardSegmentsSeeds(const fs::path& root) {
    Seeds seeds(root, "clipboard_segments");
    const std::vector<std::string> texts = {"one line", "name\tpassword\r\nbank\t123456\r\n",
                                            "\n\nlast\t"};
    for (std::size_t k = 0; k < 2; ++k) {
        fuzz::TextCoreChecks cores(kKeys[k]);
        const auto encrypt = [&](const std::string& s) { return cores.Encrypted(s); };
        for (std::size_t t = 0; t < texts.size(); ++t) {
            const std::string cipher = ClipboardSegments::Encrypt(texts[t], encrypt).text;
            const std::string prefix = "key" + std::to_string(k) + "-text" + std::to_string(t);
            seeds.Add(prefix, FuzzInput::LeadingField(kKeys[k]) + cipher);
            // The earlier rule left the clipboard's last character behind the cipher text.
            seeds.Add(prefix + "-old-last-character",
                      FuzzInput::LeadingField(kKeys[k]) + cipher + "!");
        }
    }
}

void EditorDocumentSeeds(const fs::path& root) {
    Seeds seeds(root, "editor_document");
    seeds.Add("sample", EditorDocument::JoinLines(EditorDocument::SampleLines()));
    seeds.Add("mixed-line-ends", "one\rtwo\nthree\r\n\r\nfive\n");
    seeds.Add("nul", EditorDocument::JoinLines({"before", std::string("a\0b", 3), "after"}));
    fuzz::TextCoreChecks cores(kKeys[1]);
    seeds.Add("encrypted", EditorDocument::JoinLines(
                               {cores.Encrypted("Order: Fly"), "", cores.Encrypted("Order: Buy")}));
    seeds.Add("empty", "");
}

// Seeds of settings_key: the machine-wide file as a leading field, then the user's file.
void SettingsKeySeeds(const fs::path& root) {
    Seeds seeds(root, "settings_key");
    testing::TempFolder scratch;
    const auto written = [&](const std::vector<std::pair<const char*, QString>>& values) {
        const QString file = QString::fromStdString(scratch / "Kiv.ini");
        fs::remove(file.toStdString());
        {
            SettingsKey key(file, QString::fromStdString(scratch / "none.ini"));
            key.Create(120, 340);
            for (const auto& [name, value] : values)
                key.WriteText(QString::fromLatin1(name), value);
            key.Commit();
        }
        return testing::ReadAll(file.toStdString());
    };
    const std::string noMachineFile = FuzzInput::LeadingField("");
    seeds.Add("new-key", noMachineFile + written({}));
    seeds.Add("remembered",
              noMachineFile + written({{"radyono", QStringLiteral("3")},
                                       {"sifre", QStringLiteral("p\u00e4ss, \"word\"; =[x]")},
                                       {"hatirla", QStringLiteral("1")}}));
    const std::string odd = written({{"Top", QStringLiteral("")},
                                     {"Left", QStringLiteral("12px")},
                                     {"radyono", QStringLiteral("99999999999")}});
    seeds.Add("not-numbers", noMachineFile + odd);
    // Earlier versions kept the key in the machine-wide file only.
    seeds.Add("machine-wide-only", FuzzInput::LeadingField(odd));
    seeds.Add("machine-wide-under-user",
              FuzzInput::LeadingField(written({{"Top", QStringLiteral("5")}})) +
                  "[SOFTWARE]\nPulm\\Kiv\\Left=7\n");
    seeds.Add(
        "hand-edited",
        noMachineFile +
            "; edited by hand\n[SOFTWARE]\nPulm\\Kiv\\sifre=a,b,c\nPulm\\Kiv\\Top=+7\n"
            "Pulm\\Kiv\\Left= -3 \nPulm\\Kiv\\radyono=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)\n");
}

void DdeConnectionSeeds(const fs::path& root) {
    Seeds seeds(root, "dde_connection");
    // The requests kiv-cli dde sends: open, a macro of two lines, close.
    seeds.Add("cli-session",
              "CONNECT kiv DdeServerConv1\nEXECUTE 14\nline1\r\nline 2\r\nDISCONNECT\n");
    seeds.Add("caption-topic",
              "CONNECT * Pulm Vostra\nEXECUTE 3\nabcREQUEST item\nADVSTART item\nPOKE item 4\n"
              "dataDISCONNECT\n");
    seeds.Add("wild", "WILDCONNECT\nWILDCONNECT DdeServerConv1\r\nWILDCONNECT other\n");
    seeds.Add("refusals",
              "CONNECT kiv nothing\nCONNECT\nEXECUTE 5\nhelloADVREQ x\nDISCONNECT now\nHELLO\n"
              "EXECUTE 99999999999\nPOKE 1\n");
    seeds.Add("twice", "CONNECT kiv DdeServerConv1\nCONNECT kiv DdeServerConv1\n");
    seeds.Add("long-line", std::string(4200, 'A') + "\nCONNECT kiv DdeServerConv1\n");
    seeds.Add("cut-payload", "CONNECT kiv DdeServerConv1\nEXECUTE 100\nonly a part");
}

void ContainerSeeds(const fs::path& root) {
    Seeds restore(root, "container_restore");
    Seeds listing(root, "container_listing");
    testing::TempFolder scratch;
    testing::WriteAll(scratch / "notes.txt", "Webmail password: 123456\r\n");
    testing::WriteAll(scratch / "empty", "");
    testing::WriteAll(scratch / "twelve bytes", "twelve bytes");
    const std::vector<std::vector<std::string>> sets = {
        {scratch / "notes.txt"},
        {scratch / "notes.txt", scratch / "empty", scratch / "twelve bytes"}};
    int p = 0;
    for (const char* password : fuzz::kContainerPasswords) {
        for (std::size_t s = 0; s < sets.size(); ++s) {
            testing::RecordingObserver observer;
            const std::string output = scratch / "out.vrq";
            if (!EncryptFiles(password, sets[s], output, observer, kFileRunClock).AllWritten()) {
                std::fprintf(stderr, "kiv-fuzz-seeds: encrypting with \"%s\" failed\n", password);
                std::exit(1);
            }
            const std::string name =
                "password" + std::to_string(p) + "-files" + std::to_string(sets[s].size());
            restore.Add(name, testing::ReadAll(output));
            listing.Add(name, testing::ReadAll(output));
        }
        ++p;
    }
}

// Seeds of residue_kernels: each key with a short text, a cipher text it made (so that the
// decryptions are genuine) and 1500 bytes of every value, enough blocks for the vector code's
// streams; and the longest file password.
void ResidueKernelsSeeds(const fs::path& root) {
    Seeds seeds(root, "residue_kernels");
    std::string every;
    for (int i = 0; i < 1500; ++i)
        every.push_back(static_cast<char>((i * 151 + 7 * (i / 61)) & 0xff));
    std::vector<std::string> keys = kKeys;
    keys.push_back(fuzz::kContainerPasswords[2]);
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const std::string prefix = "key" + std::to_string(k);
        const std::string key = FuzzInput::LeadingField(keys[k]);
        seeds.Add(prefix + "-short", key + "Webmail password: 123456");
        seeds.Add(prefix + "-cipher",
                  key + fuzz::TextCoreChecks(keys[k]).Encrypted("one line\nand another"));
        seeds.Add(prefix + "-every-byte", key + every);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kiv-fuzz-seeds FOLDER\n");
        return 2;
    }
    const fs::path root = argv[1];
    TextCipherSeeds(root);
    ClipboardSegmentsSeeds(root);
    EditorDocumentSeeds(root);
    SettingsKeySeeds(root);
    DdeConnectionSeeds(root);
    ContainerSeeds(root);
    ResidueKernelsSeeds(root);
    return 0;
}
