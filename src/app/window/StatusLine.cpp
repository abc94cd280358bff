#include "app/window/StatusLine.h"

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

int StatusLine::VisibleWidth() const {
    int left = contentsRect().left();
    int right = left + contentsRect().width();
    for (const QWidget* child = this; !child->isWindow() && child->parentWidget() != nullptr;
         child = child->parentWidget()) {
        left = std::max(left + child->x(), 0);
        right = std::min(right + child->x(), child->parentWidget()->width());
    }
    // Nothing of it in view: the whole line, for when it is scrolled to.
    return right > left ? right - left : contentsRect().width();
}

void StatusLine::Show(const QString& text, const QString& path) {
    // Hidden first, so that a repeated text appears anew for assistive technology too.
    hide();
    whole_ = text;
    QString shown = text;
    const int room = VisibleWidth();
    const QFontMetrics metrics = fontMetrics();
    const qsizetype at = path.isEmpty() ? -1 : text.indexOf(path);
    if (at >= 0 && metrics.horizontalAdvance(text) > room) {
        const int rest = metrics.horizontalAdvance(QString(text).remove(at, path.size()));
        shown.replace(at, path.size(),
                      metrics.elidedText(path, Qt::ElideMiddle, std::max(0, room - rest)));
    }
    SetAside(shown == text ? QString() : path);
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
    SetAside(QString());
}

void StatusLine::SetAside(const QString& path) {
    setToolTip(path);
    // Each change is an event that a screen reader may speak: only real ones.
    if (accessibleDescription() != path) setAccessibleDescription(path);
}

}  // namespace kiv
