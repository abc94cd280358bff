#pragma once

#include <QObject>

class QPushButton;

namespace kiv {

// Enter and keypad Enter on a focused push button press it, as Space does: the desktop the
// window's design comes from works so, while Qt leaves Enter to dialogs' default buttons.
class EnterPressesButton final : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    // Watches the button; the filter belongs to whoever created it.
    void Watch(QPushButton* button);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kiv
