#include "app/ShownText.h"

#include <QCoreApplication>

#include "app/TextAdapter.h"

namespace kiv {

namespace {

constexpr char kContext[] = "kiv";

}  // namespace

QString ShownText(const char* text) {
    return QCoreApplication::translate(kContext, text);
}

QString ShownText(const QString& text) {
    return QCoreApplication::translate(kContext, text.toUtf8().constData());
}

QString ShownText(const ReportText& text) {
    const QString templ = ShownText(text.templ);
    QString shown;
    shown.reserve(templ.size());
    for (qsizetype i = 0; i < templ.size(); ++i) {
        if (templ[i] == u'%' && i + 1 < templ.size() && templ[i + 1] >= u'1' &&
            templ[i + 1] <= u'9') {
            const auto index = static_cast<std::size_t>(templ[i + 1].unicode() - u'1');
            if (index < text.args.size()) {
                shown += TextAdapter::FromBytes(text.args[index]);
                ++i;
                continue;
            }
        }
        shown += templ[i];
    }
    return shown;
}

}  // namespace kiv
