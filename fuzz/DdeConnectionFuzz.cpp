// Fuzz target dde_connection: one client of the command service sends any bytes through a
// socket pair, closes its sending side and reads until the service lets go of the connection.
// Every answer must be a whole line the protocol knows, the connection must end, and every
// conversation the client opened must be closed with it.
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <set>
#include <sstream>

#include "fuzz/FuzzCheck.h"
#include "fuzz/ScratchFolder.h"
#include "runtime/DdeConnection.h"
#include "runtime/TDdeMgr.h"
#include "runtime/TDdeServerConv.h"

namespace {

using namespace kiv;

// Far more than any input needs; only a connection that never ends reaches it.
constexpr int kConnectionLimitMs = 10000;

// The process's command service as the window offers it: the component's topic, a window
// caption, a runtime folder of its own.
struct Service {
    Service() {
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(fuzz::ScratchFolder::Path()));
        app = std::make_unique<QCoreApplication>(argc, argv);
        manager = std::make_unique<TDdeMgr>(QStringLiteral("kiv"), diagnostics);
        manager->SetCaptionProvider([] { return QStringList{QStringLiteral("Pulm Vostra")}; });
        component = std::make_unique<TDdeServerConv>(*manager, nullptr);
        QObject::connect(component.get(), &TDdeServerConv::OnOpen, [this] { ++opened; });
        QObject::connect(component.get(), &TDdeServerConv::OnClose, [this] { ++closed; });
    }
    ~Service() {
        component.reset();
        manager.reset();
    }

    int argc = 1;
    char name[16] = "kiv-fuzz";
    char* argv[2] = {name, nullptr};
    std::ostringstream diagnostics;
    std::unique_ptr<QCoreApplication> app;
    std::unique_ptr<TDdeMgr> manager;
    std::unique_ptr<TDdeServerConv> component;
    long opened = 0;
    long closed = 0;
};

bool KnownAnswer(const QByteArray& line) {
    static const std::set<QByteArray> fixed = {
        "OK",
        "REFUSED",
        "END",
        "FACK",
        "0",
        "NODATA",
        "FALSE",
        "ERROR line too long",
        "ERROR payload too large",
        "ERROR unknown command",
        "ERROR malformed request",
        "ERROR no conversation",
        "ERROR conversation already open",
    };
    return fixed.count(line) > 0 || line.startsWith("PAIR kiv ");
}

void ReadAvailable(int fd, QByteArray& into) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got <= 0) return;
        into.append(buffer, got);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Service service;
    int fds[2];
    fuzz::Check(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) == 0, "a socket pair");
    const QPointer<DdeConnection> connection = new DdeConnection(*service.manager, fds[0], nullptr);
    const long openedBefore = service.opened;
    const long closedBefore = service.closed;

    // Both ends live on this thread, so nothing ever needs to wait: each turn sends what the
    // socket takes, lets the service work and collects its answers.
    QByteArray answers;
    std::size_t sent = 0;
    bool sending = true;
    const QDeadlineTimer deadline(kConnectionLimitMs);
    while (connection) {
        if (sending && sent < size) {
            const ssize_t put = send(fds[1], data + sent, size - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
            if (put > 0) sent += static_cast<std::size_t>(put);
            if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) sending = false;
        }
        if (sending && sent == size) {
            shutdown(fds[1], SHUT_WR);
            sending = false;
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ReadAvailable(fds[1], answers);
        fuzz::Check(!deadline.hasExpired(), "a connection ends once its client stops sending");
    }
    ReadAvailable(fds[1], answers);
    close(fds[1]);

    fuzz::Check(answers.isEmpty() || answers.endsWith('\n'), "answers are whole lines");
    QList<QByteArray> lines = answers.split('\n');
    lines.removeLast();  // after the last line end
    for (const QByteArray& line : lines)
        fuzz::Check(KnownAnswer(line), "a known answer, not \"" + line.toStdString() + "\"");
    fuzz::Check(service.manager->Conversations().empty(),
                "a connection's conversation ends with it");
    fuzz::Check(service.opened - openedBefore == service.closed - closedBefore,
                "every conversation opened on the topic is closed");
    return 0;
}
