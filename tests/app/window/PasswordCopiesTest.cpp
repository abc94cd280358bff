#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "app/core/EditorDocument.h"
#include "app/window/WindowFixture.h"

namespace kiv {
namespace {

// A password of 20 bytes: the text key keeps 17, a file run all of them.
constexpr char kPassword[] = "Hq7#Lp2$Zx9!Vm4&Tr8*";
constexpr unsigned char kMask = 0x5A;

// Where the password's first twelve characters lie in the process's writable memory, as 8-bit
// bytes or as UTF-16. Memory is read into a mapping of its own, which is passed over, and masked
// there (every byte XOR kMask) as the needle always is, so the search finds neither.
std::vector<std::uintptr_t> PasswordCopiesIn(bool utf16) {
    std::string needle;
    for (int i = 0; i < 12; ++i) {
        needle += char(kPassword[i] ^ kMask);
        if (utf16) needle += char(kMask);
    }
    constexpr std::size_t kChunk = 1 << 20;
    auto* buffer = static_cast<char*>(
        mmap(nullptr, 2 * kChunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    const int mem = open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    std::vector<std::uintptr_t> found;
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        unsigned long start = 0, end = 0;
        char perms[5] = {};
        std::sscanf(line.c_str(), "%lx-%lx %4s", &start, &end, perms);
        // Sanitizers' shadow memory is terabytes of nothing; devices are no memory.
        if (std::strncmp(perms, "rw", 2) != 0 || start == reinterpret_cast<unsigned long>(buffer) ||
            end - start > (1ul << 30) || line.find(" /dev/") != std::string::npos)
            continue;
        for (; start < end; start += kChunk) {
            const ssize_t got =
                pread(mem, buffer, std::min(kChunk + needle.size(), end - start), off_t(start));
            for (ssize_t i = 0; i < got; ++i)
                buffer[i] = char(buffer[i] ^ kMask);
            const std::string_view read(buffer, std::size_t(std::max<ssize_t>(got, 0)));
            for (auto hit = read.find(needle); hit < kChunk && hit != read.npos;
                 hit = read.find(needle, hit + 1))
                found.push_back(start + hit);
        }
    }
    munmap(buffer, 2 * kChunk);
    close(mem);
    return found;
}

using PasswordCopies = WindowFixture;

// Once an action is over, the password is where the user typed it and nowhere else: not in the
// key operand, the workspace, a converted copy or a file run's, on no thread's heap or stack.
TEST_F(PasswordCopies, NoneOutsideTheBoxesAfterATextActionAndAFileRun) {
    const QString plain = folder.filePath(QStringLiteral("plain.txt"));
    WriteFile(plain, "file content");
    auto window = Open();
    window->Lines().SetAll({"a line", "another line"});
    const QString password = QString::fromLatin1(kPassword);
    SetPasswords(*window, password, password);
    window->Button5()->click();
    window->Button6()->click();
    window->RadioButton1()->setChecked(true);
    ui.openAnswer = {plain};
    window->Button2()->click();
    WaitForRun(*window);
    ui.openAnswer = {folder.filePath(QStringLiteral("plain.vrq"))};
    window->Button1()->click();
    WaitForRun(*window);
    ASSERT_EQ(window->Lines().All(),
              (EditorDocument::Lines{"a line" + std::string(11, ' '), "another line     "}));
    ASSERT_EQ(FileBytes(plain), "file content");

    // Both boxes hold the text they were given, which the window never copies.
    const QString boxes = window->Edit1()->text();
    ASSERT_EQ(boxes.constData(), window->Edit2()->text().constData());
    for (const bool utf16 : {false, true})
        for (const std::uintptr_t copy : PasswordCopiesIn(utf16))
            if (copy != reinterpret_cast<std::uintptr_t>(boxes.constData()))
                ADD_FAILURE() << (utf16 ? "UTF-16" : "8-bit") << " copy at " << std::hex << copy;
}

// A box an action shows runs the event loop, and a handler run there (a click, a client of the
// command service) leaves the key to the action that waits for the box.
TEST_F(PasswordCopies, AHandlerRunWhileAnActionWaitsInABoxLeavesItTheKey) {
    auto window = Open();
    const QString foreignLast = TextAdapter::FromBytes(Encrypted("first", "secret")).chopped(1);
    window->Lines().SetAll(
        {TextAdapter::ToBytes(foreignLast + '#'), Encrypted("second", "secret")});
    SetPasswords(*window, "secret", "secret");
    ui.whileShowing = [&] { emit window->ListBox1()->clicked(QModelIndex()); };
    window->Button6()->click();
    EXPECT_EQ(ui.messages, QStringList{"Message changed not true two"});
    EXPECT_EQ(window->Lines().Line(1), "second");
}

}  // namespace
}  // namespace kiv
