#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

namespace kiv {

class TDdeMgr;

// The topic the command service offers: its object name. The window owns it; it enrols with
// the manager when created and leaves when destroyed, so conversations on its topic are only
// accepted while it exists.
class TDdeServerConv : public QObject {
    Q_OBJECT
  public:
    TDdeServerConv(TDdeMgr& manager, QObject* owner,
                   const QString& name = QStringLiteral("DdeServerConv1"));
    ~TDdeServerConv() override;

  signals:
    // A client opened a conversation on this topic.
    void OnOpen();
    // A client executed a macro; the text arrives split at CR, LF or CR LF.
    void OnExecuteMacro(const QStringList& lines);
    // A conversation on this topic ended by the client's DISCONNECT or by its going away.
    void OnClose();

  private:
    QPointer<TDdeMgr> manager_;
};

}  // namespace kiv
