#include <QAccessible>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QTimer>
#include <climits>
#include <functional>

#include "app/window/QtUiServices.h"
#include "app/window/WindowFixture.h"
#include "app/window/WindowPlacement.h"

namespace kiv {
namespace {

class Accessibility : public WindowFixture {};

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face == nullptr ? QString() : face->text(QAccessible::Name);
}

TEST_F(Accessibility, EveryShownControlHasANameInEveryMode) {
    auto window = Open();
    window->show();
    for (QRadioButton* mode :
         {window->RadioButton1(), window->RadioButton2(), window->RadioButton3()}) {
        mode->setChecked(true);
        window->ListBox1()->show();
        for (QWidget* control :
             window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!control->isVisible()) continue;
            EXPECT_FALSE(AccessibleName(control).isEmpty())
                << control->objectName().toStdString() << " in " << mode->text().toStdString();
        }
    }
}

TEST_F(Accessibility, TheLabelsPressActionDoesWhatAClickDoes) {
    auto window = Open();
    QAccessibleActionInterface* press =
        QAccessible::queryAccessibleInterface(window->Label1())->actionInterface();
    ASSERT_NE(press, nullptr);
    ASSERT_TRUE(press->actionNames().contains(QAccessibleActionInterface::pressAction()));
    press->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(window->Edit1()->echoMode(), QLineEdit::Normal);  // shown, as a click shows them

    SetPasswords(*window, TextAdapter::FromBytes(Encrypted("plain", "secret")), "secret");
    QAccessible::queryAccessibleInterface(window->Label2())
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(window->ListBox1()->count(), 2);
    EXPECT_EQ(window->ListBox1()->item(1)->text().trimmed(), QStringLiteral("plain"));
}

// Enter and keypad Enter press the focused button; each action leaves its own trace.
TEST_F(Accessibility, EnterPressesTheFocusedActionButton) {
    auto window = Open();
    window->show();
    window->activateWindow();
    const std::string key = "12345678";
    struct Case {
        QRadioButton* mode;
        QPushButton* button;
        std::function<QString()> trace;
    };
    const auto editor = [&] { return window->Memo1()->toPlainText(); };
    const auto clipboard = [&] { return ui.clipboard; };
    const auto dialogs = [&] { return QString::number(ui.openSeen.size()); };
    const Case cases[] = {
        {window->RadioButton3(), window->Button5(), editor},
        {window->RadioButton3(), window->Button6(), editor},
        {window->RadioButton2(), window->Button4(), clipboard},
        {window->RadioButton2(), window->Button3(), clipboard},
        {window->RadioButton1(), window->Button2(), dialogs},
        {window->RadioButton1(), window->Button1(), dialogs},
    };
    for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
        for (const Case& c : cases) {
            c.mode->setChecked(true);
            SetPasswords(*window, QString::fromStdString(key), QString::fromStdString(key));
            window->Memo1()->setPlainText(QStringLiteral("line"));
            ui.clipboard = QStringLiteral("copied");
            if (c.button == window->Button6())
                window->Memo1()->setPlainText(TextAdapter::FromBytes(Encrypted("line", key)));
            if (c.button == window->Button3())
                ui.clipboard = TextAdapter::FromBytes(Encrypted("copied", key));
            const QString before = c.trace();
            c.button->setFocus();
            QTest::keyClick(c.button, enter,
                            enter == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            EXPECT_NE(c.trace(), before) << c.button->text().toStdString();
        }
    }
}

TEST_F(Accessibility, TheStartUpPromptMasksThePassword) {
    QtUiServices real;
    QLineEdit::EchoMode seen = QLineEdit::Normal;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        if (auto* edit = dialog->findChild<QLineEdit*>()) seen = edit->echoMode();
        dialog->reject();
    });
    EXPECT_FALSE(real.PasswordBox(QStringLiteral("caption"), QStringLiteral("Enter the Password:"),
                                  QString(), QString()));
    EXPECT_EQ(seen, QLineEdit::Password);
}

TEST(WindowPlacement, AStoredPlaceIsMovedUntilTheWholeWindowIsOnAScreen) {
    const QVector<QRect> screens{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const QSize window(914, 606);
    const struct {
        QPoint wanted;
        QPoint placed;
    } cases[] = {
        {{205, 149}, {205, 149}},       // in view: kept
        {{1006, 474}, {1006, 474}},     // touching the right and bottom edges: kept
        {{1007, 475}, {1006, 474}},     // one pixel over each
        {{2286, 418}, {2286, 418}},     // the second screen's corner: kept
        {{2500, 300}, {2286, 300}},     // off the second screen's right edge
        {{1800, 100}, {1920, 100}},     // mostly on the second screen: moved onto it
        {{-600, 100}, {0, 100}},        // partly off the left edge
        {{INT_MAX, 149}, {1006, 149}},  // on no screen: onto the first
        {{205, INT_MAX}, {205, 474}},  {{INT_MIN, INT_MIN}, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceInView(c.wanted, window, screens), c.placed)
            << c.wanted.x() << "," << c.wanted.y();
    EXPECT_EQ(PlaceInView({5000, 5000}, window, {}), QPoint(5000, 5000));
    // Larger than the screen: its top left corner, where the title bar can be grabbed.
    EXPECT_EQ(PlaceInView({205, 149}, window, {{10, 20, 640, 400}}), QPoint(10, 20));
}

}  // namespace
}  // namespace kiv
