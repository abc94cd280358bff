#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#include "cli/DdeClientSocket.h"
#include "cli/KivCli.h"
#include "support/EnvironmentVariable.h"
#include "support/FixedClock.h"
#include "support/TempFolder.h"
#include "support/UnixSocket.h"

namespace kiv {
namespace {

using namespace std::chrono_literals;

int Listening(const std::string& path, int backlog) {
    const sockaddr_un address = testing::UnixAddress(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0) << path;
    EXPECT_EQ(::listen(fd, backlog), 0);
    return fd;
}

// A service that takes one client, reads its first request line, sends the pieces of its
// answer a little apart and then hangs up, or holds the connection until the client has gone.
class FakeService {
  public:
    FakeService(const std::string& path, std::vector<std::string> pieces, bool hangUp)
        : listener_(Listening(path, 4)), thread_([this, pieces, hangUp] {
              const int client = ::accept(listener_, nullptr, nullptr);
              if (client < 0) return;  // woken by the destructor
              for (char c = 0; c != '\n' && ::recv(client, &c, 1, 0) == 1;) {
              }
              for (const std::string& piece : pieces) {
                  std::this_thread::sleep_for(20ms);
                  (void)!::send(client, piece.data(), piece.size(), MSG_NOSIGNAL);
              }
              char drain[4096];
              while (!hangUp && ::recv(client, drain, sizeof drain, 0) > 0) {
              }
              ::close(client);
          }) {}
    ~FakeService() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }

  private:
    int listener_;
    std::thread thread_;
};

TEST(DdeClientSocket, AnAnswerCountsOnlyWithItsLineEndWithinTheLimit) {
    const std::string longAnswer(DdeClientSocket::kMaxAnswer + 1, 'x');
    const struct {
        std::vector<std::string> pieces;
        bool hangUp;
        std::optional<std::string> answer;
        bool waitsForTheLimit;
    } cases[] = {
        {{"OK\n"}, true, "OK", false},
        {{"FA", "CK\r\n"}, false, "FACK\r", false},  // in two parts; only the LF is taken off
        {{"OK"}, true, std::nullopt, false},         // closed mid-answer
        {{"OK"}, false, std::nullopt, true},         // no line end, and then silence
        {{}, false, std::nullopt, true},             // never answers
        {{longAnswer}, false, std::nullopt, false},  // no line end in sight
    };
    for (const auto& c : cases) {
        const testing::TempFolder folder;
        const FakeService service(folder / "kiv", c.pieces, c.hangUp);
        DdeClientSocket socket(500ms);
        ASSERT_EQ(socket.Connect(folder / "kiv"), "");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(socket.Ask("CONNECT kiv x\n"), c.answer) << c.pieces.size();
        EXPECT_EQ(std::chrono::steady_clock::now() - start >= 500ms, c.waitsForTheLimit)
            << c.pieces.size();
    }
}

TEST(DdeClientSocket, AnAnswerGivenBeforeTheServiceStoppedReadingIsKept) {
    const testing::TempFolder folder;
    // The service refuses the macro from its first line and closes without reading it: the
    // write fails (without SIGPIPE, which would end this test) and the answer is still read.
    const FakeService service(folder / "big", {"ERROR payload too large\n"}, true);
    DdeClientSocket socket(5s);
    ASSERT_EQ(socket.Connect(folder / "big"), "");
    const std::string macro(8 << 20, 'm');
    EXPECT_EQ(socket.Ask("EXECUTE " + std::to_string(macro.size()) + '\n' + macro),
              "ERROR payload too large");
    EXPECT_EQ(socket.Ask("DISCONNECT\n"), std::nullopt);
}

TEST(DdeClientSocket, ConnectSaysWhyItFailsAndWaitsForAFullQueue) {
    const testing::TempFolder folder;
    DdeClientSocket socket(200ms);
    EXPECT_EQ(socket.Connect(folder / "absent"), "No such file or directory");
    // sun_path holds 107 bytes and the terminating NUL.
    const std::string longest = folder / std::string(107 - folder.path.string().size() - 1, 'n');
    ASSERT_EQ(longest.size(), 107u);
    const FakeService service(longest, {}, false);
    EXPECT_EQ(socket.Connect(longest), "");
    EXPECT_EQ(socket.Connect(longest + 'n'),
              "the path is 108 bytes long, a local socket's at most 107");

    // A backlog of 0 holds one waiting client; the next waits for it to be taken.
    const int listener = Listening(folder / "full", 0);
    DdeClientSocket waiting(5s);
    ASSERT_EQ(waiting.Connect(folder / "full"), "");
    EXPECT_EQ(socket.Connect(folder / "full"), "Connection timed out");
    std::thread taker([&] {
        std::this_thread::sleep_for(100ms);
        ::close(::accept(listener, nullptr, nullptr));
    });
    DdeClientSocket patient(5s);
    EXPECT_EQ(patient.Connect(folder / "full"), "");
    taker.join();
    ::close(listener);
}

TEST(DdeClientSocket, KivCliPrintsEachAnswerAndSaysWhenTheServiceFallsSilent) {
    const testing::TempFolder runtime;
    const testing::EnvironmentVariable runtimeVariable("XDG_RUNTIME_DIR", runtime.path.string());
    FixedClock clock{1700000000, LocalTime{2026, 12, 7, 10, 0, 0, 0}};
    const auto run = [&](const std::vector<std::string>& answers, bool hangUp) {
        const FakeService service(runtime / "kiv", answers, hangUp);
        std::istringstream in;
        std::ostringstream out, err;
        CliContext context{in, out, err, clock};
        const int status = RunKivCli({"dde", "DdeServerConv1", "a", "b"}, context);
        ::unlink((runtime / "kiv").c_str());
        return std::tuple(status, out.str(), err.str());
    };
    EXPECT_EQ(run({"OK\nERROR no resources\nFACK\nOK\n"}, false),
              std::tuple(kExitFailed, "ERROR no resources\nFACK\n", ""));
    EXPECT_EQ(
        run({"OK\nFACK\n"}, true),
        std::tuple(kExitFailed, "FACK\n", "kiv-cli: the command service \"kiv\" did not answer\n"));
}

}  // namespace
}  // namespace kiv
