#include "app/core/ShownText.h"

#include <QCoreApplication>

#include "app/core/TextAdapter.h"

namespace kiv {

namespace {

constexpr char kContext[] = "kiv";

}  // namespace

QString ShownText(const char* text) {
    return QCoreApplication::translate(kContext, text);
}

QString ShownText(const char* text, int count) {
    return QCoreApplication::translate(kContext, text, nullptr, count);
}

QString ShownText(const QString& text) {
    return QCoreApplication::translate(kContext, text.toUtf8().constData());
}

QString ShownText(const ReportText& text) {
    // The translated template crosses to bytes and back unchanged, so the values go in by the
    // same one-pass filler as in the English text.
    return TextAdapter::FromBytes(
        FillTemplate(TextAdapter::ToBytes(ShownText(text.templ)), text.args));
}

}  // namespace kiv
