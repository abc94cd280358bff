#pragma once

#include <QLabel>
#include <QTimer>

namespace kiv {

// The line at the window's foot that says what an action did where nothing else shows it (the
// clipboard's new content, the end of a file run). It sits in the free space below the
// progress bars, so no control moves or is covered; each text stays a few seconds. Assistive
// technology hears every text as an alert of the line, whose name is the text.
class StatusLine final : public QLabel {
    Q_OBJECT

  public:
    static constexpr int kShownMilliseconds = 6000;

    explicit StatusLine(QWidget* parent);

    void Show(const QString& text);

  private:
    QTimer clear_;
};

}  // namespace kiv
