#include "app/window/EnterPressesButton.h"

#include <QKeyEvent>
#include <QPushButton>

namespace kiv {

void EnterPressesButton::Watch(QPushButton* button) {
    button->installEventFilter(this);
}

bool EnterPressesButton::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button == nullptr || !button->isEnabled() || !button->isVisible()) return false;
    // A held key repeats its press; the button is pressed once.
    if (!key->isAutoRepeat()) button->click();
    return true;
}

}  // namespace kiv
