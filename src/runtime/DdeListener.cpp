#include "runtime/DdeListener.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <utility>

namespace kiv {

namespace {

int OpenSpare() {
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

int AcceptOne(int listener) {
    int client;
    do {
        client = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    } while (client < 0 && errno == EINTR);
    return client;
}

}  // namespace

DdeListener::DdeListener(Accept accept) : accept_(std::move(accept)) {
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &DdeListener::Resume);
}

DdeListener::~DdeListener() {
    Close();
}

bool DdeListener::Listen(const QByteArray& path, int backlog) {
    Close();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    // The folder is the user's alone already; the socket is too, whatever the umask.
    if (::chmod(path.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, backlog) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.constData());
        errno = error;
        return false;
    }
    fd_ = fd;
    path_ = path;
    spare_ = OpenSpare();
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &DdeListener::AcceptPending);
    return true;
}

void DdeListener::Close() {
    retry_.stop();
    delete std::exchange(notifier_, nullptr);
    if (fd_ < 0) return;
    ::unlink(path_.constData());
    ::close(std::exchange(fd_, -1));
    if (spare_ >= 0) ::close(std::exchange(spare_, -1));
}

void DdeListener::Refuse(int descriptor, const char* answer) {
    const std::string line = std::string(answer) + '\n';
    (void)!::send(descriptor, line.data(), line.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::close(descriptor);
}

void DdeListener::AcceptPending() {
    // A bounded number per wake-up, so that a flood of clients cannot starve the window.
    for (int i = 0; i < 64 && fd_ >= 0; ++i) {
        const int client = AcceptOne(fd_);
        if (client >= 0) {
            accept_(client);
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) return;
        if (errno == ECONNABORTED || errno == EPROTO) continue;  // that client gave up
        if ((errno == EMFILE || errno == ENFILE) && spare_ >= 0) {
            // The spare descriptor takes the client just long enough to tell it.
            ::close(std::exchange(spare_, -1));
            const int refused = AcceptOne(fd_);
            if (refused >= 0) Refuse(refused, kNoResources);
            spare_ = OpenSpare();
            if (spare_ >= 0) continue;
        }
        // Nothing can be accepted now (no descriptor, no memory): the clients wait in the
        // backlog until a little later rather than waking this loop again and again.
        return Pause();
    }
}

void DdeListener::Pause() {
    if (notifier_) notifier_->setEnabled(false);
    retry_.start(kRetryMilliseconds);
}

void DdeListener::Resume() {
    if (fd_ < 0) return;
    if (spare_ < 0) spare_ = OpenSpare();
    notifier_->setEnabled(true);
}

}  // namespace kiv
