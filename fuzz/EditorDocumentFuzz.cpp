// Fuzz target editor_document: the editor's file reader over any file content. The file lives
// in memory (memfd), so a run costs no disk.
#include <sys/mman.h>
#include <unistd.h>

#include <QString>
#include <cstdint>
#include <string_view>

#include "app/core/EditorDocument.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    static const int fd = memfd_create("kiv-fuzz-editor", MFD_CLOEXEC);
    static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    fuzz::Check(
        fd >= 0 && ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == static_cast<ssize_t>(size),
        "the in-memory file takes the input");

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<EditorDocument::Lines> lines = EditorDocument::Read(path);
    fuzz::Check(lines.has_value(), "a readable file is read");
    fuzz::Check(*lines == EditorDocument::SplitLines(bytes), "reading gives the file's lines");
    for (const std::string& line : *lines)
        fuzz::Check(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
                    "a line holds no line end and no NUL");
    fuzz::Check(EditorDocument::SplitLines(EditorDocument::JoinLines(*lines)) == *lines,
                "a document written and read again keeps its lines");
    return 0;
}
