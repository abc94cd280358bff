#pragma once

#include <QString>
#include <QStringList>

namespace kiv {

// What the program's own arguments ask for, read before Qt starts so that the answer needs no
// display. "--version" or "--help" given alone is answered on standard output; "--" before the
// arguments ends the options, so that a file of any name can be opened; everything else names
// the window's file as it always did.
struct ProgramOptions {
    enum class Request { OpenWindow, PrintVersion, PrintHelp };

    Request request = Request::OpenWindow;
    // The window's arguments: what follows the program path, without a leading "--".
    QStringList windowArguments;

    // arguments: what follows the program path.
    static ProgramOptions Read(const QStringList& arguments);
    // What "--version" and "--help" print, each ending with a line end.
    static QString VersionText();
    static QString HelpText();
};

}  // namespace kiv
