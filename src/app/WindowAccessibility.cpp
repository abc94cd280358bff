#include "app/WindowAccessibility.h"

#include <QAccessible>
#include <QCoreApplication>

#include "app/EnterPressesButton.h"
#include "app/TForm1.h"

namespace kiv {

namespace {

void Describe(QWidget* control, const char* name, const char* description = nullptr) {
    control->setAccessibleName(QCoreApplication::translate("kiv", name));
    if (description != nullptr)
        control->setAccessibleDescription(QCoreApplication::translate("kiv", description));
}

}  // namespace

void DescribeControls(TForm1& window) {
    Describe(window.Edit1, QT_TRANSLATE_NOOP("kiv", "Password 1"));
    Describe(window.Edit2, QT_TRANSLATE_NOOP("kiv", "Password 2"),
             QT_TRANSLATE_NOOP("kiv", "The same password again"));
    Describe(window.Memo1, QT_TRANSLATE_NOOP("kiv", "Text editor"),
             QT_TRANSLATE_NOOP("kiv", "Each line is encrypted or decrypted on its own"));
    Describe(window.ListBox1, QT_TRANSLATE_NOOP("kiv", "Report"));
    Describe(window.ProgressBar1, QT_TRANSLATE_NOOP("kiv", "File progress"));
    Describe(window.ProgressBar2, QT_TRANSLATE_NOOP("kiv", "Overall progress"));
    Describe(window.Label3, QT_TRANSLATE_NOOP("kiv", "Date"));
    Describe(window.Label4, QT_TRANSLATE_NOOP("kiv", "Time"));
    window.Label1->setAccessibleDescription(
        QCoreApplication::translate("kiv", "Shows or hides the passwords"));
    window.Label2->setAccessibleDescription(
        QCoreApplication::translate("kiv", "Decrypts a cipher text pasted into Password 1"));

    auto* enter = new EnterPressesButton(&window);
    for (QPushButton* button : {window.Button1, window.Button2, window.Button3, window.Button4,
                                window.Button5, window.Button6, window.Button7})
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
