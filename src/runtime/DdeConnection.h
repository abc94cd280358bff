#pragma once

#include <QByteArray>
#include <QObject>
#include <cstdint>

class QLocalSocket;

namespace kiv {

class TDdeMgr;
struct TDdeSrvrConv;

// One client of the command service: reads its requests as they arrive, answers each one and
// passes the transactions on to the manager. Requests are lines ending in LF; EXECUTE and POKE
// are followed by a byte payload of the announced length. Nothing here waits for the client,
// so a slow or broken client never holds up the window.
class DdeConnection : public QObject {
    Q_OBJECT
  public:
    // Longest request line, without its line end.
    static constexpr qsizetype kMaxLine = 4096;
    // Largest EXECUTE or POKE payload.
    static constexpr std::uint64_t kMaxPayload = 1 << 20;

    // Takes ownership of socket.
    DdeConnection(TDdeMgr& manager, QLocalSocket* socket, QObject* parent);
    ~DdeConnection() override;

    // The open conversation, or null before CONNECT and after DISCONNECT.
    TDdeSrvrConv* Conversation() const { return conversation_; }

  private:
    enum class Payload { None, Execute, Poke };

    void Serve();
    bool Step();
    bool StepPayload();
    bool StepLine();
    void HandleLine(const QByteArray& line);
    void HandleConnect(const QByteArray& argument);
    void HandleWildConnect(const QByteArray* argument);
    void ExpectPayload(Payload kind, const QByteArray& length);
    void HandlePayload(Payload kind, const QByteArray& payload);
    void HandleDisconnect();
    void Answer(const char* text);
    void Answer(const QByteArray& text);
    void Closed();
    void Finish();

    TDdeMgr& manager_;
    QLocalSocket* socket_;
    QByteArray input_;
    qsizetype consumed_ = 0;  // bytes of input_ already handled
    bool discardingLine_ = false;
    Payload payload_ = Payload::None;
    bool keepPayload_ = false;  // false while skipping one that was refused
    std::uint64_t payloadLeft_ = 0;
    QByteArray payloadData_;
    TDdeSrvrConv* conversation_ = nullptr;
    bool serving_ = false;
    bool closed_ = false;
    bool finished_ = false;
};

}  // namespace kiv
