#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include "runtime/DdeServiceFixture.h"
#include "support/UnixSocket.h"

namespace kiv {
namespace {

// A client that writes every request before it reads a single answer, then shuts down its
// sending side and reads until the service closes the connection. It runs on a thread of its
// own with blocking calls, over a plain socket, while this thread serves.
class DdeFloodTest : public DdeServiceFixture {
  protected:
    void SetUp() override {
        DdeServiceFixture::SetUp();
        StartService();
    }

    // A plain socket connected to the service; -1 when that failed.
    int Connect() const {
        const int fd = testing::ConnectTo(QFile::encodeName(SocketPath()).toStdString());
        if (fd < 0) ADD_FAILURE() << "cannot connect: " << std::strerror(errno);
        return fd;
    }

    // Everything the service sent back; "<hung>" when it did not close within the limit.
    QByteArray SendAllThenRead(const QByteArray& requests) {
        const int fd = Connect();
        if (fd < 0) return "<cannot connect>";

        std::atomic<bool> done = false;
        QByteArray received;
        std::thread client([&] {
            for (qsizetype sent = 0; sent < requests.size();) {
                const ssize_t n =
                    ::send(fd, requests.constData() + sent,
                           static_cast<std::size_t>(requests.size() - sent), MSG_NOSIGNAL);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) break;
                sent += n;
            }
            ::shutdown(fd, SHUT_WR);
            char buffer[64 * 1024];
            for (;;) {
                const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) break;
                received.append(buffer, n);
            }
            done = true;
        });
        const bool ended = QTest::qWaitFor([&] { return done.load(); }, DdeTestClient::kWaitLimit);
        if (!ended) ::shutdown(fd, SHUT_RDWR);  // sets the blocked client free
        client.join();
        ::close(fd);
        return ended ? received : QByteArray("<hung>");
    }

    static QByteArray Times(int count, const QByteArray& text) { return text.repeated(count); }
};

TEST_F(DdeFloodTest, EveryRequestSentBeforeReadingIsAnsweredBeforeTheConnectionCloses) {
    constexpr int kMany = 100000;
    const QByteArray connect = "CONNECT kiv DdeServerConv1\n";
    struct Case {
        const char* name;
        QByteArray requests;
        QByteArray answers;
        int macros;
    };
    const Case cases[] = {
        // 2.2 MB of answers to 100 kB of requests: far more than may wait unsent.
        {"empty lines", Times(kMany, "\n"), Times(kMany, "ERROR unknown command\n"), 0},
        {"macros", connect + Times(kMany / 4, "EXECUTE 3\nabc") + "DISCONNECT\n",
         "OK\n" + Times(kMany / 4, "FACK\n") + "OK\n", kMany / 4},
        // A request cut off by the end of the input is not one.
        {"cut-off payload", connect + "REQUEST a\nEXECUTE 10\nabc", "OK\nNODATA\n", 0},
        {"cut-off line", connect + "REQUEST a\nREQUEST b", "OK\nNODATA\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        macros->clear();
        const QByteArray received = SendAllThenRead(c.requests);
        EXPECT_EQ(received.count('\n'), c.answers.count('\n'));
        EXPECT_TRUE(received == c.answers);
        EXPECT_EQ(macros->count(), c.macros);
        // The service closed its side only after the last answer and forgot the client.
        EXPECT_TRUE(QTest::qWaitFor([&] { return manager->ConnectionCount() == 0; },
                                    DdeTestClient::kWaitLimit));
        EXPECT_TRUE(manager->Conversations().empty());
    }
}

TEST_F(DdeFloodTest, AClientThatLeavesWithItsAnswersUnreadIsForgotten) {
    const int fd = Connect();
    ASSERT_GE(fd, 0);
    // Far more answers than the system buffers and the service keeps; nothing reads them.
    const QByteArray requests = "CONNECT kiv DdeServerConv1\n" + QByteArray(100000, '\n');
    for (qsizetype sent = 0; sent < requests.size();) {
        const ssize_t n = ::send(fd, requests.constData() + sent,
                                 static_cast<std::size_t>(requests.size() - sent), MSG_DONTWAIT);
        if (n > 0) sent += n;
        ASSERT_TRUE(n > 0 || errno == EAGAIN) << std::strerror(errno);
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened->count() == 1; }, DdeTestClient::kWaitLimit));
    ::close(fd);
    EXPECT_TRUE(QTest::qWaitFor([&] { return manager->ConnectionCount() == 0; },
                                DdeTestClient::kWaitLimit));
    EXPECT_TRUE(manager->Conversations().empty());
    EXPECT_EQ(closed->count(), 1);
}

}  // namespace
}  // namespace kiv
