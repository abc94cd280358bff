#include <QTextStream>
#include <memory>

#include "app/core/ProgramOptions.h"
#include "app/window/DisplayCheck.h"
#include "app/window/QtUiServices.h"
#include "app/window/TForm1.h"
#include "filecrypt/TemporaryFileRegistry.h"
#include "numeric/SystemClock.h"
#include "runtime/ApplicationStartup.h"
#include "runtime/ProcessProtection.h"

int main(int argc, char** argv) {
    kiv::ProtectProcessMemory();
    // A signal that ends the program during a file run must not leave decrypted data behind.
    // SIGTERM, SIGINT and SIGHUP close the window the ordinary way instead, which cancels the
    // run: their handlers come later and take the place of these.
    kiv::TemporaryFileRegistry::RemoveOnTermination();
    const kiv::ProgramOptions options =
        kiv::ProgramOptions::Read(kiv::ProgramArguments(argc, argv));
    if (options.request != kiv::ProgramOptions::Request::OpenWindow) {
        QTextStream(stdout) << (options.request == kiv::ProgramOptions::Request::PrintVersion
                                    ? kiv::ProgramOptions::VersionText()
                                    : kiv::ProgramOptions::HelpText());
        return 0;
    }
    kiv::DisplayCheck display;
    kiv::QtUiServices ui;
    return kiv::RunApplication(
        argc, argv, ui,
        [&ui, &options, &display](const QStringList&, kiv::TDdeMgr& commandService) {
            display.Passed();
            kiv::StartupContext context = kiv::StartupContext::ForProcess(options.windowArguments);
            context.commandService = &commandService;
            return std::make_unique<kiv::TForm1>(ui, kiv::SystemClock::Instance(),
                                                 std::move(context));
        });
}
