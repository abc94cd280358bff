#include "app/StatusLine.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <algorithm>
#include <mutex>

namespace kiv {

namespace {

// Read as an alert whose name is the line's text, so that a screen reader speaks it when it
// appears, whatever has the focus.
class StatusLineAccessible final : public QAccessibleWidget {
  public:
    explicit StatusLineAccessible(QWidget* line)
        : QAccessibleWidget(line, QAccessible::AlertMessage) {}
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) return static_cast<StatusLine*>(widget())->WholeText();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* ForStatusLine(const QString& className, QObject* object) {
    if (className != QLatin1String(StatusLine::staticMetaObject.className())) return nullptr;
    if (auto* line = qobject_cast<StatusLine*>(object)) return new StatusLineAccessible(line);
    return nullptr;
}

}  // namespace

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(ForStatusLine); });
    hide();
}

void StatusLine::Show(const QString& text, const QString& path) {
    // Hidden first, so that a repeated text appears anew for assistive technology too.
    hide();
    whole_ = text;
    QString shown = text;
    const int room = contentsRect().width();
    const QFontMetrics metrics = fontMetrics();
    const qsizetype at = path.isEmpty() ? -1 : text.indexOf(path);
    if (at >= 0 && metrics.horizontalAdvance(text) > room) {
        const int rest = metrics.horizontalAdvance(QString(text).remove(at, path.size()));
        shown.replace(at, path.size(),
                      metrics.elidedText(path, Qt::ElideMiddle, std::max(0, room - rest)));
    }
    const QString aside = shown == text ? QString() : path;
    setToolTip(aside);
    setAccessibleDescription(aside);
    setText(shown);
    show();
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void StatusLine::Clear() {
    hide();
    whole_.clear();
    clear();
    setToolTip(QString());
    setAccessibleDescription(QString());
}

}  // namespace kiv
