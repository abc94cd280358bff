#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

// The editor's document as a file: 8-bit lines separated by CR LF, no line end after the last
// line. Reading accepts CR LF, a lone CR and a lone LF, and the text ends at its first NUL.
class EditorDocument {
  public:
    using Lines = std::vector<std::string>;

    // The nineteen lines a new window starts with.
    static const Lines& SampleLines();

    static Lines SplitLines(std::string_view bytes);
    static std::string JoinLines(const Lines& lines);

    // Nothing when the file cannot be read or is not a regular file (a FIFO, a device, a folder).
    static std::optional<Lines> Read(const QString& path);
    // Writes to a temporary file beside path and renames it when complete, so a failed write
    // never leaves a half-written document in place. False when anything failed.
    static bool Write(const QString& path, const Lines& lines);

    // The last-save file holds the user's secrets and may lie beside a start file in a folder
    // that others share: it is read and replaced only as the user's own regular file there
    // (PrivateFile), readable by its owner only, and any folder made for it too. A larger file
    // than this is not read: the window would need many times its size.
    static constexpr qint64 kLargestPrivate = qint64{64} << 20;
    // why says why not, in English, unless the file is simply not there.
    static std::optional<Lines> ReadPrivate(const QString& path, QString& why);
    static bool WritePrivate(const QString& path, const Lines& lines, QString& why);
};

}  // namespace kiv
