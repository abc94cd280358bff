#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "runtime/DdeListener.h"
#include "runtime/TDdeSrvrConv.h"

namespace kiv {

class DdeConnection;
class TDdeServerConv;

// The command service of one process: a local socket named after the executable, the
// conversations clients open on it and the components that offer topics. Create it before any
// window and destroy it after the last one, so that the service is there before the window can
// be reached and the socket disappears once the window is gone.
class TDdeMgr : public QObject {
    Q_OBJECT
  public:
    using CaptionProvider = std::function<QStringList()>;

    // DDE_FACK of the Windows protocol: a macro was taken by the topic's component.
    static constexpr unsigned kFack = 0x8000;

    // Clients served at once; one more is answered kTooManyConnections and let go.
    static constexpr std::size_t kMaxConnections = 100;
    // Macro and poke bytes all clients together may have announced and not yet delivered; a
    // payload that would go past it is answered kTooMuchPending and read past.
    static constexpr std::uint64_t kMaxPendingPayloads = 16 << 20;
    static constexpr char kTooManyConnections[] = "ERROR too many connections";
    static constexpr char kTooMuchPending[] = "ERROR too much pending input";

    // Claims <runtime folder>/<serviceName>. When a live copy of the program holds that name,
    // this one serves nothing and says so on diagnostics; a socket left by a copy that died is
    // taken over. A runtime folder that another account made, or that others may enter, is
    // never used: this copy then serves nothing either, and says so with the error it would
    // otherwise have stopped with. Throws EDdeError when the service cannot be started at all.
    explicit TDdeMgr(const QString& serviceName, std::ostream& diagnostics = std::cerr,
                     QObject* parent = nullptr);
    ~TDdeMgr() override;

    // The executable's file name without its folder and from its first "." on.
    static QString ServiceNameFor(const QString& executablePath);
    // A macro text up to its first NUL byte, split at CR, LF or CR LF; a break at the very end
    // adds no empty line.
    static QStringList SplitMacroLines(const QByteArray& data);

    const QString& ServiceName() const { return serviceName_; }
    const QString& SocketPath() const { return socketPath_; }
    bool IsServing() const { return server_.IsListening(); }

    // Topics the windows offer besides the components: the start-up code hands in the captions
    // of the application's top-level windows.
    void SetCaptionProvider(CaptionProvider provider) { captions_ = std::move(provider); }

    const std::vector<TDdeServerConv*>& Components() const { return components_; }
    const std::vector<std::unique_ptr<TDdeSrvrConv>>& Conversations() const {
        return conversations_;
    }
    std::size_t ConnectionCount() const { return connections_.size(); }

    void Enrol(TDdeServerConv* component);
    void Leave(TDdeServerConv* component);

    // The transactions a connection passes on. An empty service means none was named.
    bool AcceptsConnect(const QString& service, const QString& topic) const;
    TDdeSrvrConv& ConfirmConnect(const QString& topic, DdeConnection& connection);
    // The (service, topic) pairs that a wildcard connect lists.
    std::vector<std::pair<QString, QString>> WildConnect(const std::optional<QString>& topic) const;
    // kFack, or 0 when the conversation is bound to a window caption only.
    unsigned Execute(TDdeSrvrConv& conversation, const QByteArray& data);
    // Ends the conversation: OnClose of its component, then the record is freed.
    void Disconnect(TDdeSrvrConv& conversation);
    // The connection is closing; ends its conversation, if any, and forgets the connection.
    void ConnectionClosed(DdeConnection& connection);

    // Takes bytes of the common room for payloads; false when they do not fit.
    bool ReservePayload(std::uint64_t bytes);
    void ReleasePayload(std::uint64_t bytes);
    std::uint64_t PendingPayloads() const { return pendingPayloads_; }

  private:
    struct TopicMatch {
        TDdeServerConv* component = nullptr;
        QString caption;
        bool found = false;
    };

    void Start(std::ostream& diagnostics);
    bool ClaimName(std::ostream& diagnostics);
    void Accept(int descriptor);
    TopicMatch LookupTopic(const QString& topic) const;

    QString serviceName_;
    QString socketPath_;
    DdeListener server_{[this](int descriptor) { Accept(descriptor); }};
    CaptionProvider captions_;
    std::vector<TDdeServerConv*> components_;
    std::vector<std::unique_ptr<TDdeSrvrConv>> conversations_;
    std::vector<DdeConnection*> connections_;
    std::uint64_t pendingPayloads_ = 0;
};

}  // namespace kiv
