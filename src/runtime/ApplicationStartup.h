#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

#include "runtime/ExceptionDisplay.h"

namespace kiv {

class TDdeMgr;

// Creates the main window from the program's own arguments (the program path not counted) and
// the command service, which exists before the window and outlives it.
using MainWindowFactory =
    std::function<std::unique_ptr<QWidget>(const QStringList& arguments, TDdeMgr& commandService)>;

// The program's arguments after its path, as the shell split them.
QStringList ProgramArguments(int argc, char** argv);

// Runs the desktop program: sets the floating-point environment, creates the application titled
// "Pulm Vostra", registers the command service, creates the main window and runs the event loop
// until the window closes (a termination signal closes it too); the service is unregistered
// after the window is destroyed. Errors that escape are shown by display. Returns 0, or 1 when
// the command service cannot be started at all (shown by display; no window is created).
int RunApplication(int argc, char** argv, ExceptionDisplay& display,
                   const MainWindowFactory& createWindow);

}  // namespace kiv
