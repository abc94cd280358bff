#include "runtime/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace kiv {

Translations::Translations(const QLocale& locale, const QString& catalogueFolder) {
    if (locale.language() != QLocale::English && locale.language() != QLocale::C) {
        if (qt_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            qtInstalled_ = QCoreApplication::installTranslator(&qt_);
        if (program_.load(locale, QStringLiteral("kiv"), QStringLiteral("_"), catalogueFolder))
            programInstalled_ = QCoreApplication::installTranslator(&program_);
    }
    // The texts are written in English, so English needs a catalogue only for its plurals;
    // a language without a catalogue of its own is shown in English, plurals included.
    if (!programInstalled_ && english_.load(QStringLiteral("kiv_en"), catalogueFolder))
        englishInstalled_ = QCoreApplication::installTranslator(&english_);
}

Translations::~Translations() {
    if (englishInstalled_) QCoreApplication::removeTranslator(&english_);
    if (programInstalled_) QCoreApplication::removeTranslator(&program_);
    if (qtInstalled_) QCoreApplication::removeTranslator(&qt_);
}

}  // namespace kiv
