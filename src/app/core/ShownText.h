#pragma once

#include <QString>

#include "filecrypt/ReportText.h"

namespace kiv {

// The program's texts are written in English in the code, marked where they stand with
// QT_TRANSLATE_NOOP("kiv", ...), and translated only here, as they are shown: message boxes,
// questions, captions and report lines. Settings, files and kiv-cli never see a translation.
QString ShownText(const char* text);

// A text marked with QT_TRANSLATE_N_NOOP("kiv", ...) whose "%n" is count, in the plural form
// that count asks for ("1 part", "2 parts"), English included.
QString ShownText(const char* text, int count);

// A text as a handler produced it, looked up whole; shown as it is when the catalogue does not
// know it (a file name, say).
QString ShownText(const QString& text);

// A file run's report line or message: its template translated, then its values put in, in one
// pass, so that a value holding "%2" stays as it is. The values are printable already.
QString ShownText(const ReportText& text);

}  // namespace kiv
