#include <memory>

#include "app/QtUiServices.h"
#include "app/TForm1.h"
#include "numeric/SystemClock.h"
#include "runtime/ApplicationStartup.h"
#include "runtime/ProcessProtection.h"

int main(int argc, char** argv) {
    kiv::ProtectProcessMemory();
    kiv::QtUiServices ui;
    return kiv::RunApplication(
        argc, argv, ui, [&ui](const QStringList& arguments, kiv::TDdeMgr& commandService) {
            kiv::StartupContext context = kiv::StartupContext::ForProcess(arguments);
            context.commandService = &commandService;
            return std::make_unique<kiv::TForm1>(ui, kiv::SystemClock::Instance(),
                                                 std::move(context));
        });
}
