#include "cli/PasswordSource.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "cli/FailureLines.h"
#include "runtime/SecretWipe.h"
#include "runtime/WipeOnExit.h"

namespace kiv {

namespace {

// Reads up to the first LF, one byte at a time so that nothing past the line is consumed from a
// shared descriptor. Returns false on a read error. ended tells an input that ended before
// anything was read (Ctrl+D on an empty terminal line) from an empty line.
bool ReadLine(int fd, std::string& line, bool* ended = nullptr) {
    // The line is a password: it grows by copies whose old buffers are wiped, and the byte read
    // last is wiped too.
    WipeText(line);
    line.reserve(256);
    char c = 0;
    for (;;) {
        const ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0 && ended != nullptr) *ended = line.empty();
        if (got == 0 || c == '\n') break;
        if (line.size() == line.capacity()) {
            std::string grown;
            grown.reserve(2 * line.capacity());
            grown = line;
            WipeText(line);
            line.swap(grown);
        }
        line.push_back(c);
        if (line.size() > 1 << 20) break;  // a password file is not a data file
    }
    WipeBytes(&c, sizeof c);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// While a prompt has echo off, a signal that ends the process must not leave the terminal so:
// the shell, make or a Python caller would leave the user typing blind. The handler puts the
// settings back and hands the signal on to what handled it before (the default end, or the
// removal of temporary files). The state is where a handler can reach it.
constexpr int kPromptSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
volatile sig_atomic_t promptTty = -1;
termios promptSaved{};
struct sigaction promptPrevious[std::size(kPromptSignals)];

void RestoreTerminalAndEnd(int signal) {
    const int tty = promptTty;
    if (tty >= 0) {
        tcsetattr(tty, TCSAFLUSH, &promptSaved);
        (void)!write(tty, "\n", 1);
    }
    for (std::size_t i = 0; i < std::size(kPromptSignals); ++i)
        if (kPromptSignals[i] == signal) sigaction(signal, &promptPrevious[i], nullptr);
    raise(signal);  // delivered to the previous handler once this one returns
}

void GuardPrompt(int tty, const termios& saved) {
    promptSaved = saved;
    promptTty = tty;
    struct sigaction guard {};
    guard.sa_handler = RestoreTerminalAndEnd;
    sigemptyset(&guard.sa_mask);
    for (std::size_t i = 0; i < std::size(kPromptSignals); ++i) {
        sigaction(kPromptSignals[i], &guard, &promptPrevious[i]);
        // A signal the process was started with ignored stays ignored.
        if (promptPrevious[i].sa_handler == SIG_IGN)
            sigaction(kPromptSignals[i], &promptPrevious[i], nullptr);
    }
}

void UnguardPrompt() {
    for (std::size_t i = 0; i < std::size(kPromptSignals); ++i)
        sigaction(kPromptSignals[i], &promptPrevious[i], nullptr);
    promptTty = -1;
}

// Asks question on the terminal with echo off. Nothing when the terminal could not be read;
// ended is set when it ended (Ctrl+D) before a line.
std::optional<std::string> Prompt(int tty, const char* question, bool& ended) {
    termios saved{};
    const bool isTerminal = tcgetattr(tty, &saved) == 0;
    if (isTerminal) {
        GuardPrompt(tty, saved);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    (void)!write(tty, question, std::strlen(question));
    std::string line;
    const bool ok = ReadLine(tty, line, &ended);
    if (isTerminal) {
        tcsetattr(tty, TCSAFLUSH, &saved);
        UnguardPrompt();
    }
    (void)!write(tty, "\n", 1);
    std::optional<std::string> answer;
    if (ok) answer = line;
    WipeText(line);
    return answer;
}

}  // namespace

PasswordReading ReadPassword(const PasswordSource& source, bool confirm) {
    PasswordReading result;
    std::string line;
    const WipeOnExit wipeLine(line);
    if (source.file) {
        const int fd = open(source.file->c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            result.error =
                CliWording(Message::CannotReadPasswordFile, {*source.file, std::strerror(error)});
            result.unreadable = true;
            return result;
        }
        const bool ok = ReadLine(fd, line);
        const int saved = errno;
        close(fd);
        if (!ok) {
            result.error =
                CliWording(Message::CannotReadPasswordFile, {*source.file, std::strerror(saved)});
            result.unreadable = true;
            return result;
        }
        result.password = line;
        return result;
    }
    if (source.fd) {
        if (!ReadLine(*source.fd, line)) {
            const int error = errno;
            result.error = CliWording(Message::CannotReadPasswordDescriptor,
                                      {std::to_string(*source.fd), std::strerror(error)});
            result.unreadable = true;
            return result;
        }
        result.password = line;
        return result;
    }
    if (source.environment) {
        const char* value = std::getenv(source.environment->c_str());
        if (value == nullptr) {
            result.error = CliWording(Message::PasswordVariableUnset, {*source.environment});
            return result;
        }
        result.password = value;
        return result;
    }
    const int tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) {
        result.error = CliText(Message::NoTerminalForPassword);
        return result;
    }
    bool ended = false;
    auto first = Prompt(tty, CliText(Message::TerminalPasswordPrompt), ended);
    std::optional<std::string> second = first;
    if (first && !ended && confirm)
        second = Prompt(tty, CliText(Message::TerminalRepeatPrompt), ended);
    const WipeOnExit wipeFirst(first ? *first : line);
    const WipeOnExit wipeSecond(second ? *second : line);
    close(tty);
    if (ended) {
        result.error = CliText(Message::NoPasswordGiven);
        return result;
    }
    if (!first || !second) {
        result.error = CliText(Message::CannotReadPasswordTerminal);
        result.unreadable = true;
        return result;
    }
    if (*first != *second) {
        result.mismatch = true;
        result.error = CliWording(Message::PasswordsDiffer);
        return result;
    }
    result.password = *first;
    return result;
}

}  // namespace kiv
