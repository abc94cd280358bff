#include "runtime/ExceptionDisplay.h"

#include <exception>
#include <new>

#include "runtime/internal/SilentAbort.h"

namespace kiv {

QString ExceptionDisplay::DisplayText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar(u'.')) return message + u'.';
    return message;
}

void ExceptionDisplay::ShowCurrentException() noexcept {
    QString message;
    try {
        throw;
    } catch (const SilentAbort&) {
        return;
    } catch (const std::bad_alloc&) {
        // The standard text of bad_alloc names a type, not a problem a user could act on.
        message = QStringLiteral("Out of memory");
    } catch (const std::exception& error) {
        message = QString::fromLocal8Bit(error.what());
    } catch (...) {
        message = QStringLiteral("An unexpected error has stopped this operation");
    }
    try {
        ShowError(DisplayText(message));
    } catch (...) {
        // A display that fails itself has nobody left to report to; the loop must go on.
    }
}

}  // namespace kiv
