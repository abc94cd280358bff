#pragma once

#include <QString>

namespace kiv {

// The program's texts are written in English in the code, marked where they stand with
// QT_TRANSLATE_NOOP("kiv", ...), and translated only here, as they are shown: message boxes,
// questions, captions and report lines. Settings, files and kiv-cli never see a translation.
QString ShownText(const char* text);

// A text as a run or a handler produced it: a report line "label = value" translates its
// label and keeps its value; any other text is looked up whole and shown as it is when the
// catalogue does not know it (a file name, say).
QString ShownText(const QString& text);

}  // namespace kiv
