#include "cli/DdeCommand.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ostream>
#include <vector>

#include "cli/CommandOptions.h"
#include "cli/DdeClientSocket.h"
#include "cli/FailureLines.h"
#include "messages/MessageCatalogue.h"
#include "runtime/DdeSocketFile.h"

namespace kiv {

namespace {

// The program's name, as the desktop shows it for the window (the window's kApplicationTitle).
constexpr char kProgramName[] = "Pulm Vostra";

}  // namespace

namespace {

constexpr char kDefaultService[] = "kiv";

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool HoldsLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

std::string DdeCommand::Description() const {
    return "Opens a conversation on TOPIC with the command service of the running desktop "
           "program (NAME, kiv unless given), executes each MACRO and prints each answer on a "
           "line of its own: FACK when the topic's component took the macro, 0 when the topic "
           "is a window caption. The exit status is 6 when no window is running, 1 when the topic "
           "is "
           "refused or the service cannot be reached.";
}

std::string DdeCommand::Manual() const {
    return R"(Opens a conversation on _TOPIC_ with the command service of the running *kiv*(1), )"
           R"(executes each _MACRO_ and prints each answer on a line of its own: *FACK* when the topic's )"
           R"(component took the macro, *0* when the topic is a window caption. The program's own topic )"
           R"(is *DdeServerConv1*; *Pulm Vostra*, the program's name, stands for its main window's caption. )"
           R"(Exits with 6 when no window is running (nothing listens at the socket), and with 1 when )"
           R"(the service refuses the topic, cannot be reached or gives no answer within 30 seconds. )"
           R"(Without *XDG_RUNTIME_DIR* (under *cron*, say), the socket is looked for in )"
           R"(_/run/user/UID_ first when that is the user's own private folder.)";
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

    // A session without XDG_RUNTIME_DIR (cron, ssh) still belongs to a user whose desktop
    // window listens in /run/user/UID: that folder is looked in first when it is the user's own.
    std::vector<std::string> paths;
    if (const char* set = std::getenv("XDG_RUNTIME_DIR"); set == nullptr || set[0] == '\0') {
        const std::string own = DdeSocketFileIn("/run/user/" + std::to_string(geteuid()), service);
        if (!own.empty()) paths.push_back(own);
    }
    std::string refusal;
    if (const std::string path = DdeSocketFile(service, &refusal); !path.empty())
        paths.push_back(path);
    if (paths.empty()) {
        context.err << "kiv-cli: " << CliWording(Message::NoRuntimeFolder, {refusal}) << '\n';
        return kExitFailed;
    }
    DdeClientSocket socket(kAnswerLimit);
    std::string looked;
    for (const std::string& path : paths) {
        const std::string failure = socket.Connect(path);
        if (failure.empty()) break;
        if (!socket.NothingListens()) {
            context.err << "kiv-cli: "
                        << CliWording(Message::ServiceUnreachable, {service, path, failure})
                        << '\n';
            return kExitFailed;
        }
        looked += (looked.empty() ? "" : " or ") + path;
        if (path == paths.back()) {
            context.err << "kiv-cli: " << CliWording(Message::NoWindowRunning, {looked}) << '\n';
            return ExitStatusOf(Message::NoWindowRunning);
        }
    }
    const auto noAnswer = [&] {
        context.err << "kiv-cli: " << CliWording(Message::ServiceDidNotAnswer, {service}) << '\n';
        return kExitFailed;
    };

    auto opened = socket.Ask("CONNECT " + service + ' ' + topic + '\n');
    // The service knows the window by its caption; the program's name, which the desktop shows
    // for it, names the same window.
    if (opened && *opened == "REFUSED" && SameName(topic, kProgramName))
        opened = socket.Ask("CONNECT " + service + ' ' + WindowText(Message::WindowCaption) + '\n');
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
