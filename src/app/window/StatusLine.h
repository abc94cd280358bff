#pragma once

#include <QLabel>

namespace kiv {

// The line at the window's foot that says what an action did where nothing else shows it (the
// clipboard's new content, the end of a file run). It sits in the free space below the
// progress bars, so no control moves or is covered; each text stays until the next action.
// Assistive technology hears every text as an alert of the line, whose name is the whole text.
class StatusLine final : public QLabel {
    Q_OBJECT

  public:
    explicit StatusLine(QWidget* parent);

    // Shows text. A path in it that would not fit, or not in the part of the line in view where
    // the window scrolls, is shortened in the middle, keeping its start and the file's name; the
    // whole path is then the tooltip and the accessible description.
    void Show(const QString& text, const QString& path = QString());
    // The line gone until the next text.
    void Clear();
    // What the line says, before any shortening.
    const QString& WholeText() const { return whole_; }

  private:
    // The width of the line that the window shows; less than its own where the window scrolls
    // its controls and the view ends inside the line.
    int VisibleWidth() const;
    // The whole path beside a shortened line; empty for none.
    void SetAside(const QString& path);

    QString whole_;
};

}  // namespace kiv
