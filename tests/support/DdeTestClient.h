#pragma once

#include <QLocalSocket>
#include <QTest>

namespace kiv {

// A client of the command service in the same thread as the server: every wait runs the event
// loop, so the server goes on answering while the test waits. The limit only keeps a broken
// server from hanging the test run.
class DdeTestClient {
  public:
    static constexpr int kWaitLimit = 60000;

    explicit DdeTestClient(const QString& path) { socket.connectToServer(path); }

    bool WaitConnected() {
        return QTest::qWaitFor([&] { return socket.state() == QLocalSocket::ConnectedState; },
                               kWaitLimit);
    }
    void Send(const QByteArray& bytes) { socket.write(bytes); }
    QByteArray ReadLine() {
        if (!QTest::qWaitFor([&] { return socket.canReadLine(); }, kWaitLimit))
            return "<no answer>";
        return socket.readLine().chopped(1);
    }
    QByteArray Ask(const QByteArray& request) {
        Send(request);
        return ReadLine();
    }
    QByteArray Execute(const QByteArray& macro) {
        return Ask("EXECUTE " + QByteArray::number(macro.size()) + '\n' + macro);
    }

    QLocalSocket socket;
};

}  // namespace kiv
