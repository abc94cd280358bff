#include <memory>

#include "app/QtUiServices.h"
#include "app/TForm1.h"
#include "filecrypt/TemporaryFileRegistry.h"
#include "numeric/SystemClock.h"
#include "runtime/ApplicationStartup.h"

int main(int argc, char** argv) {
    // A signal that ends the program during a file run must not leave decrypted data behind.
    // SIGTERM, SIGINT and SIGHUP close the window the ordinary way instead, which cancels the
    // run: their handlers come later and take the place of these.
    kiv::TemporaryFileRegistry::RemoveOnTermination();
    kiv::QtUiServices ui;
    return kiv::RunApplication(
        argc, argv, ui, [&ui](const QStringList& arguments, kiv::TDdeMgr& commandService) {
            kiv::StartupContext context = kiv::StartupContext::ForProcess(arguments);
            context.commandService = &commandService;
            return std::make_unique<kiv::TForm1>(ui, kiv::SystemClock::Instance(),
                                                 std::move(context));
        });
}
