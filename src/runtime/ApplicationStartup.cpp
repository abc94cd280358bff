#include "runtime/ApplicationStartup.h"

#include "numeric/FloatingPointEnvironment.h"
#include "runtime/ApplicationTitle.h"
#include "runtime/TDdeMgr.h"
#include "runtime/Translations.h"
#include "runtime/internal/EDdeError.h"
#include "runtime/internal/GuardedApplication.h"
#include "runtime/internal/TerminationSignals.h"

namespace kiv {

namespace {

// The captions of the application's windows: topics a client may name besides the component's.
QStringList WindowCaptions() {
    QStringList captions;
    for (const QWidget* widget : QApplication::topLevelWidgets())
        captions << widget->windowTitle();
    return captions;
}

// A box or dialog open inside a handler runs an event loop of its own; it is cancelled first so
// that the handler can finish before its window closes.
void CloseOpenBoxes(const QWidget* mainWindow) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget != mainWindow && widget->isVisible() && widget->isModal()) widget->close();
}

}  // namespace

QStringList ProgramArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int RunApplication(int argc, char** argv, ExceptionDisplay& display,
                   const MainWindowFactory& createWindow) {
    SetFloatingPointEnvironment();

    // Qt would take options such as "-style" or "-session" out of the command line, and with them
    // a file the user meant to open; the program's own arguments are read first and Qt sees only
    // the program path. Qt's settings still come from its environment variables.
    const QStringList arguments = ProgramArguments(argc, argv);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    {
        GuardedApplication application(qtArgc, qtArgv, display);
        QApplication::setOrganizationName(QStringLiteral("Pulm"));
        QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
        QGuiApplication::setDesktopFileName(QString::fromUtf8(kDesktopFileName));
        // The user's language for what the window shows; settings and files stay as they are.
        const Translations translations{QLocale()};

        // The command service is reachable before the window exists and is gone only after it
        // is destroyed. A service that cannot start at all stops the program before its window.
        std::unique_ptr<TDdeMgr> commandService;
        try {
            commandService = std::make_unique<TDdeMgr>(
                TDdeMgr::ServiceNameFor(QCoreApplication::applicationFilePath()));
        } catch (const EDdeError&) {
            display.ShowCurrentException();
            return 1;
        }
        commandService->SetCaptionProvider(WindowCaptions);

        std::unique_ptr<QWidget> window;
        bool terminated = false;
        TerminationSignals termination;
        QObject::connect(&termination, &TerminationSignals::terminationRequested, [&] {
            terminated = true;
            // What the closing window still has to say (a settings store it cannot write, say)
            // must not open a box that keeps the program alive.
            display.StopInteracting();
            CloseOpenBoxes(window.get());
            if (window) window->close();
        });
        display.Guard([&] {
            window = createWindow(arguments, *commandService);
            // Stopped while the window was still being set up (its password prompt, say): it
            // closes without ever being shown.
            if (terminated) {
                window->close();
                return;
            }
            window->show();
            QApplication::exec();
        });
        window.reset();
        commandService.reset();
    }
    return 0;
}

}  // namespace kiv
