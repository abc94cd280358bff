#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>

#include "app/core/ShownText.h"
#include "app/window/FakeUi.h"
#include "app/window/WindowRunReport.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/OperationReport.h"
#include "messages/MessageCatalogue.h"
#include "runtime/Translations.h"

namespace kiv {
namespace {

// The catalogues as the build compiles them; the program embeds the same files under ":/i18n".
const QString kCatalogueFolder = QStringLiteral(KIV_CATALOGUE_FOLDER);

TEST(Translations, TurkishLocaleShowsTurkishTextsAndQtsOwnButtonsUntilRemoved) {
    {
        const Translations turkish(QLocale(QLocale::Turkish, QLocale::Turkey), kCatalogueFolder);
        ASSERT_TRUE(turkish.ProgramCatalogueInstalled());
        // The template is translated, then the values go in as they are: a name holding "%2"
        // stays so, and its control bytes are escaped.
        struct Shown {
            ReportText source;
            const char* turkish;
        };
        for (const Shown& text : {
                 Shown{Message::UseText, "Metin ile"},
                 Shown{Message::WindowCaption, "Bilgilerinizin hayatını koruyun"},
                 Shown{Message::DecryptEditorMismatch, "Parola 1 ile Parola 2 aynı olmalı  "},
                 // A report line keeps its figure and its column.
                 Shown{report::FileByteAmount(1234), "Dosya Bayt Sayısı    = 1234"},
                 Shown{report::CloseFileByteYes(7), "Kapalı Dosya Bayt toplam = 7"},
                 Shown{report::EntrySkipped(EntryProblem::IsContainer, "a%2\x1b", 3),
                       " Girdi 3 \"a%2\\x1b\" şifrelenmiş dosyanın kendisinin yerine geçerdi; "
                       "atlandı"},
                 Shown{report::EntriesNotRestored(2, 5), " Girdi 2 ile 5 arası geri yüklenmedi"},
                 Shown{report::EndsBeforeLastBlockOf("big"),
                       " Şifrelenmiş dosya, big girdisinin son bloğundan önce bitiyor"},
                 Shown{SourceTooLargeMessage("/tmp/x"),
                       "/tmp/x dosyası 2 GiB ya da daha büyük; şifrelenmiş bir dosya yalnızca "
                       "2 GiB'tan küçük dosyaları tutabilir."},
                 Shown{Message::UnusableFilePassword,
                       "Bu parola kullanılamaz: başka bir parola seçin; "
                       "A–Z dışında harfler içeren bazı parolalar "
                       "kullanılamaz"},
                 // What the catalogue does not know, a file name say, is shown as it is.
                 Shown{ReportText::Value("notes = draft.txt"), "notes = draft.txt"},
             })
            EXPECT_EQ(ShownText(text.source), QString::fromUtf8(text.turkish)) << text.turkish;
        // A kept copy's name follows the window's language, which the engine is handed.
        FakeUi ui;
        QListWidget list;
        QProgressBar file, overall;
        QLineEdit box;
        EXPECT_EQ(WindowRunReport(ui, list, file, overall, box).CopyMark(),
                  " (geri y\xc3\xbcklendi %1)");
        EXPECT_EQ(ShownText(WindowText(Message::ClipboardEncrypted), 1),
                  "Pano artık şifreli metni tutuyor (1 parça)");
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("İptal"));
    }
    EXPECT_EQ(ShownText(WindowText(Message::UseText)), QStringLiteral("Use Text"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

TEST(Translations, EnglishAndLanguagesWithoutACatalogueKeepTheSourceTexts) {
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedKingdom),
                                  QLocale(QLocale::Icelandic, QLocale::Iceland)}) {
        const Translations translations(locale, kCatalogueFolder);
        EXPECT_FALSE(translations.ProgramCatalogueInstalled()) << locale.name().toStdString();
        EXPECT_EQ(ShownText(WindowText(Message::UseText)), QStringLiteral("Use Text"));
        EXPECT_EQ(ShownText(report::FileByteAmount(1)), QStringLiteral("File Byte Amount = 1"));
        EXPECT_EQ(ShownText(WindowText(Message::ClipboardEncrypted), 1),
                  "The clipboard now holds the encrypted text (1 part)");
        EXPECT_EQ(ShownText(WindowText(Message::ClipboardDecrypted), 2),
                  "The clipboard now holds the decrypted text (2 parts)");
        EXPECT_TRUE(ShownText(WindowText(Message::FilesInTheWay), 1)
                        .startsWith("A file in %1 holds other content"));
    }
}

}  // namespace
}  // namespace kiv
