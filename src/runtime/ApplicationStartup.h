#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

#include "ExceptionDisplay.h"

namespace kiv {

// Creates the main window from the program's own arguments (the program path not counted).
using MainWindowFactory = std::function<std::unique_ptr<QWidget>(const QStringList& arguments)>;

// The program's arguments after its path, as the shell split them.
QStringList ProgramArguments(int argc, char** argv);

// Runs the desktop program: sets the floating-point environment, registers the command
// service, creates the application titled "Pulm Vostra" and the main window, and runs the event
// loop until the window closes (a termination signal closes it too). Errors that escape are
// shown by display. Always returns 0.
int RunApplication(int argc, char** argv, ExceptionDisplay& display,
                   const MainWindowFactory& createWindow);

}  // namespace kiv
