#include "app/window/ClickLabelAccessible.h"

#include <mutex>

#include "app/window/ClickLabel.h"

namespace kiv {

namespace {

QAccessibleInterface* ForClickLabel(const QString& className, QObject* object) {
    if (className != QLatin1String(ClickLabel::staticMetaObject.className())) return nullptr;
    if (auto* label = qobject_cast<ClickLabel*>(object)) return new ClickLabelAccessible(label);
    return nullptr;
}

}  // namespace

ClickLabelAccessible::ClickLabelAccessible(ClickLabel* label)
    : QAccessibleWidget(label, QAccessible::StaticText) {}

ClickLabel* ClickLabelAccessible::Label() const {
    return static_cast<ClickLabel*>(widget());
}

QString ClickLabelAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) return Label()->text();
    return QAccessibleWidget::text(kind);
}

QStringList ClickLabelAccessible::actionNames() const {
    return QAccessibleWidget::actionNames() << pressAction();
}

void ClickLabelAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction() && widget()->isEnabled()) {
        Label()->Click();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

QStringList ClickLabelAccessible::keyBindingsForAction(const QString& actionName) const {
    if (actionName == pressAction()) return {};
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

void ClickLabelAccessible::Install() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(ForClickLabel); });
}

}  // namespace kiv
