#include "cli/DdeClientSocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace kiv {

namespace {

using Clock = std::chrono::steady_clock;

// How soon a connect is tried again while the service's queue of new clients is full: a local
// socket offers nothing to wait on for that.
constexpr int kConnectRetryMilliseconds = 10;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::clamp<long long>(left.count(), 0, INT_MAX));
}

}  // namespace

DdeClientSocket::DdeClientSocket(std::chrono::milliseconds answerLimit)
    : answerLimit_(answerLimit) {}

DdeClientSocket::~DdeClientSocket() {
    Close();
}

void DdeClientSocket::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    received_.clear();
}

std::string DdeClientSocket::Connect(const std::string& path) {
    Close();
    nothingListens_ = false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return "the path is " + std::to_string(path.size()) +
               " bytes long, a local socket's at most " +
               std::to_string(sizeof address.sun_path - 1);
    std::memcpy(address.sun_path, path.data(), path.size());
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return std::strerror(errno);
    const Deadline deadline = Clock::now() + answerLimit_;
    for (;;) {
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
            errno == EISCONN)
            return {};
        int error = errno;
        if (error == EAGAIN && MillisecondsLeft(deadline) == 0) error = ETIMEDOUT;
        if (error != EINTR && error != EAGAIN) {
            Close();
            nothingListens_ = error == ENOENT || error == ECONNREFUSED;
            return std::strerror(error);
        }
        if (error == EAGAIN) ::poll(nullptr, 0, kConnectRetryMilliseconds);
    }
}

std::optional<std::string> DdeClientSocket::Ask(std::string_view request) {
    if (fd_ < 0) return std::nullopt;
    const Deadline deadline = Clock::now() + answerLimit_;
    // The service answers a request it refuses (a macro too large, say) before it has read all
    // of it, and may close then: whether or not the request went out whole, its answer is read.
    SendAll(request, deadline);
    return ReadLine(deadline);
}

bool DdeClientSocket::SendAll(std::string_view bytes, Deadline deadline) {
    while (!bytes.empty()) {
        // MSG_NOSIGNAL: a service that has gone away ends this request, not kiv-cli (SIGPIPE).
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(POLLOUT, deadline)) return false;
        } else {
            return false;  // EPIPE, ECONNRESET: nobody reads the rest
        }
    }
    return true;
}

std::optional<std::string> DdeClientSocket::ReadLine(Deadline deadline) {
    for (;;) {
        if (const std::size_t end = received_.find('\n'); end != std::string::npos) {
            std::string line = received_.substr(0, end);
            received_.erase(0, end + 1);
            return line;
        }
        if (received_.size() > kMaxAnswer) return std::nullopt;
        char chunk[4096];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n > 0) {
            received_.append(chunk, static_cast<std::size_t>(n));
            continue;
        }
        if (n == 0) return std::nullopt;  // closed before the line ended, or before it began
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return std::nullopt;
        if (!WaitFor(POLLIN, deadline)) return std::nullopt;
    }
}

// True when the socket may be ready for events (or has failed, which the next call then says);
// false when the deadline passed first.
bool DdeClientSocket::WaitFor(short events, Deadline deadline) {
    pollfd entry{fd_, events, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, MillisecondsLeft(deadline));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

}  // namespace kiv
