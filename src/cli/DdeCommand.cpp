#include "cli/DdeCommand.h"

#include <ostream>

#include "cli/CommandOptions.h"
#include "cli/DdeClientSocket.h"
#include "cli/FailureLines.h"
#include "messages/MessageCatalogue.h"
#include "runtime/DdeSocketFile.h"

namespace kiv {

namespace {

constexpr char kDefaultService[] = "kiv";

bool HoldsLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
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
        return UsageError(context, CliWording(Message::NotAServiceName, {service}));
    const std::string& topic = topic_;
    if (HoldsLineBreak(topic)) return UsageError(context, CliText(Message::TopicHoldsLineBreak));

    std::string refusal;
    const std::string path = DdeSocketFile(service, &refusal);
    if (path.empty()) {
        context.err << "kiv-cli: " << CliWording(Message::NoRuntimeFolder, {refusal}) << '\n';
        return kExitFailed;
    }
    DdeClientSocket socket(kAnswerLimit);
    if (const std::string failure = socket.Connect(path); !failure.empty()) {
        context.err << "kiv-cli: "
                    << CliWording(Message::ServiceUnreachable, {service, path, failure}) << '\n';
        return kExitFailed;
    }
    const auto noAnswer = [&] {
        context.err << "kiv-cli: " << CliWording(Message::ServiceDidNotAnswer, {service}) << '\n';
        return kExitFailed;
    };

    const auto opened = socket.Ask("CONNECT " + service + ' ' + topic + '\n');
    if (!opened) return noAnswer();
    if (*opened != "OK") {
        context.err << "kiv-cli: " << CliWording(Message::TopicRefused, {service, *opened, topic})
                    << '\n';
        return kExitFailed;
    }
    int status = kExitOk;
    for (const std::string& macro : macros_) {
        const auto answer = socket.Ask("EXECUTE " + std::to_string(macro.size()) + '\n' + macro);
        if (!answer) return noAnswer();
        context.out << *answer << '\n';
        if (answer->starts_with("ERROR")) status = kExitFailed;
    }
    if (!socket.Ask("DISCONNECT\n")) return noAnswer();
    return status;
}

}  // namespace kiv
