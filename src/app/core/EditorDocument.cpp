#include "app/core/EditorDocument.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "app/core/PrivateFile.h"
#include "app/core/PrivateFolder.h"

namespace kiv {

const EditorDocument::Lines& EditorDocument::SampleLines() {
    static const Lines lines = {
        "Webmail password: 123456",
        "Cloud storage password: 123456",
        "Video chat password: 123456",
        "",
        "ABank Password: 123456",
        "BBank Password: 123456",
        "CBank Password: 123456",
        "",
        "Order: Fly",
        "Order: Go",
        "Order: Left",
        "Order: Right",
        "Order: Up",
        "Order: Down",
        "Order: Fire",
        "",
        "Order: Buy",
        "Order: Sell ",
        "",
    };
    return lines;
}

EditorDocument::Lines EditorDocument::SplitLines(std::string_view bytes) {
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    Lines lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            line.push_back(c);
            continue;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty() || !lines.empty()) lines.push_back(std::move(line));
    return lines;
}

std::string EditorDocument::JoinLines(const Lines& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

std::optional<EditorDocument::Lines> EditorDocument::Read(const QString& path) {
    // Opened without blocking so that a FIFO cannot stall the window, and only a regular file is
    // read: a device such as /dev/zero would never end.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return SplitLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

bool EditorDocument::Write(const QString& path, const Lines& lines) {
    const std::string text = JoinLines(lines);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(text.data(), static_cast<qint64>(text.size())) !=
        static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<EditorDocument::Lines> EditorDocument::ReadPrivate(const QString& path,
                                                                 QString& why) {
    const std::optional<std::string> bytes = PrivateFile::Read(path, kLargestPrivate, why);
    if (!bytes) return std::nullopt;
    return SplitLines(*bytes);
}

bool EditorDocument::WritePrivate(const QString& path, const Lines& lines, QString& why) {
    // A folder that cannot be made is said by the write, which then finds none.
    MakePrivateFolder(QFileInfo(path).path());
    return PrivateFile::Replace(path, JoinLines(lines), why);
}

}  // namespace kiv
