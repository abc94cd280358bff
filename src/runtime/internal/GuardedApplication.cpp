#include "runtime/internal/GuardedApplication.h"

namespace kiv {

GuardedApplication::GuardedApplication(int& argc, char** argv, ExceptionDisplay& display)
    : QApplication(argc, argv), display_(display) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        display_.ShowCurrentException();
        return false;
    }
}

}  // namespace kiv
