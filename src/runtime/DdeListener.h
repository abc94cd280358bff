#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <functional>

class QSocketNotifier;

namespace kiv {

// The command service's listening socket. Each accepted client is handed over as a bare
// descriptor: the service reads and writes it itself, because QLocalSocket takes the end of a
// client's input for the end of the whole connection and would drop the answers still due.
//
// Unlike QLocalServer, which closes for good (and removes its socket) at the first failed
// accept, the socket stays for as long as the listener lives: when the process has no
// descriptor left for a client, a spare one kept for that purpose is given up to take the
// client, tell it so and let it go; when even that fails, accepting pauses briefly and resumes.
class DdeListener : public QObject {
  public:
    using Accept = std::function<void(int descriptor)>;

    // The answer of a client refused for want of descriptors or memory.
    static constexpr char kNoResources[] = "ERROR no resources";
    // How long accepting pauses when nothing at all can be accepted.
    static constexpr int kRetryMilliseconds = 100;

    explicit DdeListener(Accept accept);
    ~DdeListener() override;

    // Creates a socket at path, readable and writable by the user alone, and listens on it.
    // False with errno set when that fails; nothing is left at path then.
    bool Listen(const QByteArray& path, int backlog);
    bool IsListening() const { return fd_ >= 0; }
    // Stops listening and removes the socket.
    void Close();

    // Hands a client its one-line answer, without waiting, and closes the descriptor.
    static void Refuse(int descriptor, const char* answer);

  private:
    void AcceptPending();
    void Pause();
    void Resume();

    Accept accept_;
    int fd_ = -1;
    int spare_ = -1;
    QByteArray path_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer retry_;
};

}  // namespace kiv
