#include "app/core/ProgramOptions.h"

namespace kiv {

ProgramOptions ProgramOptions::Read(const QStringList& arguments) {
    ProgramOptions options;
    options.windowArguments = arguments;
    if (arguments == QStringList{QStringLiteral("--version")})
        options.request = Request::PrintVersion;
    else if (arguments == QStringList{QStringLiteral("--help")})
        options.request = Request::PrintHelp;
    else if (!arguments.isEmpty() && arguments.front() == QLatin1String("--"))
        options.windowArguments.removeFirst();
    return options;
}

QString ProgramOptions::VersionText() {
    return QStringLiteral("kiv " KIV_VERSION "\n");
}

QString ProgramOptions::HelpText() {
    return QStringLiteral(
        "Usage: kiv [--] [FILE]\n"
        "Protects texts, clipboard text and files with a password (Pulm Vostra).\n"
        "With FILE, asks for the password at once; \"Decrypt  File data\" then restores FILE.\n"
        "  --         ends the options: the next argument is a file, whatever its name\n"
        "  --help     shows this text\n"
        "  --version  shows the version\n"
        "kiv needs a display; kiv-cli does the same work without one.\n");
}

}  // namespace kiv
