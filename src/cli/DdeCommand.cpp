#include "cli/DdeCommand.h"

#include <ostream>

#include "cli/CommandOptions.h"
#include "cli/DdeClientSocket.h"
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

std::string DdeCommand::Manual() const {
    return R"(Opens a conversation on _TOPIC_ with the command service of the running *kiv*(1), )"
           R"(executes each _MACRO_ and prints each answer on a line of its own: *FACK* when the topic's )"
           R"(component took the macro, *0* when the topic is a window caption. The program's own topic )"
           R"(is *DdeServerConv1*. Exits with 1 when the service refuses the topic, cannot be reached or )"
           R"(gives no answer within 30 seconds.)";
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

    std::string refusal;
    const std::string path = DdeSocketFile(service, &refusal);
    if (path.empty()) {
        context.err << "kiv-cli: no runtime folder for the command service: " << refusal << '\n';
        return kExitFailed;
    }
    DdeClientSocket socket(kAnswerLimit);
    if (const std::string failure = socket.Connect(path); !failure.empty()) {
        context.err << "kiv-cli: cannot reach the command service \"" << service << "\" at " << path
                    << ": " << failure << '\n';
        return kExitFailed;
    }
    const auto noAnswer = [&] {
        context.err << "kiv-cli: the command service \"" << service << "\" did not answer\n";
        return kExitFailed;
    };

    const auto opened = socket.Ask("CONNECT " + service + ' ' + topic + '\n');
    if (!opened) return noAnswer();
    if (*opened != "OK") {
        context.err << "kiv-cli: the command service \"" << service << "\" answered " << *opened
                    << " to the topic \"" << topic << "\"\n";
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
