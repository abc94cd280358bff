#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// The client end of a conversation with the command service: a local stream socket on which
// each request is sent whole and its one-line answer read back, neither waiting longer than the
// answer limit. It blocks, as a command-line client that has nothing else to do meanwhile may.
class DdeClientSocket {
  public:
    // Longer answer lines are taken for a service gone wrong rather than collected for ever.
    static constexpr std::size_t kMaxAnswer = 64 * 1024;

    explicit DdeClientSocket(std::chrono::milliseconds answerLimit);
    ~DdeClientSocket();
    DdeClientSocket(const DdeClientSocket&) = delete;
    DdeClientSocket& operator=(const DdeClientSocket&) = delete;

    // Connects to the socket at path, waiting up to the answer limit while the service's queue
    // of new clients is full. Empty when connected, else why not, in words for a message.
    std::string Connect(const std::string& path);
    // Whether the last Connect failed because nothing listens at its path: no socket there, or
    // one left by a program that has ended.
    bool NothingListens() const { return nothingListens_; }

    // Sends request and returns the next answer line, without its line end. Nothing when no
    // whole line comes within the answer limit: the service stays silent, closes the connection
    // or breaks off mid-line. A service that stops reading may have answered already: that
    // answer is still returned.
    std::optional<std::string> Ask(std::string_view request);

  private:
    using Deadline = std::chrono::steady_clock::time_point;

    bool SendAll(std::string_view bytes, Deadline deadline);
    std::optional<std::string> ReadLine(Deadline deadline);
    bool WaitFor(short events, Deadline deadline);
    void Close();

    std::chrono::milliseconds answerLimit_;
    int fd_ = -1;
    std::string received_;  // what came after the last answer's line end
    bool nothingListens_ = false;
};

}  // namespace kiv
