#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "runtime/DdeConnection.h"
#include "runtime/DdeListener.h"
#include "runtime/DdeServiceFixture.h"
#include "support/Process.h"
#include "support/UnixSocket.h"

namespace kiv {
namespace {

using DdeLimitsTest = DdeServiceFixture;

// A blocking client socket connected to path; -1 when the connection failed.
int ConnectTo(const QString& path) {
    return testing::ConnectTo(QFile::encodeName(path).toStdString());
}

// One answer line from fd, waiting at most ten seconds; "<closed>" or "<none>" without one.
std::string AnswerFrom(int fd) {
    std::string line;
    char c = 0;
    while (line.size() < 200) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 10000) != 1) return "<none>";
        if (::read(fd, &c, 1) != 1) return "<closed>";
        if (c == '\n') return line;
        line += c;
    }
    return line;
}

std::string Ask(int fd, const std::string& request) {
    // A client the service has no room for is refused as soon as it is accepted, and may find
    // the connection closed before its request goes out: what the service said is still there.
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(request.size()) &&
        errno != EPIPE && errno != ECONNRESET)
        return "<unsent>";
    return AnswerFrom(fd);
}

TEST_F(DdeLimitsTest, RunningOutOfDescriptorsRefusesClientsAndServesAgainOnceTheyAreFree) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers probe memory through a pipe of their own: without a free descriptor they
    // take every object for a bad one and stop the service.
    GTEST_SKIP() << "the sanitizers need free descriptors of their own";
#endif
    // The service runs in a child whose limit leaves it a few dozen descriptors for clients.
    // However the test ends, the child goes with the object.
    testing::Process service({KIV_DDE_CHILD_PATH, "40"});
    ASSERT_TRUE(service.ErrorToTestLog().Start());
    EXPECT_TRUE(service.AwaitOutput("ready\n"));

    std::vector<int> clients;
    int served = 0, refused = 0;
    for (int i = 0; i < 120; ++i) {
        const int fd = ConnectTo(SocketPath());
        ASSERT_GE(fd, 0) << "client " << i;
        clients.push_back(fd);
        const std::string answer = Ask(fd, "CONNECT kiv DdeServerConv1\n");
        if (answer == "OK") {
            ++served;
        } else {
            EXPECT_EQ(answer, DdeListener::kNoResources) << "client " << i;
            EXPECT_EQ(AnswerFrom(fd), "<closed>");
            ++refused;
        }
    }
    EXPECT_GT(served, 10);
    EXPECT_GT(refused, 50);
    for (const int fd : clients)
        ::close(fd);

    // The socket is still there and, with the descriptors back, a client is served in full.
    EXPECT_TRUE(QFileInfo::exists(SocketPath()));
    std::string answer;
    for (int attempt = 0; attempt < 100 && answer != "OK"; ++attempt) {
        const int fd = ConnectTo(SocketPath());
        ASSERT_GE(fd, 0);
        answer = Ask(fd, "CONNECT kiv DdeServerConv1\n");
        if (answer == "OK") {
            EXPECT_EQ(Ask(fd, "EXECUTE 3\nabc"), "FACK");
        }
        ::close(fd);
        if (answer != "OK") ::usleep(50000);
    }
    EXPECT_EQ(answer, "OK");
}

TEST_F(DdeLimitsTest, ConnectionsAndPendingPayloadsAreBoundedAndWhatIsPastTheBoundIsAnswered) {
    StartService();
    std::vector<std::unique_ptr<DdeTestClient>> clients;
    // Macros announced in full and only begun fill the room for payloads.
    const std::uint64_t filling = TDdeMgr::kMaxPendingPayloads / DdeConnection::kMaxPayload;
    for (std::uint64_t i = 0; i < filling; ++i) {
        clients.push_back(Client("DdeServerConv1"));
        clients.back()->Send("EXECUTE " + QByteArray::number(DdeConnection::kMaxPayload) + "\nab");
    }
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return manager->PendingPayloads() == TDdeMgr::kMaxPendingPayloads; },
                        DdeTestClient::kWaitLimit));
    const auto late = Client("DdeServerConv1");
    EXPECT_EQ(late->Execute("abc"), TDdeMgr::kTooMuchPending);
    // The refused macro was read past: the conversation goes on, and room that comes free is
    // used again.
    EXPECT_EQ(late->Ask("REQUEST x\n"), "NODATA");
    clients.front()->Send(QByteArray(DdeConnection::kMaxPayload - 2, 'x'));
    EXPECT_EQ(clients.front()->ReadLine(), "FACK");
    EXPECT_EQ(late->Execute("abc"), "FACK");
    EXPECT_EQ(macros->count(), 2);

    while (clients.size() + 1 < TDdeMgr::kMaxConnections)
        clients.push_back(Client());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return manager->ConnectionCount() == TDdeMgr::kMaxConnections; },
                        DdeTestClient::kWaitLimit));
    DdeTestClient over(SocketPath());
    EXPECT_EQ(over.ReadLine(), TDdeMgr::kTooManyConnections);
    clients.clear();
    EXPECT_TRUE(QTest::qWaitFor([&] { return manager->PendingPayloads() == 0; },
                                DdeTestClient::kWaitLimit));
}

}  // namespace
}  // namespace kiv
