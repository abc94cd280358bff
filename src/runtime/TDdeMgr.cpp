#include "runtime/TDdeMgr.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "runtime/DdeConnection.h"
#include "runtime/TDdeServerConv.h"
#include "runtime/internal/DdeSocketPath.h"
#include "runtime/internal/EDdeError.h"

namespace kiv {

namespace {

// How long a socket that is in the way may take to accept us before we take it for a live copy
// that is busy, rather than one to replace. A live server accepts at once, even when its
// program is occupied, because the system completes the connection.
constexpr int kProbeMilliseconds = 2000;
// Room for fifty clients connecting in the same instant.
constexpr int kListenBacklog = 128;

bool SameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

}  // namespace

TDdeMgr::TDdeMgr(const QString& serviceName, std::ostream& diagnostics, QObject* parent)
    : QObject(parent), serviceName_(serviceName) {
    Start(diagnostics);
}

TDdeMgr::~TDdeMgr() {
    // Removes the socket first so that no client connects while the rest goes away.
    server_.Close();
    // Clients still connected are cut off without OnClose: the window is gone by now.
    conversations_.clear();
    for (DdeConnection* connection : connections_)
        delete connection;
    connections_.clear();
}

QString TDdeMgr::ServiceNameFor(const QString& executablePath) {
    const QString file = QFileInfo(executablePath).fileName();
    const qsizetype dot = file.indexOf(QLatin1Char('.'));
    return dot < 0 ? file : file.left(dot);
}

QStringList TDdeMgr::SplitMacroLines(const QByteArray& data) {
    const qsizetype nul = data.indexOf('\0');
    const qsizetype n = nul < 0 ? data.size() : nul;
    QStringList lines;
    qsizetype start = 0;
    while (start < n) {
        qsizetype i = start;
        while (i < n && data[i] != '\r' && data[i] != '\n')
            ++i;
        lines << QString::fromUtf8(data.constData() + start, i - start);
        if (i < n && data[i] == '\r') ++i;
        if (i < n && data[i] == '\n') ++i;
        start = i;
    }
    return lines;
}

void TDdeMgr::Start(std::ostream& diagnostics) {
    if (serviceName_.isEmpty() || serviceName_.contains(QLatin1Char('/')))
        throw EDdeError(EDdeError::kInvalidParameter);
    std::string refusal;
    socketPath_ = DdeSocketPath(serviceName_, &refusal);
    if (socketPath_.isEmpty()) {
        // Somebody else chose that folder: stopping the program would let them keep it from
        // starting, so the window comes up without the service instead.
        diagnostics << "The command service \"" << serviceName_.toStdString()
                    << "\" is not offered: " << EDdeError(EDdeError::kSysError).what() << ": "
                    << refusal << ".\n";
        return;
    }
    if (!ClaimName(diagnostics)) return;

    if (!server_.Listen(QFile::encodeName(socketPath_), kListenBacklog)) {
        switch (errno) {
            case EMFILE:
            case ENFILE:
            case ENOBUFS:
            case ENOMEM:
                throw EDdeError(EDdeError::kMemoryError);
            case EADDRINUSE:
                throw EDdeError(EDdeError::kNoConvEstablished);
            default:
                throw EDdeError(EDdeError::kSysError);
        }
    }
}

// Listening with user-only access replaces whatever lies at the path, so the path is checked
// first: a live copy keeps its name, a socket nobody answers on is removed, anything else stops
// the start.
bool TDdeMgr::ClaimName(std::ostream& diagnostics) {
    namespace fs = std::filesystem;
    const fs::path path(QFile::encodeName(socketPath_).toStdString());
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (!fs::exists(status)) return true;
    if (!fs::is_socket(status)) throw EDdeError(EDdeError::kNoConvEstablished);

    QLocalSocket probe;
    probe.connectToServer(socketPath_);
    const bool live = probe.waitForConnected(kProbeMilliseconds);
    const QLocalSocket::LocalSocketError probeError = probe.error();
    probe.abort();
    if (live || probeError == QLocalSocket::SocketTimeoutError) {
        diagnostics << "The command service \"" << serviceName_.toStdString()
                    << "\" is already offered by another running copy (" << path.string()
                    << "); this copy offers none.\n";
        return false;
    }
    if (probeError == QLocalSocket::ServerNotFoundError) return true;  // it went away meanwhile
    if (probeError == QLocalSocket::ConnectionRefusedError && fs::remove(path, error)) return true;
    throw EDdeError(EDdeError::kNoConvEstablished);
}

void TDdeMgr::Accept(int descriptor) {
    if (connections_.size() >= kMaxConnections)
        return DdeListener::Refuse(descriptor, kTooManyConnections);
    connections_.push_back(new DdeConnection(*this, descriptor, this));
}

bool TDdeMgr::ReservePayload(std::uint64_t bytes) {
    if (bytes > kMaxPendingPayloads - pendingPayloads_) return false;
    pendingPayloads_ += bytes;
    return true;
}

void TDdeMgr::ReleasePayload(std::uint64_t bytes) {
    pendingPayloads_ -= std::min(bytes, pendingPayloads_);
}

void TDdeMgr::Enrol(TDdeServerConv* component) {
    components_.push_back(component);
}

void TDdeMgr::Leave(TDdeServerConv* component) {
    components_.erase(std::remove(components_.begin(), components_.end(), component),
                      components_.end());
}

TDdeMgr::TopicMatch TDdeMgr::LookupTopic(const QString& topic) const {
    if (topic.isEmpty()) return {};
    for (TDdeServerConv* component : components_)
        if (SameName(component->objectName(), topic)) return {component, {}, true};
    if (captions_) {
        for (const QString& caption : captions_())
            if (!caption.isEmpty() && SameName(caption, topic)) return {nullptr, caption, true};
    }
    return {};
}

bool TDdeMgr::AcceptsConnect(const QString& service, const QString& topic) const {
    return (service.isEmpty() || SameName(service, serviceName_)) && LookupTopic(topic).found;
}

TDdeSrvrConv& TDdeMgr::ConfirmConnect(const QString& topic, DdeConnection& connection) {
    const TopicMatch match = LookupTopic(topic);
    auto record = std::make_unique<TDdeSrvrConv>();
    record->topic = topic;
    record->boundToComponent = match.component != nullptr;
    record->component = match.component;
    record->caption = match.caption;
    record->conversation = &connection;
    TDdeSrvrConv& conversation = *record;
    conversations_.push_back(std::move(record));
    if (match.component) emit match.component->OnOpen();
    return conversation;
}

std::vector<std::pair<QString, QString>> TDdeMgr::WildConnect(
    const std::optional<QString>& topic) const {
    if (!topic || !AcceptsConnect({}, *topic)) return {};
    return {{serviceName_, *topic}};
}

unsigned TDdeMgr::Execute(TDdeSrvrConv& conversation, const QByteArray& data) {
    if (!conversation.boundToComponent) return 0;
    if (conversation.component) emit conversation.component->OnExecuteMacro(SplitMacroLines(data));
    return kFack;
}

void TDdeMgr::Disconnect(TDdeSrvrConv& conversation) {
    if (conversation.component) emit conversation.component->OnClose();
    const auto it = std::find_if(conversations_.begin(), conversations_.end(),
                                 [&](const auto& r) { return r.get() == &conversation; });
    if (it != conversations_.end()) conversations_.erase(it);
}

void TDdeMgr::ConnectionClosed(DdeConnection& connection) {
    if (TDdeSrvrConv* conversation = connection.Conversation()) Disconnect(*conversation);
    connections_.erase(std::remove(connections_.begin(), connections_.end(), &connection),
                       connections_.end());
}

}  // namespace kiv
