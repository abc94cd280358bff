#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <cstring>
#include <stdexcept>

#include "runtime/ApplicationStartup.h"
#include "runtime/TDdeMgr.h"
#include "support/EnvironmentVariable.h"

namespace kiv {
namespace {

struct RecordingDisplay final : ExceptionDisplay {
    void ShowError(const QString& text) override { shown << text; }
    void StopInteracting() override { interacting = false; }
    QStringList shown;
    bool interacting = true;
};

// A main window that counts how often it was closed and whether anyone was still there to
// answer a box at that moment.
struct ClosingWindow final : QWidget {
    explicit ClosingWindow(int& closes, const RecordingDisplay* display = nullptr,
                           bool* interactingAtClose = nullptr)
        : closes(closes), display(display), interactingAtClose(interactingAtClose) {}
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        if (interactingAtClose) *interactingAtClose = display->interacting;
        event->accept();
    }
    int& closes;
    const RecordingDisplay* display;
    bool* interactingAtClose;
};

class ApplicationStartup : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // The command service's socket goes to a private runtime folder.
        runtimeVariable.Set(runtime.path().toStdString());
        chmod(runtime.path().toLocal8Bit().constData(), 0700);
    }
    QTemporaryDir runtime;
    const testing::EnvironmentVariable runtimeVariable{"XDG_RUNTIME_DIR"};
    int Run(std::vector<const char*> words, const MainWindowFactory& factory) {
        std::vector<char*> argv;
        for (const char* word : words)
            argv.push_back(const_cast<char*>(word));
        argv.push_back(nullptr);
        return RunApplication(static_cast<int>(words.size()), argv.data(), display, factory);
    }
    RecordingDisplay display;
};

TEST_F(ApplicationStartup, QtOptionsReachTheWindowAsFileArgumentsAndTheLoopSurvivesErrors) {
    QStringList received;
    QString title;
    QString desktopName;
    const int status =
        Run({"kiv", "-style", "my file.vrq"}, [&](const QStringList& arguments, TDdeMgr&) {
            received = arguments;
            title = QApplication::applicationName();
            desktopName = QGuiApplication::desktopFileName();
            auto window = std::make_unique<QWidget>();
            // A handler that fails, then the user closing the window.
            QTimer::singleShot(0, window.get(),
                               [] { throw std::runtime_error("Floating point overflow"); });
            QTimer::singleShot(0, window.get(), &QWidget::close);
            return window;
        });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(received, (QStringList{"-style", "my file.vrq"}));
    EXPECT_EQ(title, "Pulm Vostra");
    // The installed menu entry's name: users' file associations refer to it, so it never changes.
    EXPECT_EQ(desktopName, "org.pulmvostra.Kiv");
    EXPECT_EQ(display.shown, QStringList{"Floating point overflow."});
    EXPECT_TRUE(display.interacting);
}

