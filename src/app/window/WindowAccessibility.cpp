#include "app/window/WindowAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <mutex>
#include <optional>

#include "app/core/ShownText.h"
#include "app/window/EnterPressesButton.h"
#include "app/window/Form1Controls.h"
#include "app/window/TForm1.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

namespace {

void Describe(QWidget* control, Message name, std::optional<Message> description = {}) {
    control->setAccessibleName(ShownText(WindowText(name)));
    if (description) control->setAccessibleDescription(ShownText(WindowText(*description)));
}

QAccessibleInterface* ForMainWindow(const QString& className, QObject* object) {
    if (className != QLatin1String(TForm1::staticMetaObject.className())) return nullptr;
    if (auto* window = qobject_cast<QWidget*>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

}  // namespace

void InstallMainWindowRole() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(ForMainWindow); });
}

void DescribeControls(QWidget& window, const Form1Controls& controls) {
    Describe(controls.Edit1, Message::Password1Name);
    Describe(controls.Edit2, Message::Password2Name, Message::Password2Description);
    Describe(controls.Memo1, Message::EditorName, Message::EditorDescription);
    Describe(controls.ListBox1, Message::ReportName);
    Describe(controls.ProgressBar1, Message::FileProgressName);
    Describe(controls.ProgressBar2, Message::OverallProgressName);
    Describe(controls.Label3, Message::DateName);
    Describe(controls.Label4, Message::TimeName);
    controls.Label1->setAccessibleDescription(
        ShownText(WindowText(Message::PasswordLabelDescription)));
    controls.Label2->setAccessibleDescription(ShownText(WindowText(Message::SloganDescription)));

    auto* enter = new EnterPressesButton(&window);
    for (QPushButton* button :
         {controls.Button1, controls.Button2, controls.Button3, controls.Button4, controls.Button5,
          controls.Button6, controls.Button7})
        enter->Watch(button);
}

void Announce(QWidget& source, const QString& text) {
    source.setAccessibleDescription(text);
    QAccessibleEvent changed(&source, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent alert(&source, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

}  // namespace kiv
