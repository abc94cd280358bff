#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// A file of the user's alone that may lie in a folder other accounts write to (beside a start
// file in /tmp, say), where anyone can put a symbolic link, a file of their own or a FIFO at its
// name before the program comes. Only the user's own regular file is read or replaced there;
// whatever else holds the name stays as it is, and a link is never followed. Every check is
// made on the descriptor that is then read, or on the entry the rename then replaces, so that
// nothing can be swapped in between. why, where a call fails, says why in English for standard
// error ("it is a symbolic link"); it stays empty when a file to read is simply not there.
class PrivateFile {
  public:
    // The file's bytes, or nothing when it is missing, refused (not the user's own regular file,
    // or larger than limit bytes) or cannot be read.
    static std::optional<std::string> Read(const QString& path, qint64 limit, QString& why);

    // Puts bytes in place of path through a new temporary file beside it (mode 600, created so
    // that nothing already there is opened), which is flushed and renamed over the name: a name
    // that was free is taken only while it still is, and the user's own file is replaced only
    // while it is still that file. False, with nothing changed, when anything else holds the
    // name or a step fails.
    static bool Replace(const QString& path, std::string_view bytes, QString& why);
};

}  // namespace kiv
