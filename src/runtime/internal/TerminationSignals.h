#pragma once

#include <QObject>
#include <QSocketNotifier>

namespace kiv {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the event loop, so a program stopped by
// a session end, Ctrl+C or a time limit closes its window the ordinary way (settings saved,
// exit code 0) instead of dying in the middle of an event. One instance at a time.
class TerminationSignals final : public QObject {
    Q_OBJECT

  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

  signals:
    void terminationRequested();

  private:
    static void OnSignal(int number);
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kiv
