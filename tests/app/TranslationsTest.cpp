#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>

#include "app/ShownText.h"
#include "app/WindowMessages.h"
#include "filecrypt/OperationReport.h"
#include "runtime/Translations.h"

namespace kiv {
namespace {

// The catalogues as the build compiles them; the program embeds the same files under ":/i18n".
const QString kCatalogueFolder = QStringLiteral(KIV_CATALOGUE_FOLDER);

TEST(Translations, TurkishLocaleShowsTurkishTextsAndQtsOwnButtonsUntilRemoved) {
    {
        const Translations turkish(QLocale(QLocale::Turkish, QLocale::Turkey), kCatalogueFolder);
        ASSERT_TRUE(turkish.ProgramCatalogueInstalled());
        struct Shown {
            QString source;
            const char* turkish;
        };
        for (const Shown& text : {
                 Shown{QString::fromUtf8(kUseText), "Metin ile"},
                 Shown{QString::fromUtf8(kWindowCaption), "Bilgilerinizin hayatını koruyun"},
                 Shown{QString::fromUtf8(kDecryptEditorMismatch),
                       "Parola 1 ile Parola 2 aynı olmalı  "},
                 // A report line keeps its figure and its column.
                 Shown{QString::fromStdString(report::FileByteAmount(1234)),
                       "Dosya Bayt Sayısı    = 1234"},
                 Shown{QString::fromStdString(report::CloseFileByteYes(7)),
                       "Kapalı Dosya Bayt toplam = 7"},
                 // What the catalogue does not know, a file name say, is shown as it is.
                 Shown{QStringLiteral("notes = draft.txt"), "notes = draft.txt"},
             })
            EXPECT_EQ(ShownText(text.source), QString::fromUtf8(text.turkish));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("İptal"));
    }
    EXPECT_EQ(ShownText(kUseText), QStringLiteral("Use Text"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

TEST(Translations, EnglishAndLanguagesWithoutACatalogueKeepTheSourceTexts) {
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedKingdom),
                                  QLocale(QLocale::Icelandic, QLocale::Iceland)}) {
        const Translations translations(locale, kCatalogueFolder);
        EXPECT_FALSE(translations.ProgramCatalogueInstalled()) << locale.name().toStdString();
        EXPECT_EQ(ShownText(kUseText), QStringLiteral("Use Text"));
        EXPECT_EQ(ShownText(QString::fromStdString(report::FileByteAmount(1))),
                  QStringLiteral("File Byte Amount = 1"));
    }
}

}  // namespace
}  // namespace kiv
