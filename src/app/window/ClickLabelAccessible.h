#pragma once

#include <QAccessibleWidget>

namespace kiv {

class ClickLabel;

// What assistive technology sees of a clickable label: its text, and a press action that does
// exactly what a click with the mouse does.
class ClickLabelAccessible final : public QAccessibleWidget {
  public:
    explicit ClickLabelAccessible(ClickLabel* label);

    QString text(QAccessible::Text kind) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

    // Makes Qt build this interface for every ClickLabel; safe to call more than once.
    static void Install();

  private:
    ClickLabel* Label() const;
};

}  // namespace kiv
