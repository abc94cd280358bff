#include "app/ShownText.h"

#include <QCoreApplication>

namespace kiv {

namespace {

constexpr char kContext[] = "kiv";

}  // namespace

QString ShownText(const char* text) {
    return QCoreApplication::translate(kContext, text);
}

QString ShownText(const QString& text) {
    const qsizetype value = text.indexOf(QStringLiteral("= "));
    if (value > 0) {
        const QString label = text.left(value + 2);
        const QString shown = QCoreApplication::translate(kContext, label.toUtf8().constData());
        if (shown != label) return shown + text.mid(value + 2);
    }
    return QCoreApplication::translate(kContext, text.toUtf8().constData());
}

}  // namespace kiv
