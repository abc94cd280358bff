#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

namespace kiv {

class DdeConnection;
class TDdeServerConv;

// One open conversation, from an accepted CONNECT until DISCONNECT or the client going away.
// Its connection keeps a pointer to it, so every later request finds it at once.
struct TDdeSrvrConv {
    QString topic;  // as the client wrote it
    // Set when the topic named an enrolled component. The pointer turns null when the component
    // is destroyed before the conversation ends; the conversation then fires no more events.
    bool boundToComponent = false;
    QPointer<TDdeServerConv> component;
    QString caption;  // the window caption that matched, when no component did
    DdeConnection* conversation = nullptr;
    QStringList adviseItems;  // no item can be advised, so this stays empty
};

}  // namespace kiv