TEST_F(ApplicationStartup, TheCommandServiceIsThereBeforeTheWindowAndGoneAfterIt) {
    QString socket;
    bool servingAtCreation = false;
    const int status = Run({"/opt/kiv/bin/kiv.x"}, [&](const QStringList&, TDdeMgr& service) {
        socket = service.SocketPath();
        servingAtCreation = service.IsServing() && QFile::exists(socket);
        auto window = std::make_unique<QWidget>();
        QTimer::singleShot(0, window.get(), &QWidget::close);
        return window;
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(servingAtCreation);
    EXPECT_TRUE(socket.endsWith("/runtime_qt_tests")) << socket.toStdString();
    EXPECT_FALSE(QFile::exists(socket));
}

TEST_F(ApplicationStartup, AServiceThatCannotStartStopsTheProgramBeforeItsWindow) {
    // A folder where the socket would go can be neither used nor taken over.
    QDir(runtime.path()).mkpath(QStringLiteral("runtime_qt_tests/occupied"));
    bool created = false;
    const int status = Run({"kiv"}, [&](const QStringList&, TDdeMgr&) {
        created = true;
        return std::make_unique<QWidget>();
    });
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(created);
    ASSERT_EQ(display.shown.size(), 1);
    EXPECT_TRUE(display.shown.front().startsWith("DDE Error - conversation not established ($0"))
        << display.shown.front().toStdString();
}

TEST_F(ApplicationStartup, ARuntimeFolderOthersMayEnterLeavesTheWindowWithoutTheService) {
    chmod(runtime.path().toLocal8Bit().constData(), 0777);
    bool created = false, serving = true;
    ::testing::internal::CaptureStderr();
    const int status = Run({"kiv"}, [&](const QStringList&, TDdeMgr& service) {
        created = true;
        serving = service.IsServing();
        auto window = std::make_unique<QWidget>();
        QTimer::singleShot(0, window.get(), &QWidget::close);
        return window;
    });
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(created);
    EXPECT_FALSE(serving);
    EXPECT_TRUE(display.shown.isEmpty());
    const std::string line =
        "The command service \"runtime_qt_tests\" is not offered: An error "
        "returned from DDE  ($0400F): the runtime folder ";
    // Said once (Qt may add a warning of its own about the folder).
    const std::size_t at = said.find(line);
    EXPECT_NE(at, std::string::npos) << said;
    EXPECT_EQ(said.find(line, at + 1), std::string::npos) << said;
}

TEST_F(ApplicationStartup, AWindowThatCannotBeCreatedIsShownAndTheProgramStillEndsWithZero) {
    const int status = Run({"kiv"}, [](const QStringList&, TDdeMgr&) -> std::unique_ptr<QWidget> {
        throw std::runtime_error("Layout damaged");
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(display.shown, QStringList{"Layout damaged."});
}

// SIGTERM, SIGINT and SIGHUP close the window the ordinary way, each on its own, with nobody left
// to answer a box; any other signal keeps the handler it had (here one that counts), and the
// window stays until its user closes it.
TEST_F(ApplicationStartup, TheTerminationSignalsAndNoOthersCloseTheWindowWithoutBoxes) {
    static volatile std::sig_atomic_t counted = 0;
    const struct {
        int number;
        bool terminates;
    } cases[] = {{SIGTERM, true},  {SIGINT, true},   {SIGHUP, true},
                 {SIGQUIT, false}, {SIGUSR1, false}, {SIGALRM, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(strsignal(c.number));
        struct sigaction counting = {}, previous = {};
        counting.sa_handler = [](int) { counted = counted + 1; };
        ASSERT_EQ(sigaction(c.number, &counting, &previous), 0);
        counted = 0;
        display.interacting = true;
        int closes = 0;
        bool interactingAtClose = true;
        const int status = Run({"kiv"}, [&](const QStringList&, TDdeMgr&) {
            auto window = std::make_unique<ClosingWindow>(closes, &display, &interactingAtClose);
            QTimer::singleShot(0, window.get(), [number = c.number] { std::raise(number); });
            QTimer::singleShot(300, window.get(), &QWidget::close);
            return window;
        });
        sigaction(c.number, &previous, nullptr);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(closes, 1);
        EXPECT_EQ(counted, c.terminates ? 0 : 1);
        // What the closing window says goes where no box can keep the program alive.
        EXPECT_EQ(interactingAtClose, !c.terminates);
        EXPECT_TRUE(display.shown.isEmpty());
    }
}

TEST_F(ApplicationStartup, ATerminationSignalDuringAPromptCancelsItAndEndsTheProgram) {
    int closes = 0;
    int answer = -1;
    const int status = Run({"kiv"}, [&](const QStringList&, TDdeMgr&) {
        // The window's start-up asks a question before the window exists.
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        QMessageBox prompt(QMessageBox::Question, "Caption", "Password?",
                           QMessageBox::Ok | QMessageBox::Cancel);
        answer = prompt.exec();
        return std::make_unique<ClosingWindow>(closes);
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(answer, QMessageBox::Cancel);
    EXPECT_EQ(closes, 1);
}

TEST_F(ApplicationStartup, ATerminationSignalCancelsABoxAHandlerShows) {
    int closes = 0;
    int answer = -1;
    const int status = Run({"kiv"}, [&](const QStringList&, TDdeMgr&) {
        auto window = std::make_unique<ClosingWindow>(closes);
        QTimer::singleShot(0, window.get(), [&answer, parent = window.get()] {
            QTimer::singleShot(0, [] { std::raise(SIGTERM); });
            QMessageBox box(QMessageBox::NoIcon, "Pulm Vostra", "Message", QMessageBox::Ok, parent);
            answer = box.exec();
        });
        return window;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(answer, QMessageBox::Ok);
    EXPECT_EQ(closes, 1);
}

}  // namespace
}  // namespace kiv
