#include "cli/PasswordSource.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/FailureLines.h"
#include "runtime/SecretWipe.h"
#include "runtime/WipeOnExit.h"

namespace kiv {

namespace {

// Reads up to the first LF, one byte at a time so that nothing past the line is consumed from a
// shared descriptor. Returns false on a read error.
// The line is a password: it grows by copies whose old buffers are wiped, and the byte read
// last is wiped too.
bool ReadLine(int fd, std::string& line) {
    WipeText(line);
    line.reserve(256);
    char c = 0;
    for (;;) {
        const ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
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

std::optional<std::string> Prompt(int tty, const char* question) {
    termios saved{};
    const bool isTerminal = tcgetattr(tty, &saved) == 0;
    if (isTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    (void)!write(tty, question, std::strlen(question));
    std::string line;
    const bool ok = ReadLine(tty, line);
    if (isTerminal) tcsetattr(tty, TCSAFLUSH, &saved);
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
            result.error =
                "cannot read password file '" + *source.file + "': " + std::strerror(errno);
            return result;
        }
        const bool ok = ReadLine(fd, line);
        const int saved = errno;
        close(fd);
        if (!ok) {
            result.error =
                "cannot read password file '" + *source.file + "': " + std::strerror(saved);
            return result;
        }
        result.password = line;
        return result;
    }
    if (source.fd) {
        if (!ReadLine(*source.fd, line)) {
            result.error = "cannot read password from descriptor " + std::to_string(*source.fd) +
                           ": " + std::strerror(errno);
            return result;
        }
        result.password = line;
        return result;
    }
    const int tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) {
        result.error = "no terminal to ask for the password: use --password-file or --password-fd";
        return result;
    }
    auto first = Prompt(tty, "Password: ");
    std::optional<std::string> second = first;
    if (first && confirm) second = Prompt(tty, "Repeat password: ");
    const WipeOnExit wipeFirst(first ? *first : line);
    const WipeOnExit wipeSecond(second ? *second : line);
    close(tty);
    if (!first || !second) {
        result.error = "cannot read the password from the terminal";
        return result;
    }
    if (*first != *second) {
        result.mismatch = true;
        result.error = kPasswordsDiffer;
        return result;
    }
    result.password = *first;
    return result;
}

}  // namespace kiv
