#pragma once

#include <QLabel>

namespace kiv {

// A label that reports a click (press and release of the left button on it) and keeps its
// mouse events from reaching the window behind it.
class ClickLabel final : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;

    // What a click does, for callers that are not the mouse (assistive technology).
    void Click() { emit clicked(); }

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace kiv
