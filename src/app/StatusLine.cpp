#include "app/StatusLine.h"

#include <QAccessible>
#include <QAccessibleWidget>
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
        if (kind == QAccessible::Name) return static_cast<QLabel*>(widget())->text();
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
    clear_.setSingleShot(true);
    clear_.setInterval(kShownMilliseconds);
    connect(&clear_, &QTimer::timeout, this, [this] {
        hide();
        clear();
    });
    hide();
}

void StatusLine::Show(const QString& text) {
    // Hidden first, so that a repeated text appears anew for assistive technology too.
    hide();
    setText(text);
    show();
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    clear_.start();
}

}  // namespace kiv
