#include "runtime/DdeConnection.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <charconv>

#include "runtime/TDdeMgr.h"
#include "runtime/TDdeSrvrConv.h"

namespace kiv {

namespace {

constexpr qsizetype kReadChunk = 64 * 1024;

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

DdeConnection::DdeConnection(TDdeMgr& manager, int descriptor, QObject* parent)
    : QObject(parent),
      manager_(manager),
      descriptor_(descriptor),
      reader_(new QSocketNotifier(descriptor, QSocketNotifier::Read, this)),
      writer_(new QSocketNotifier(descriptor, QSocketNotifier::Write, this)) {
    writer_->setEnabled(false);
    connect(reader_, &QSocketNotifier::activated, this, &DdeConnection::Serve);
    connect(writer_, &QSocketNotifier::activated, this, &DdeConnection::Writable);
}

DdeConnection::~DdeConnection() {
    manager_.ReleasePayload(reserved_);
    // The notifiers go before the descriptor they watch.
    delete reader_;
    delete writer_;
    ::close(descriptor_);
}

void DdeConnection::Serve() {
    // A handler that opens a modal box runs a nested event loop; requests
    // arriving meanwhile wait for this loop so that answers keep their order. The
    // reader is switched off meanwhile, or the nested loop would be woken for
    // them again and again.
    if (serving_ || finished_) return;
    serving_ = true;
    reader_->setEnabled(false);
    while (!broken_) {
        if (Unsent() > kMaxUnsentAnswers) {
            Send();
            if (Unsent() > kMaxUnsentAnswers) break;  // the writer resumes us
        }
        if (Step()) continue;
        Send();
        if (inputEnded_ || !ReadMore()) {
            allHandled_ = inputEnded_;
            break;
        }
    }
    Send();
    serving_ = false;
    Settle();
}

// Appends what the client has sent, without waiting. False when nothing came:
// nothing yet, the client's last byte was read before (inputEnded_), or the
// connection failed (broken_).
bool DdeConnection::ReadMore() {
    input_.remove(0, consumed_);
    consumed_ = 0;
    const qsizetype kept = input_.size();
    input_.resize(kept + kReadChunk);
    ssize_t n;
    do {
        n = ::recv(descriptor_, input_.data() + kept, kReadChunk, MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    input_.resize(kept + std::max<qsizetype>(n, 0));
    if (n > 0) return true;
    if (n == 0)
        inputEnded_ = true;
    else if (errno != EAGAIN && errno != EWOULDBLOCK)
        broken_ = true;
    return false;
}

// Hands the system as many answers as it takes without waiting.
void DdeConnection::Send() {
    while (!broken_ && Unsent() > 0) {
        const ssize_t n = ::send(descriptor_, output_.constData() + sent_,
                                 static_cast<std::size_t>(Unsent()), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0)
            sent_ += n;
        else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        else if (n < 0 && errno != EINTR)
            broken_ = true;  // the client is gone: nobody reads these answers
    }
    if (sent_ == output_.size()) {
        output_.clear();
        sent_ = 0;
    } else if (sent_ > Unsent()) {
        // Moving the rest only once more than half has gone keeps this linear.
        output_.remove(0, sent_);
        sent_ = 0;
    }
}

void DdeConnection::Writable() {
    Send();
    // Inside a nested loop only the answers move; the requests wait for the outer
    // Serve.
    if (serving_) {
        writer_->setEnabled(!broken_ && Unsent() > 0);
        return;
    }
    Serve();
}

// After serving: the client is done with, or the notifiers wait for what has to
// happen next.
void DdeConnection::Settle() {
    if (broken_ || (allHandled_ && Unsent() == 0)) return Finish();
    writer_->setEnabled(Unsent() > 0);
    reader_->setEnabled(!inputEnded_ && Unsent() <= kMaxUnsentAnswers);
}

// Handles one request, or the part of one that has arrived. False when more
// input is needed.
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
    manager_.ReleasePayload(std::exchange(reserved_, 0));
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
        // The window offers no data items, so there is nothing to read, write or
        // advise.
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
    // A refused payload is still read past, so that the next request is found
    // where it starts.
    keepPayload_ = false;
    reserved_ = 0;
    if (bytes > kMaxPayload)
        Answer(kPayloadTooLarge);
    else if (!conversation_)
        Answer(kNoConversation);
    else if (kind == Payload::Execute && !manager_.ReservePayload(bytes))
        Answer(TDdeMgr::kTooMuchPending);
    else
        keepPayload_ = true;
    payload_ = kind;
    payloadLeft_ = bytes;
    if (keepPayload_ && kind == Payload::Execute) {
        reserved_ = bytes;
        payloadData_.reserve(static_cast<qsizetype>(bytes));
    }
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
    if (broken_) return;
    output_ += text;
    output_ += '\n';
}

void DdeConnection::Finish() {
    if (finished_) return;
    finished_ = true;
    reader_->setEnabled(false);
    writer_->setEnabled(false);
    manager_.ConnectionClosed(*this);
    conversation_ = nullptr;
    deleteLater();
}

}  // namespace kiv
