#pragma once

#include <QString>

class QMimeData;

namespace kiv {

// The clipboard content for a text the program puts there: the plain text, marked so that
// clipboard managers which honour the mark (Klipper, CopyQ, wl-paste --watch) keep it out of
// their history, since it may be a decrypted secret. The caller hands it to the clipboard.
QMimeData* SecretClipboardData(const QString& text);

}  // namespace kiv
