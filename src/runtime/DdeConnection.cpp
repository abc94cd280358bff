#include "runtime/DdeConnection.h"

#include <QLocalSocket>
#include <algorithm>
#include <charconv>

#include "runtime/TDdeMgr.h"
#include "runtime/TDdeSrvrConv.h"

namespace kiv {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;
// A client that sends faster than it reads its answers is not read further until these drain.
constexpr qint64 kMaxUnsentAnswers = 1 << 20;

constexpr char kLineTooLong[] = "ERROR line too long";
constexpr char kPayloadTooLarge[] = "ERROR payload too large";
constexpr char kUnknownCommand[] = "ERROR unknown command";
constexpr char kMalformed[] = "ERROR malformed request";
constexpr char kNoConversation[] = "ERROR no conversation";
constexpr char kAlreadyOpen[] = "ERROR conversation already open";

// A decimal byte count: digits only, nothing around them.
bool ParseLength(const QByteArray& text, std::uint64_t& length) {
    if (text.isEmpty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const auto result = std::from_chars(text.constData(), text.constData() + text.size(), length);
    return result.ec == std::errc() && result.ptr == text.constData() + text.size();
}

}  // namespace

DdeConnection::DdeConnection(TDdeMgr& manager, QLocalSocket* socket, QObject* parent)
    : QObject(parent), manager_(manager), socket_(socket) {
    socket_->setParent(this);
    // Bounds what Qt buffers for us, so that a client that is not read for a while (see Serve)
    // waits in the system's buffers instead of filling our memory.
    socket_->setReadBufferSize(4 * kReadChunk);
    connect(socket_, &QLocalSocket::readyRead, this, &DdeConnection::Serve);
    connect(socket_, &QLocalSocket::bytesWritten, this, &DdeConnection::Serve);
    connect(socket_, &QLocalSocket::disconnected, this, &DdeConnection::Closed);
}

DdeConnection::~DdeConnection() {
    socket_->disconnect(this);
    socket_->abort();
}

void DdeConnection::Serve() {
    // A handler that opens a modal box runs a nested event loop; requests arriving meanwhile
    // wait for this loop so that answers keep their order.
    if (serving_ || finished_) return;
    serving_ = true;
    while (!closed_ && socket_->bytesToWrite() <= kMaxUnsentAnswers) {
        if (Step()) continue;
        input_.remove(0, consumed_);
        consumed_ = 0;
        const QByteArray more = socket_->read(kReadChunk);
        if (more.isEmpty()) break;
        input_ += more;
    }
    // Hands the answers to the system at once: a client that shuts down its sending side after
    // its last request (printf ... | socat) looks closed to the socket on the next read, and
    // answers still waiting in our buffer would be lost.
    if (!closed_) socket_->flush();
    serving_ = false;
    if (closed_) Finish();
}

// Handles one request, or the part of one that has arrived. False when more input is needed.
bool DdeConnection::Step() {
    if (payload_ != Payload::None) return StepPayload();
    if (discardingLine_) {
        const qsizetype lf = input_.indexOf('\n', consumed_);
        consumed_ = lf < 0 ? input_.size() : lf + 1;
        discardingLine_ = lf < 0;
        return lf >= 0;
    }
    return StepLine();
}

bool DdeConnection::StepPayload() {
    const auto available = static_cast<std::uint64_t>(input_.size() - consumed_);
    const auto take = static_cast<qsizetype>(std::min(available, payloadLeft_));
    // A poke is answered the same whatever it carries, so only macros are kept.
    if (keepPayload_ && payload_ == Payload::Execute)
        payloadData_.append(input_.constData() + consumed_, take);
    consumed_ += take;
    payloadLeft_ -= static_cast<std::uint64_t>(take);
    if (payloadLeft_ > 0) return false;
    const Payload kind = std::exchange(payload_, Payload::None);
    const QByteArray data = std::exchange(payloadData_, {});
    if (keepPayload_) HandlePayload(kind, data);
    return true;
}

bool DdeConnection::StepLine() {
    const qsizetype lf = input_.indexOf('\n', consumed_);
    if (lf < 0) {
        // One more byte is allowed for a CR before the LF that has not arrived yet.
        if (input_.size() - consumed_ <= kMaxLine + 1) return false;
        Answer(kLineTooLong);
        consumed_ = input_.size();
        discardingLine_ = true;
        return true;
    }
    QByteArray line = input_.mid(consumed_, lf - consumed_);
    consumed_ = lf + 1;
    if (line.endsWith('\r')) line.chop(1);
    if (line.size() > kMaxLine)
        Answer(kLineTooLong);
    else
        HandleLine(line);
    return true;
}

void DdeConnection::HandleLine(const QByteArray& line) {
    const qsizetype blank = line.indexOf(' ');
    const QByteArray command = blank < 0 ? line : line.left(blank);
    const QByteArray argument = blank < 0 ? QByteArray() : line.mid(blank + 1);
    const bool hasArgument = blank >= 0;

    if (command == "WILDCONNECT") return HandleWildConnect(hasArgument ? &argument : nullptr);
    if (command == "CONNECT") return hasArgument ? HandleConnect(argument) : Answer(kMalformed);
    if (command == "EXECUTE")
        return hasArgument ? ExpectPayload(Payload::Execute, argument) : Answer(kMalformed);
    if (command == "POKE") {
        const qsizetype last = argument.lastIndexOf(' ');
        if (!hasArgument || last <= 0) return Answer(kMalformed);
        return ExpectPayload(Payload::Poke, argument.mid(last + 1));
    }
    if (command == "DISCONNECT") return hasArgument ? Answer(kMalformed) : HandleDisconnect();
    if (command == "REQUEST" || command == "ADVREQ" || command == "ADVSTART") {
        if (argument.isEmpty()) return Answer(kMalformed);
        if (!conversation_) return Answer(kNoConversation);
        // The window offers no data items, so there is nothing to read, write or advise.
        return Answer(command == "ADVSTART" ? "FALSE" : "NODATA");
    }
    Answer(kUnknownCommand);
}

void DdeConnection::HandleConnect(const QByteArray& argument) {
    const qsizetype blank = argument.indexOf(' ');
    if (blank <= 0) return Answer(kMalformed);
    if (conversation_) return Answer(kAlreadyOpen);
    const QByteArray service = argument.left(blank);
    const QString topic = QString::fromUtf8(argument.mid(blank + 1));
    if (!manager_.AcceptsConnect(service == "*" ? QString() : QString::fromUtf8(service), topic))
        return Answer("REFUSED");
    conversation_ = &manager_.ConfirmConnect(topic, *this);
    Answer("OK");
}

void DdeConnection::HandleWildConnect(const QByteArray* argument) {
    std::optional<QString> topic;
    if (argument) topic = QString::fromUtf8(*argument);
    for (const auto& [service, pairTopic] : manager_.WildConnect(topic))
        Answer("PAIR " + service.toUtf8() + ' ' + pairTopic.toUtf8());
    Answer("END");
}

void DdeConnection::ExpectPayload(Payload kind, const QByteArray& length) {
    std::uint64_t bytes = 0;
    if (!ParseLength(length, bytes)) return Answer(kMalformed);
    // A refused payload is still read past, so that the next request is found where it starts.
    keepPayload_ = false;
    if (bytes > kMaxPayload)
        Answer(kPayloadTooLarge);
    else if (!conversation_)
        Answer(kNoConversation);
    else
        keepPayload_ = true;
    payload_ = kind;
    payloadLeft_ = bytes;
    if (keepPayload_ && kind == Payload::Execute)
        payloadData_.reserve(static_cast<qsizetype>(bytes));
}

void DdeConnection::HandlePayload(Payload kind, const QByteArray& payload) {
    if (kind == Payload::Poke) return Answer("0");
    if (!conversation_) return Answer(kNoConversation);
    Answer(manager_.Execute(*conversation_, payload) == TDdeMgr::kFack ? "FACK" : "0");
}

void DdeConnection::HandleDisconnect() {
    if (!conversation_) return Answer(kNoConversation);
    manager_.Disconnect(*std::exchange(conversation_, nullptr));
    Answer("OK");
}

void DdeConnection::Answer(const char* text) {
    Answer(QByteArray(text));
}

void DdeConnection::Answer(const QByteArray& text) {
    if (!closed_) socket_->write(text + '\n');
}

void DdeConnection::Closed() {
    closed_ = true;
    if (!serving_) Finish();
}

void DdeConnection::Finish() {
    if (finished_) return;
    finished_ = true;
    manager_.ConnectionClosed(*this);
    conversation_ = nullptr;
    deleteLater();
}

}  // namespace kiv
