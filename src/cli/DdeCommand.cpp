#include "cli/DdeCommand.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/CommandOptions.h"
#include "runtime/DdeSocketPath.h"

namespace kiv {

namespace {

constexpr char kDefaultService[] = "kiv";
// The desktop program answers at once unless one of its dialogs is busy; this only keeps
// kiv-cli from waiting for ever on a hung program.
constexpr int kAnswerMilliseconds = 30000;

bool HoldsLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// Sends one request and reads its one-line answer, without the line end.
std::optional<QByteArray> Ask(QLocalSocket& socket, const QByteArray& request) {
    socket.write(request);
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kAnswerMilliseconds)) return std::nullopt;
    }
    return socket.readLine().chopped(1);
}

}  // namespace

std::string DdeCommand::Description() const {
    return "Opens a conversation on TOPIC with the command service of the running desktop "
           "program (NAME, kiv unless given), executes each MACRO and prints each answer on a "
           "line of its own: FACK when the topic's component took the macro, 0 when the topic "
           "is a window caption. The exit status is 1 when the topic is refused or the service "
           "cannot be reached.";
}

void DdeCommand::Declare(CLI::App& command) {
    DeclareValue(command, "--service", "the command service to talk to", "NAME", service_);
    DeclareOperand(command, "TOPIC", "the topic to open a conversation on", topic_);
    DeclareOperands(command, "MACRO", "the macros to execute, in order", macros_, false);
}

int DdeCommand::Run(CliContext& context) {
    const std::string service = service_.value_or(kDefaultService);
    if (service.empty() || service.find_first_of("/ \r\n") != std::string::npos)
        return UsageError(context, "'" + service + "' cannot be a service name");
    const std::string& topic = topic_;
    if (HoldsLineBreak(topic)) return UsageError(context, "a topic cannot hold a line break");

    // Local sockets need an application object for their notifiers.
    std::unique_ptr<QCoreApplication> application;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "kiv-cli";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QCoreApplication>(argc, argv);
    }

    std::string refusal;
    const QString path = DdeSocketPath(QString::fromStdString(service), &refusal);
    if (path.isEmpty()) {
        context.err << "kiv-cli: no runtime folder for the command service: " << refusal << '\n';
        return kExitFailed;
    }
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(kAnswerMilliseconds)) {
        context.err << "kiv-cli: cannot reach the command service \"" << service << "\" at "
                    << path.toStdString() << ": " << socket.errorString().toStdString() << '\n';
        return kExitFailed;
    }
    const auto noAnswer = [&] {
        context.err << "kiv-cli: the command service \"" << service << "\" did not answer\n";
        return kExitFailed;
    };

    const QByteArray topicBytes = QByteArray::fromStdString(topic);
    const auto opened =
        Ask(socket, "CONNECT " + QByteArray::fromStdString(service) + ' ' + topicBytes + '\n');
    if (!opened) return noAnswer();
    if (*opened != "OK") {
        context.err << "kiv-cli: the command service \"" << service << "\" answered "
                    << opened->toStdString() << " to the topic \"" << topic << "\"\n";
        return kExitFailed;
    }
    int status = kExitOk;
    for (auto macro = macros_.begin(); macro != macros_.end(); ++macro) {
        const auto answer = Ask(socket, "EXECUTE " + QByteArray::number(macro->size()) + '\n' +
                                            QByteArray::fromStdString(*macro));
        if (!answer) return noAnswer();
        context.out << answer->toStdString() << '\n';
        if (answer->startsWith("ERROR")) status = kExitFailed;
    }
    if (!Ask(socket, "DISCONNECT\n")) return noAnswer();
    return status;
}

}  // namespace kiv
