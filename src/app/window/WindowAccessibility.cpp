#include "app/window/WindowAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <mutex>

#include "app/window/EnterPressesButton.h"
#include "app/window/Form1Controls.h"
#include "app/window/TForm1.h"

namespace kiv {

namespace {

void Describe(QWidget* control, const char* name, const char* description = nullptr) {
    control->setAccessibleName(QCoreApplication::translate("kiv", name));
    if (description != nullptr)
        control->setAccessibleDescription(QCoreApplication::translate("kiv", description));
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
    Describe(controls.Edit1, QT_TRANSLATE_NOOP("kiv", "Password 1"));
    Describe(controls.Edit2, QT_TRANSLATE_NOOP("kiv", "Password 2"),
             QT_TRANSLATE_NOOP("kiv", "The same password again"));
    Describe(controls.Memo1, QT_TRANSLATE_NOOP("kiv", "Text editor"),
             QT_TRANSLATE_NOOP("kiv", "Each line is encrypted or decrypted on its own"));
    Describe(controls.ListBox1, QT_TRANSLATE_NOOP("kiv", "Report"));
    Describe(controls.ProgressBar1, QT_TRANSLATE_NOOP("kiv", "File progress"));
    Describe(controls.ProgressBar2, QT_TRANSLATE_NOOP("kiv", "Overall progress"));
    Describe(controls.Label3, QT_TRANSLATE_NOOP("kiv", "Date"));
    Describe(controls.Label4, QT_TRANSLATE_NOOP("kiv", "Time"));
    controls.Label1->setAccessibleDescription(
        QCoreApplication::translate("kiv", "Shows or hides the passwords"));
    controls.Label2->setAccessibleDescription(
        QCoreApplication::translate("kiv", "Decrypts a cipher text pasted into Password 1"));

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
