#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <iterator>
#include <string_view>

#include "app/window/Form1Layout.h"
#include "app/window/WindowFixture.h"

namespace kiv {
namespace {

using WindowLayout = WindowFixture;

const QStringList kAllEighteen = {
    "Button1",   "Button2",  "Button3", "Button4",      "Button5",      "Button6",
    "CheckBox1", "Edit1",    "Edit2",   "Label1",       "Label2",       "Label3",
    "Label4",    "ListBox1", "Memo1",   "RadioButton1", "RadioButton2", "RadioButton3"};

// Where the window's definition puts each control (left, top, width, height), written out here
// rather than read from Form1Layout, so that a wrong number there fails the test. A label
// without a size sizes itself to its text.
const struct {
    const char* name;
    QRect geometry;
} kDesignPlaces[] = {
    {"Label3", {8, 8, 0, 0}},
    {"Label4", {104, 8, 0, 0}},
    {"CheckBox1", {160, 0, 121, 17}},
    {"RadioButton3", {160, 24, 105, 17}},
    {"RadioButton2", {160, 48, 105, 17}},
    {"RadioButton1", {160, 72, 105, 17}},
    {"Button5", {8, 24, 145, 17}},
    {"Button6", {272, 24, 145, 17}},
    {"Button4", {8, 48, 145, 17}},
    {"Button3", {272, 48, 145, 17}},
    {"Button2", {8, 72, 145, 17}},
    {"Button1", {272, 72, 145, 17}},
    {"Edit1", {8, 96, 145, 21}},
    {"Label1", {160, 96, 0, 0}},
    {"Edit2", {272, 96, 145, 21}},
    {"Label2", {160, 120, 718, 23}},
    {"ListBox1", {432, 8, 441, 105}},
    {"Memo1", {8, 152, 873, 361}},
    {"ProgressBar1", {0, 520, 873, 17}},
    {"ProgressBar2", {0, 544, 873, 17}},
    {"Button7", {8, 568, 145, 17}},
};

QRect DesignPlace(const char* name) {
    for (const auto& place : kDesignPlaces)
        if (std::string_view(place.name) == name) return place.geometry;
    ADD_FAILURE() << name << " has no design place";
    return {};
}

TEST_F(WindowLayout, ControlsSitWhereTheLayoutPutsThem) {
    auto window = Open();
    EXPECT_EQ(window->size(), QSize(914, 606));
    // The program's own icon, not Qt's, for task bars and window switchers.
    EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(256, 256)));
    for (const auto& place : kDesignPlaces) {
        SCOPED_TRACE(place.name);
        const QWidget* control = window->findChild<QWidget*>(QLatin1String(place.name));
        ASSERT_NE(control, nullptr);
        if (place.geometry.width() > 0)
            EXPECT_EQ(control->geometry(), place.geometry);
        else
            EXPECT_EQ(control->pos(), place.geometry.topLeft());
    }
    // The window's own table places no control this test does not know.
    EXPECT_EQ(Form1Layout::Places().size(), std::size(kDesignPlaces));
    for (const Form1Layout::Place& place : Form1Layout::Places())
        EXPECT_EQ(Form1Layout::Of(place.name), DesignPlace(place.name)) << place.name;
    const struct {
        const char* name;
        const char* caption;
    } captions[] = {
        {"CheckBox1", "Remember me"},
        {"RadioButton3", "Use Text"},
        {"RadioButton2", "Use Copy"},
        {"RadioButton1", "Use File"},
        {"Button5", "Encrypt  Text editor"},
        {"Button6", "Decrypt  Text editor"},
        {"Button4", "Encrypt  Copy  Paste"},
        {"Button3", "Decrypt  Copy Paste"},
        {"Button2", "Encrypt  File data"},
        {"Button1", "Decrypt  File data"},
        {"Label2", "Quantum computers can not access encrypted and treated with even more."},
    };
    for (const auto& row : captions)
        EXPECT_EQ(window->findChild<QWidget*>(QLatin1String(row.name))->property("text").toString(),
                  row.caption)
            << row.name;
    EXPECT_EQ(window->Label1()->text(), "Password");
    EXPECT_EQ(window->ListBox1()->count(), 1);
    EXPECT_EQ(window->ListBox1()->item(0)->text(),
              "View  Encrypt File the Report  or Decrypt  File the Report");
    const QStringList menu = {window->Usememeo1()->text(), window->Save1()->text(),
                              window->Saveas1()->text()};
    EXPECT_EQ(menu, (QStringList{"New", "Open", "Save as"}));
    // The document menu opens from "Use Text" and the editor buttons, not from the editor.
    for (const QWidget* owner :
         {static_cast<QWidget*>(window->RadioButton3()), static_cast<QWidget*>(window->Button5()),
          static_cast<QWidget*>(window->Button6())})
        EXPECT_EQ(owner->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_EQ(window->Memo1()->contextMenuPolicy(), Qt::DefaultContextMenu);
}

TEST_F(WindowLayout, TheEditorScrollsBothWaysAndReadsRightToLeft) {
    auto window = Open();
    EXPECT_EQ(window->Memo1()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(window->Memo1()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window->Memo1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    const QTextOption option = window->Memo1()->document()->defaultTextOption();
    EXPECT_EQ(option.textDirection(), Qt::RightToLeft);
    EXPECT_EQ(option.alignment(), Qt::AlignLeft | Qt::AlignAbsolute);
    EXPECT_EQ(window->Memo1()->layoutDirection(), Qt::LeftToRight);
}

TEST_F(WindowLayout, EachModeShowsItsOwnButtons) {
    auto window = Open();
    window->RadioButton1()->setChecked(true);
    EXPECT_EQ(ShownControls(*window), Names({"Button1", "Button2", "CheckBox1", "Edit1", "Edit2",
                                             "Label1", "Label2", "Label3", "Label4", "ListBox1",
                                             "RadioButton1", "RadioButton2", "RadioButton3"}));
    window->RadioButton2()->setChecked(true);
    EXPECT_EQ(ShownControls(*window),
              Names({"Button3", "Button4", "CheckBox1", "Edit1", "Edit2", "Label1", "Label2",
                     "Label3", "Label4", "RadioButton1", "RadioButton2", "RadioButton3"}));
    window->RadioButton3()->setChecked(true);
    EXPECT_EQ(ShownControls(*window),
              Names({"Button5", "Button6", "CheckBox1", "Edit1", "Edit2", "Label1", "Label2",
                     "Label3", "Label4", "Memo1", "RadioButton1", "RadioButton2", "RadioButton3"}));
}

TEST_F(WindowLayout, UseFileShowsHiddenPasswordBoxesAgain) {
    auto window = Open();
    window->FormDblClick();
    window->RadioButton1()->setChecked(true);
    EXPECT_EQ(ShownControls(*window), Names({"Button1", "Button2", "Edit1", "Edit2", "ListBox1"}));
}

TEST_F(WindowLayout, HidingTheEditorKeepsItsLines) {
    auto window = Open();
    window->Memo1()->setPlainText("kept line");
    window->RadioButton2()->setChecked(true);
    EXPECT_TRUE(window->Memo1()->isHidden());
    window->RadioButton3()->setChecked(true);
    EXPECT_FALSE(window->Memo1()->isHidden());
    EXPECT_EQ(window->Memo1()->toPlainText(), "kept line");
}

TEST_F(WindowLayout, HideAllEmptiesEditorAndListAndShowAllBringsEveryButtonBack) {
    auto window = Open();
    window->ListBox1()->addItem("report");
    window->FormDblClick();
    EXPECT_TRUE(ShownControls(*window).isEmpty());
    EXPECT_TRUE(window->Memo1()->toPlainText().isEmpty());
    EXPECT_EQ(window->ListBox1()->count(), 0);
    window->FormClick();
    EXPECT_EQ(ShownControls(*window), kAllEighteen);
    // Selecting the checked mode again changes nothing; another one applies its set.
    window->RadioButton3()->click();
    EXPECT_EQ(ShownControls(*window), kAllEighteen);
    window->RadioButton2()->click();
    EXPECT_TRUE(window->Button5()->isHidden());
    EXPECT_FALSE(window->Button3()->isHidden());
}

TEST_F(WindowLayout, MouseOnTheFreeAreaHidesOnDoubleClickAndShowsOnClick) {
    auto window = Open();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const QPoint freeArea(600, 590);
    QTest::mouseDClick(window.get(), Qt::LeftButton, {}, freeArea);
    EXPECT_TRUE(ShownControls(*window).isEmpty());
    EXPECT_TRUE(window->Memo1()->toPlainText().isEmpty());
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, freeArea);
    EXPECT_EQ(ShownControls(*window), kAllEighteen);
    // Escape does what the click does, once: with nothing hidden it changes nothing.
    QTest::mouseDClick(window.get(), Qt::LeftButton, {}, freeArea);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(ShownControls(*window), kAllEighteen);
    window->RadioButton2()->click();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(window->Button5()->isHidden());
    // A click on a control is the control's own, not the window's.
    window->FormDblClick();
    window->Label1()->show();
    QTest::mouseClick(window->Label1(), Qt::LeftButton);
    EXPECT_EQ(ShownControls(*window), QStringList{"Label1"});
}

// 1280x800 at scale 2 is a screen of 640x400 as the window sees it; the design needs 914x606.
TEST_F(WindowLayout, OnAScreenSmallerThanTheDesignEveryControlCanBeScrolledTo) {
    // A place stored at scale 1 (30, 40) would put part of the window off the screen.
    StoreKey(QStringLiteral("1"), QStringLiteral("its rain"), QStringLiteral("-1"));
    StartupContext context{SettingsFile(), MachineFile(), ProgramFolder(), {}};
    context.screenAreas = {QRect(0, 0, 640, 400)};
    TForm1 window(ui, clock, context);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.pos(), QPoint(0, 0));
    EXPECT_LE(window.frameGeometry().width(), 640);
    EXPECT_LE(window.frameGeometry().height(), 400);
    auto* scroll = window.findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(window.Memo1()->geometry(), DesignPlace("Memo1"));  // on the design area
    window.RadioButton1()->setChecked(true);
    for (QWidget* control : std::initializer_list<QWidget*>{
             window.Edit1(), window.ListBox1(), window.Label2(), window.Memo1(),
             window.ProgressBar1(), window.ProgressBar2(), window.Button7()}) {
        control->show();
        // Scrolled as far as it goes towards the control's top left corner.
        scroll->horizontalScrollBar()->setValue(control->x());
        scroll->verticalScrollBar()->setValue(control->y());
        const QWidget* view = scroll->viewport();
        const QRect shown = QRect(view->mapTo(&window, QPoint(0, 0)), view->size()) &
                            QRect(control->mapTo(&window, QPoint(0, 0)), control->size());
        EXPECT_EQ(shown.size(), control->size().boundedTo(scroll->viewport()->size()))
            << control->objectName().toStdString();
    }
    // The free area is still the window's.
    scroll->ensureVisible(600, 590, 0, 0);
    QTest::mouseDClick(scroll->widget(), Qt::LeftButton, {}, QPoint(600, 590));
    EXPECT_TRUE(window.Memo1()->isHidden());

    // Where the design fits, nothing changes.
    context.screenAreas = {QRect(0, 0, 1920, 1080)};
    TForm1 large(ui, clock, context);
    EXPECT_EQ(large.size(), QSize(914, 606));
    EXPECT_EQ(large.findChild<QScrollArea*>(), nullptr);
    EXPECT_EQ(large.Memo1()->parentWidget(), &large);
}

TEST_F(WindowLayout, DoubleClickInsideTheEditorEmptiesIt) {
    auto window = Open();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::mouseDClick(window->Memo1()->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(window->Memo1()->toPlainText().isEmpty());
}

TEST_F(WindowLayout, DoubleClickOnTheListEmptiesIt) {
    auto window = Open();
    window->RadioButton1()->setChecked(true);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::mouseDClick(window->ListBox1()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_EQ(window->ListBox1()->count(), 0);
}

}  // namespace
}  // namespace kiv
