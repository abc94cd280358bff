#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QFile>
#include <QRect>
#include <QSettings>
#include <cstdlib>
#include <fstream>

#include "app/core/IntegerConversionError.h"
#include "app/core/PlainIniFormat.h"
#include "app/core/SettingsKey.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

const QString kName = QStringLiteral("SOFTWARE/Pulm/Kiv/sifre");

QString Latin1(const char* bytes, std::size_t size) {
    return QString::fromLatin1(bytes, static_cast<qsizetype>(size));
}

// The value as format reads it from a copy of path: QSettings keeps what it read or wrote of a
// file, whatever the format, until the file changes.
QVariant Reading(const std::string& path, QSettings::Format format) {
    const std::string copy = path + ".copy";
    testing::WriteAll(copy, testing::ReadAll(path));
    return QSettings(QString::fromStdString(copy), format).value(kName);
}

// Read here, a value IniFormat writes is the text it wrote; a value in one of IniFormat's own
// notations is the text it spells. Written here, each text reads back the same with IniFormat,
// and a text comes out in the very bytes IniFormat writes for it.
TEST(PlainIniFormat, TextsCrossBetweenIniFormatAndOursUnchanged) {
    testing::TempFolder folder;
    // Long, yet its file stays within the size a settings file may have.
    QString longText;
    while (longText.size() < 16384)
        longText += QString::fromUtf8("Işık, \"ğ\" \\ ; = 🔑\t");
    const struct {
        const char* what;
        QVariant written;
        QString text;
    } cases[] = {
        {"empty", QString(), QString()},
        {"blanks", QStringLiteral("  lead and trail\t "), QStringLiteral("  lead and trail\t ")},
        {"separators", QStringLiteral("a,b;c=d , ;"), QStringLiteral("a,b;c=d , ;")},
        {"quotes", QStringLiteral("\"q\" \"\"\""), QStringLiteral("\"q\" \"\"\"")},
        {"backslashes", QStringLiteral("\\ \\\\x41 \\0 end\\"),
         QStringLiteral("\\ \\\\x41 \\0 end\\")},
        {"at", QStringLiteral("@"), QStringLiteral("@")},
        {"double at", QStringLiteral("@@x"), QStringLiteral("@@x")},
        {"a serialized type's spelling", QStringLiteral("@Variant(\\0\\0\\0\\v\\xf0\\0\\0\\0)"),
         QStringLiteral("@Variant(\\0\\0\\0\\v\\xf0\\0\\0\\0)")},
        {"the same with its bytes", Latin1("@Variant(\0\0\0\v\xf0\0\0\0)", 18),
         Latin1("@Variant(\0\0\0\v\xf0\0\0\0)", 18)},
        {"control characters",
         Latin1("\a\b\f\n\r\t\v\x01\x1f\x7f|\0"
                "1f\x80",
                16),
         Latin1("\a\b\f\n\r\t\v\x01\x1f\x7f|\0"
                "1f\x80",
                16)},
        {"Turkish", QString::fromUtf8("Işık ğüşöç İĞÜŞÖÇ"), QString::fromUtf8("Işık ğüşöç İĞÜŞÖÇ")},
        {"emoji", QString::fromUtf8("🔑 key"), QString::fromUtf8("🔑 key")},
        {"a long text", longText, longText},
        {"byte array", QByteArray("x"), QStringLiteral("@ByteArray(x)")},
        {"rectangle", QRect(1, 2, 3, 4), QStringLiteral("@Rect(1 2 3 4)")},
        {"list", QStringList{"a", " b c"}, QStringLiteral("a, b c")},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string byQt = folder / ("qt" + std::to_string(++number) + ".ini");
        const std::string byUs = folder / ("ours" + std::to_string(number) + ".ini");
        QSettings(QString::fromStdString(byQt), QSettings::IniFormat).setValue(kName, c.written);
        EXPECT_EQ(Reading(byQt, PlainIniFormat::Format()).toString(), c.text);

        QSettings(QString::fromStdString(byUs), PlainIniFormat::Format()).setValue(kName, c.text);
        EXPECT_EQ(Reading(byUs, QSettings::IniFormat), c.text);
        if (c.written.typeId() == QMetaType::QString) {
            EXPECT_EQ(testing::ReadAll(byUs), testing::ReadAll(byQt));
        }
    }
}

