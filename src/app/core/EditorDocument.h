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
    // The same for a file that holds the user's secrets (the last-save file): the file, whether
    // new or replaced, is readable by its owner only, and so is any folder created for it.
    static bool WritePrivate(const QString& path, const Lines& lines);

  private:
    static bool WriteFile(const QString& path, const Lines& lines, bool ownerOnly);
};

}  // namespace kiv
