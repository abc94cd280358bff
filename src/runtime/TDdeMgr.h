#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
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

    // Claims <runtime folder>/<serviceName>. When a live copy of the program holds that name,
    // this one serves nothing and says so on diagnostics; a socket left by a copy that died is
    // taken over. Throws EDdeError when the service cannot be started at all.
    explicit TDdeMgr(const QString& serviceName, std::ostream& diagnostics = std::cerr,
                     QObject* parent = nullptr);
    ~TDdeMgr() override;

    // The executable's file name without its folder and from its first "." on.
    static QString ServiceNameFor(const QString& executablePath);
    // The socket's path; empty when the system offers no runtime folder.
    static QString SocketPathFor(const QString& serviceName);
    // A macro text up to its first NUL byte, split at CR, LF or CR LF; a break at the very end
    // adds no empty line.
    static QStringList SplitMacroLines(const QByteArray& data);

    const QString& ServiceName() const { return serviceName_; }
    const QString& SocketPath() const { return socketPath_; }
    bool IsServing() const { return server_.isListening(); }

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
};

}  // namespace kiv