// Files edited by hand read as IniFormat reads them, except that nothing is decoded as a type.
TEST(PlainIniFormat, HandEditedFilesReadAsIniFormatReadsThem) {
    testing::TempFolder folder;
    // As long as a settings file may be.
    QByteArray longLine = "[SOFTWARE]\nPulm\\Kiv\\sifre=";
    const qsizetype longest = PlainIniFormat::kMaxFileSize - longLine.size();
    longLine += QByteArray(longest, 'y');
    const struct {
        const char* what;
        QByteArray bytes;
        QString text;
        bool qtAgrees;
    } cases[] = {
        {"comments, blank lines, CR LF and a byte order mark",
         "\xEF\xBB\xBF; by hand\r\n\r\n[SOFTWARE]\r\n  Pulm\\Kiv\\sifre = two words ; note\r\n",
         "two words", true},
        // IniFormat looks for a key with a "/" only in sections, unless it has read them all.
        {"outside any section", "SOFTWARE/Pulm/Kiv/sifre=top\n[Other]\nx=1\n", "top", false},
        {"the later of two", "[SOFTWARE]\nPulm\\Kiv\\sifre=1\n[SOFTWARE]\nPulm\\Kiv\\sifre=2\n",
         "2", true},
        {"a line without '='", "[SOFTWARE]\njust words\nPulm\\Kiv\\sifre=5\n", "5", true},
        {"escaped key parts", "[SOFTWARE]\nPulm\\Kiv\\%73%U0069fre=k\n", "k", true},
        {"unquoted list", "[SOFTWARE]\nPulm\\Kiv\\sifre= a , \"b \",@@c \n", "a,b ,@c", true},
        {"continued line", "[SOFTWARE]\nPulm\\Kiv\\sifre=one\\\r\ntwo\n", "onetwo", true},
        {"line break in quotes", "[SOFTWARE]\nPulm\\Kiv\\sifre=\"a\nb\"\n", "a\nb", true},
        {"a text with NUL", "[SOFTWARE]\nPulm\\Kiv\\sifre=@String(a\\0b)\n", Latin1("a\0b", 3),
         true},
        {"a very long line", longLine, QString(longest, u'y'), true},
        {"a type's notation", "[SOFTWARE]\nPulm\\Kiv\\sifre=@ByteArray(x)\n", "@ByteArray(x)",
         false},
        // IniFormat drops a byte order mark that begins a value, and a text that begins with
        // U+FEFF, which it writes as those bytes, then loses its first character.
        {"a value that begins with a byte order mark",
         "[SOFTWARE]\nPulm\\Kiv\\sifre=\xEF\xBB\xBFx\n", QStringLiteral("\uFEFFx"), false},
        {"U+FEFF as an escape", "[SOFTWARE]\nPulm\\Kiv\\sifre=\\xfeff\n", QStringLiteral("\uFEFF"),
         false},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder / (std::to_string(++number) + ".ini");
        testing::WriteAll(path, c.bytes.toStdString());
        testing::WriteAll(path + ".qt", c.bytes.toStdString());
        EXPECT_EQ(Reading(path, PlainIniFormat::Format()).toString(), c.text);
        if (c.qtAgrees) {
            // IniFormat gives a list as such; earlier versions joined it as here.
            const QVariant qt = Reading(path + ".qt", QSettings::IniFormat);
            EXPECT_EQ(qt.typeId() == QMetaType::QStringList ? qt.toStringList().join(u',') : qt,
                      c.text);
        }
    }
}

// Texts IniFormat cannot carry through a file of its own read back from ours as they were.
TEST(PlainIniFormat, TextsIniFormatLosesReadBackAsWritten) {
    testing::TempFolder folder;
    const QString texts[] = {
        QStringLiteral("\uFEFF"),
        QStringLiteral("\uFEFF\uFEFFx"),
        QStringLiteral("\uFEFF,\uFEFF"),
        QString(QChar(0xD800)) + QStringLiteral("a\uFEFF"),
    };
    int number = 0;
    for (const QString& text : texts) {
        SCOPED_TRACE(number);
        const std::string path = folder / ("ours" + std::to_string(++number) + ".ini");
        QSettings(QString::fromStdString(path), PlainIniFormat::Format()).setValue(kName, text);
        EXPECT_EQ(Reading(path, PlainIniFormat::Format()).toString(), text);
    }
}

