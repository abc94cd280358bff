#include "runtime/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace kiv {

Translations::Translations(const QLocale& locale, const QString& catalogueFolder) {
    // The texts are written in English; a catalogue could only repeat them.
    if (locale.language() == QLocale::English || locale.language() == QLocale::C) return;
    if (qt_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        qtInstalled_ = QCoreApplication::installTranslator(&qt_);
    if (program_.load(locale, QStringLiteral("kiv"), QStringLiteral("_"), catalogueFolder))
        programInstalled_ = QCoreApplication::installTranslator(&program_);
}

Translations::~Translations() {
    if (programInstalled_) QCoreApplication::removeTranslator(&program_);
    if (qtInstalled_) QCoreApplication::removeTranslator(&qt_);
}

}  // namespace kiv
