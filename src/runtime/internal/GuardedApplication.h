#pragma once

#include <QApplication>

#include "runtime/ExceptionDisplay.h"

namespace kiv {

// The application object whose event delivery shows any exception that slipped past a
// handler's own guard, so the event loop always goes on with the next event.
class GuardedApplication final : public QApplication {
    Q_OBJECT

  public:
    GuardedApplication(int& argc, char** argv, ExceptionDisplay& display);

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    ExceptionDisplay& display_;
};

}  // namespace kiv