// Leaves the process room for a gigabyte more than it holds now (not under AddressSanitizer,
// whose shadow memory needs terabytes of address space).
void LimitAddressSpace() {
#if !defined(__SANITIZE_ADDRESS__)
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (1 << 30);
    const rlimit space = {limit, limit};
    setrlimit(RLIMIT_AS, &space);
#endif
}

bool LoadsAsTextsThatAreNoNumbers(const std::string& user, const std::string& machine) {
    const SettingsKey key(QString::fromStdString(user), QString::fromStdString(machine));
    bool defined = key.ReadText("Top") == Latin1("@Variant(\0\0\0\v\xf0\0\0\0)", 18) &&
                   key.ReadText("Left") == Latin1("@Variant(\0\0\0\t\xf0\0\0\0)", 18);
    for (const char* name : {"Top", "Left"}) {
        try {
            key.ReadInteger(name);
            defined = false;
        } catch (const IntegerConversionError&) {
        }
    }
    return defined;
}

// Ends a death test's child, which runs the test afresh in a new process (the threadsafe style)
// and so made a folder of its own: std::exit runs no destructor that would remove it.
[[noreturn]] void ExitLeavingNothing(testing::TempFolder& folder, bool passed) {
    std::error_code ignored;
    std::filesystem::remove_all(folder.path, ignored);
    std::exit(passed ? 0 : 1);
}

// The fuzzer's file, on which IniFormat asks for 96 GB and 128 GB, loads in a small address
// space, each value as the text it spells: not a number, as for any other such text.
TEST(PlainIniFormat, ACraftedSerializedValueLoadsAsItsTextInLittleMemory) {
    testing::TempFolder folder;
    const std::string user = folder / "Kiv.ini";
    const std::string machine = folder / "Machine.ini";
    testing::WriteAll(user, "[SOFTWARE]\nPulm\\Kiv\\Top=@Variant(\\0\\0\\0\\v\\xf0\\0\\0\\0)\n");
    testing::WriteAll(machine,
                      "[SOFTWARE]\nPulm\\Kiv\\Left=@Variant(\\0\\0\\0\\t\\xf0\\0\\0\\0)\n");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            LimitAddressSpace();
            const bool loaded = LoadsAsTextsThatAreNoNumbers(user, machine);
            ExitLeavingNothing(folder, loaded);
        },
        ::testing::ExitedWithCode(0), "");
}

// A settings file of up to 64 KiB loads; one byte more, or a file of gigabytes, is unreadable as
// a whole (the store's read error) and costs no memory to find so. Nothing larger is written.
TEST(PlainIniFormat, AFileBeyondSixtyFourKibibytesIsUnreadable) {
    testing::TempFolder folder;
    const std::string user = folder / "Kiv.ini";
    const std::string none = folder / "None.ini";
    const std::string head = "[SOFTWARE]\nPulm\\Kiv\\Top=12\n;";
    for (const qint64 size : {PlainIniFormat::kMaxFileSize, PlainIniFormat::kMaxFileSize + 1}) {
        SCOPED_TRACE(size);
        testing::WriteAll(user, head + std::string(size - head.size(), 'x'));
        const SettingsKey key(QString::fromStdString(user), QString::fromStdString(none));
        const bool readable = size == PlainIniFormat::kMaxFileSize;
        EXPECT_EQ(key.ReadError().isEmpty(), readable) << key.ReadError().toStdString();
        EXPECT_EQ(key.ReadText("Top"), readable ? "12" : "");
    }
    const std::string huge = folder / "Huge.ini";
    testing::WriteAll(huge, head);
    ASSERT_EQ(truncate(huge.c_str(), off_t{3} << 30), 0);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            LimitAddressSpace();
            const SettingsKey key(QString::fromStdString(huge), QString::fromStdString(none));
            ExitLeavingNothing(folder, key.ReadError() == "The settings in '" +
                                                              QString::fromStdString(huge) +
                                                              "' cannot be read");
        },
        ::testing::ExitedWithCode(0), "");

    SettingsKey key(QString::fromStdString(folder / "New.ini"), QString::fromStdString(none));
    key.WriteText("sifre", QString(PlainIniFormat::kMaxFileSize, 'p'));
    EXPECT_FALSE(key.Commit());
}

}  // namespace
}  // namespace kiv
