#pragma once

#include <QProxyStyle>

namespace kiv {

// The application's style, except that a push button with the keyboard focus wears a ring that
// shows: 2 pixels of the highlight colour just inside its edge. The styles' own mark (a faint
// one-pixel line in a colour close to the button's border) is hard to find at a glance.
class FocusRingStyle final : public QProxyStyle {
    Q_OBJECT

  public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

}  // namespace kiv
