#pragma once

#include <QByteArray>
#include <QObject>
#include <cstdint>

class QSocketNotifier;

namespace kiv {

class TDdeMgr;
struct TDdeSrvrConv;

// One client of the command service: reads its requests as they arrive, answers
// each one in order and passes the transactions on to the manager. Requests are
// lines ending in LF; EXECUTE and POKE are followed by a byte payload of the
// announced length. Nothing here waits for the client, so a slow or broken
// client never holds up the window.
//
// Every request read is answered. While more than kMaxUnsentAnswers bytes of
// answers wait for a client that does not read them, its requests are not read
// further; they wait in the system's buffers until the answers drain. When the
// client has sent its last byte (it closed the connection or only its sending
// side), the requests already received are answered, the answers are sent, and
// then the connection is closed; a request cut off by the end is dropped.
class DdeConnection : public QObject {
    Q_OBJECT
  public:
    // Longest request line, without its line end.
    static constexpr qsizetype kMaxLine = 4096;
    // Largest EXECUTE or POKE payload.
    static constexpr std::uint64_t kMaxPayload = 1 << 20;
    // Answers that may wait unsent before the client's requests are left unread. With the
    // line and payload bounds and the manager's limits on connections and on payloads in all,
    // this bounds what clients can make the window hold.
    static constexpr qsizetype kMaxUnsentAnswers = 256 << 10;

    // Takes ownership of descriptor, a connected stream socket.
    DdeConnection(TDdeMgr& manager, int descriptor, QObject* parent);
    ~DdeConnection() override;

    // The open conversation, or null before CONNECT and after DISCONNECT.
    TDdeSrvrConv* Conversation() const { return conversation_; }

  private:
    enum class Payload { None, Execute, Poke };

    void Serve();
    bool ReadMore();
    void Send();
    void Writable();
    void Settle();
    qsizetype Unsent() const { return output_.size() - sent_; }
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
    void Finish();

    TDdeMgr& manager_;
    int descriptor_;
    QSocketNotifier* reader_;
    QSocketNotifier* writer_;
    QByteArray input_;
    qsizetype consumed_ = 0;  // bytes of input_ already handled
    QByteArray output_;
    qsizetype sent_ = 0;  // bytes of output_ the system has taken
    bool discardingLine_ = false;
    Payload payload_ = Payload::None;
    bool keepPayload_ = false;  // false while skipping one that was refused
    std::uint64_t payloadLeft_ = 0;
    std::uint64_t reserved_ = 0;  // bytes of the manager's payload room this one holds
    QByteArray payloadData_;
    TDdeSrvrConv* conversation_ = nullptr;
    bool inputEnded_ = false;  // the client has sent its last byte
    bool allHandled_ = false;  // ... and every request in it has been answered
    bool broken_ = false;      // the client can no longer be answered
    bool serving_ = false;
    bool finished_ = false;
};

}  // namespace kiv
