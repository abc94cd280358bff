#pragma once

#include <QLocalServer>
#include <functional>
#include <utility>

namespace kiv {

// The command service's listening socket. Each accepted client is handed over
// as a bare descriptor: the service reads and writes it itself, because
// QLocalSocket takes the end of a client's input for the end of the whole
// connection and would drop the answers still due.
class DdeListener : public QLocalServer {
  public:
    using Accept = std::function<void(int descriptor)>;

    explicit DdeListener(Accept accept) : accept_(std::move(accept)) {}

  protected:
    void incomingConnection(quintptr socketDescriptor) override;

  private:
    Accept accept_;
};

}  // namespace kiv
