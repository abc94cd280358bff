#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

namespace kiv {

// The catalogues the window's texts are looked up in for one locale: Qt's own (the standard
// dialog buttons) and the program's ("kiv_<language>.qm"). English is the source language; its
// catalogue ("kiv_en.qm") holds only plural forms and serves every language without one of its
// own. Installed while the object lives; needs a QCoreApplication.
class Translations {
  public:
    // catalogueFolder holds the program's catalogues; the program embeds them under ":/i18n".
    explicit Translations(const QLocale& locale,
                          const QString& catalogueFolder = QStringLiteral(":/i18n"));
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // Whether the program's own catalogue for the locale's language was found and installed.
    bool ProgramCatalogueInstalled() const { return programInstalled_; }

  private:
    QTranslator qt_;
    QTranslator program_;
    QTranslator english_;
    bool qtInstalled_ = false;
    bool programInstalled_ = false;
    bool englishInstalled_ = false;
};

}  // namespace kiv
