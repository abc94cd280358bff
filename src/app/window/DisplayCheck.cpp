#include "app/window/DisplayCheck.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kiv {

namespace {

// Qt's handler takes a plain function: the one it replaced has to be kept where that function
// finds it.
QtMessageHandler replaced = nullptr;
bool checking = false;

void HoldPlatformMessages(QtMsgType type, const QMessageLogContext& context,
                          const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs(DisplayCheck::NoDisplayLine(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    // Why the platform failed comes in warnings before that; the one line above replaces them.
    if (context.category != nullptr && std::strncmp(context.category, "qt.qpa", 6) == 0) return;
    if (replaced != nullptr)
        replaced(type, context, message);
    else
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

DisplayCheck::DisplayCheck() {
    checking = true;
    replaced = qInstallMessageHandler(HoldPlatformMessages);
}

DisplayCheck::~DisplayCheck() {
    Passed();
}

void DisplayCheck::Passed() {
    if (!checking) return;
    checking = false;
    qInstallMessageHandler(replaced);
}

const char* DisplayCheck::NoDisplayLine() {
    return "kiv: no display to show the window on (set DISPLAY or WAYLAND_DISPLAY, or use "
           "kiv-cli)\n";
}

}  // namespace kiv
