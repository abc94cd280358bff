// kiv-cli as scripts run it: through a shell, with its exit status, pipes, /dev/full, a closed
// standard output and a terminal (a pty) at the password prompt.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <sstream>

#include "cli/CliContext.h"
#include "support/BindMount.h"
#include "support/ContainerEditor.h"
#include "support/FatMount.h"
#include "support/Process.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::Process;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;
using Shell = testing::ProcessResult;

class CliScript : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteAll(dir / "pw", "script pass\n");
        WriteAll(dir / "a", "alpha bytes");
    }

    // Runs script in the folder, "kiv" (and "$KIV") standing for kiv-cli; standard output and error
    // are kept unless the script sends them elsewhere itself.
    Shell Run(const std::string& script) {
        return Process(
                   {"/bin/sh", "-c",
                    "KIV='" KIV_CLI_PATH "' && kiv() { \"$KIV\" \"$@\"; } && { " + script + "; }"})
            .InFolder(dir.path.string())
            .Run();
    }

    TempFolder dir;
};

TEST_F(CliScript, ExitStatusesTellFailuresApart) {
    ASSERT_EQ(Run("kiv encrypt-files --password-file pw a").status, kExitOk);
    WriteAll(dir / "wrong", "script pasS\n");
    WriteAll(dir / "short", "ab\n");
    const struct {
        std::string script;
        int status;
        std::string err;
    } cases[] = {
        {"kiv list a.vrq", kExitOk, ""},
        {"kiv decrypt-file --password-file pw a.vrq", kExitOk, ""},
        {"head -c 20 a.vrq >cut.vrq; kiv decrypt-file --password-file pw cut.vrq", kExitFailed,
         "kiv-cli: 'cut.vrq' is damaged or not an encrypted file\n"},
        {"kiv decrypt-file", kExitUsage,
         "kiv-cli: no encrypted file given\nTry 'kiv-cli help decrypt-file' for more "
         "information.\n"},
        {"kiv decrypt-file --password-file wrong a.vrq", kExitPassword,
         "kiv-cli: 'a.vrq': wrong password: the file was encrypted with a password of another "
         "length\n"},
        {"kiv encrypt-files --password-file short -o x.vrq a", kExitPassword,
         "kiv-cli: 'x.vrq': a file password must be 3 to 23 bytes long\n"},
        {"kiv decrypt-file --password-file missing a.vrq", kExitInputOutput,
         "kiv-cli: cannot read password file 'missing': No such file or directory\n"},
        {"kiv encrypt-files --password-file pw -o x.vrq missing", kExitInputOutput,
         "kiv-cli: cannot read 'missing': No such file or directory\n"},
        {"mkdir o && mkfifo o/a && kiv decrypt-file --password-file pw -C o a.vrq",
         kExitInputOutput, "kiv-cli: cannot write 'o/a': Not a regular file\n"},
        {"mkdir s && cp a s/c.vrq && kiv encrypt-files --password-file pw -o c.vrq s/c.vrq && "
         "kiv decrypt-file --password-file pw c.vrq",
         kExitFailed,
         "kiv-cli: 1 of the files stored in 'c.vrq' was not restored: its name is unsafe or "
         "taken (-v shows which)\n"},
        // The first failure decides: a line not decrypted, then output that could not be written.
        {"echo nonsense | kiv decrypt-text --password-file pw >/dev/full", kExitFailed,
         "kiv-cli: line 1: written back unchanged: too short to be a cipher text for this "
         "password\nkiv-cli: 1 of 1 lines were not decrypted whole\n"
         "kiv-cli: cannot write standard output: No space left on device\n"},
    };
    for (const auto& c : cases) {
        const Shell shell = Run(c.script);
        EXPECT_EQ(shell.status, c.status) << c.script;
        EXPECT_EQ(shell.err, c.err) << c.script;
    }
    EXPECT_EQ(ReadAll(dir / "a"), "alpha bytes");
}

// The cases of command_lines.txt, in order, each with all it prints.
TEST_F(CliScript, CommandLinesAsWritten) {
    std::istringstream lines(ReadAll(KIV_CLI_CASES_PATH));
    std::string line, script;
    Shell expected{};
    const auto check = [&] {
        if (script.empty()) return;
        const Shell shell = Run(script);
        EXPECT_EQ(shell.status, expected.status) << script << '\n' << shell.err;
        EXPECT_EQ(shell.out, expected.out) << script;
        EXPECT_EQ(shell.err, expected.err) << script;
    };
    while (std::getline(lines, line)) {
        if (line.starts_with("$ ")) {
            check();
            script = line.substr(2);
            expected = {};
            expected.status = 0;  // a case that gives no status exits with 0
        } else if (line.starts_with("? ")) {
            expected.status = std::stoi(line.substr(2));
        } else if (line.starts_with("> ") || line == ">") {
            expected.out += line.substr(std::min<std::size_t>(2, line.size())) + '\n';
        } else if (line.starts_with("! ")) {
            expected.err += line.substr(2) + '\n';
        }
    }
    check();
}

// Every read or write failure of standard input or output is one line with the system's reason.
TEST_F(CliScript, StandardStreamsThatFailAreReported) {
    ASSERT_EQ(Run("kiv encrypt-files --password-file pw a").status, kExitOk);
    mkdir((dir / "folder").c_str(), 0700);
    const std::string full = "kiv-cli: cannot write standard output: No space left on device\n";
    const std::string closed = "kiv-cli: cannot write standard output: Bad file descriptor\n";
    const std::string folder = "kiv-cli: cannot read standard input: Is a directory\n";
    const struct {
        std::string script, err;
    } cases[] = {
        {"echo hi | kiv encrypt-text --password-file pw >/dev/full", full},
        {"kiv list a.vrq >/dev/full", full},
        {"kiv list --json a.vrq >/dev/full", full},
        {"kiv decrypt-file --password-file pw --stdout a.vrq >/dev/full", full},
        {"kiv encrypt-files --password-file pw -o - a >/dev/full", full},
        {"echo hi | kiv encrypt-text --password-file pw >&-", closed},
        {"seq 400000 | kiv encrypt-text --password-file pw >/dev/full", full},  // many batches
        {"seq 400000 | kiv encrypt-text --password-file pw >&-", closed},
        {"kiv list a.vrq >&-", closed},
        {"kiv encrypt-files --password-file pw -o - a >&-", closed},
        {"kiv encrypt-text --password-file pw <folder", folder},
        {"kiv decrypt-text --password-file pw <folder", folder},
        {"kiv encrypt-files --password-file pw --name n -o x.vrq - <folder", folder},
        {"kiv decrypt-file --password-file pw - <folder", folder},
        {"kiv list - <folder", folder},
    };
    for (const auto& c : cases) {
        const Shell shell = Run(c.script);
        EXPECT_EQ(shell.status, kExitInputOutput) << c.script;
        EXPECT_EQ(shell.err, c.err) << c.script;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "x.vrq"));
}

// A line is at most 64 MiB of plain text, or for decrypt-text the cipher text of such a line:
// "script pass" writes 34 characters per 11 bytes, 6100806 x 34 for 2^26 bytes. A longer line,
// or memory that runs out, ends in its line and status, never in an abort; a refused line
// leaves an empty line in its place and the lines after it are still coded.
TEST_F(CliScript, LongLinesAndMemoryThatRunsOutEndInALine) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than these limits allow";
#endif
    WriteAll(dir / "big", std::string(20 << 20, 'b'));
    const std::string q = "head -c 67108864 /dev/zero | tr '\\0' q";
    const std::string outOfMemory = "kiv-cli: out of memory\n";
    const struct {
        std::string script;
        int status;
        std::string out, err;
    } cases[] = {
        {q + " >max; { cat max; echo; } | kiv encrypt-text --password-file pw >c && "
             "kiv decrypt-text --password-file pw <c | wc -c && wc -c <c",
         kExitOk, "67108867\n207427405\n", ""},
        {"{ cat max; printf 'q\\r\\nnext\\n'; } | kiv encrypt-text --password-file pw >c2; s=$?; "
         "kiv decrypt-text --password-file pw <c2; exit $s",
         kExitFailed, "\nnext       \n",
         "kiv-cli: line 1: not encrypted, an empty line stands in its place: longer than 64 MiB "
         "(67108864 bytes)\n"},
        {"{ head -c -1 c; printf 'q\\n'; cat c; } | kiv decrypt-text --password-file pw >d; s=$?; "
         "wc -c <d; exit $s",
         kExitFailed, "67108868\n",
         "kiv-cli: line 1: not decrypted, an empty line stands in its place: longer than "
         "207427404 characters, the cipher text of a 64 MiB line for this password\n"
         "kiv-cli: 1 of 2 lines were not decrypted whole\n"},
        {"ulimit -v 250000; head -c 300000000 /dev/zero | tr '\\0' q | "
         "kiv encrypt-text --password-file pw",
         kExitFailed, "\n",
         "kiv-cli: line 1: not encrypted, an empty line stands in its place: longer than 64 MiB "
         "(67108864 bytes)\n"},
        {"ulimit -v 30000; head -c 30000000 max | kiv encrypt-text --password-file pw",
         kExitStopped, "", outOfMemory},
        {"ulimit -v 30000; head -c 30000000 max | kiv decrypt-text --password-file pw",
         kExitStopped, "", outOfMemory},
        {"ulimit -v 10000; kiv encrypt-files --password-file pw -o big.vrq big", kExitStopped, "",
         outOfMemory},
    };
    for (const auto& c : cases) {
        const Shell shell = Run(c.script);
        EXPECT_EQ(shell.status, c.status) << c.script;
        EXPECT_EQ(shell.out, c.out) << c.script;
        EXPECT_EQ(shell.err, c.err) << c.script;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "big.vrq"));
}

TEST_F(CliScript, TarStreamsThroughBothDirections) {
    mkdir((dir / "tree").c_str(), 0700);
    mkdir((dir / "tree/sub").c_str(), 0700);
    WriteAll(dir / "tree/sub/leaf", "leaf");
    WriteAll(dir / "tree/top", std::string(100000, 't'));
    const Shell shell =
        Run("tar -cf - tree | kiv encrypt-files --password-file pw --name tree.tar -o - - | "
            "kiv decrypt-file --password-file pw --stdout - | tar -tf - | sort");
    EXPECT_EQ(shell.status, kExitOk) << shell.err;
    EXPECT_EQ(shell.out, "tree/\ntree/sub/\ntree/sub/leaf\ntree/top\n");
    EXPECT_EQ(shell.err, "");
    // The stream's name is stored; a container read from standard input restores into the
    // current folder, and --stdout gives every entry in order.
    EXPECT_EQ(Run("echo piped | kiv encrypt-files --password-file pw --name p.txt -o - - a >x.vrq "
                  "&& kiv list - <x.vrq && mkdir back && cd back && "
                  "kiv decrypt-file --password-file ../pw - <../x.vrq && cat p.txt a && cd .. && "
                  "kiv decrypt-file --password-file pw --stdout x.vrq")
                  .out,
              "           6  p.txt\n          11  a\npiped\nalpha bytespiped\nalpha bytes");
}

TEST_F(CliScript, ListingsForScripts) {
    const std::string odd = "caf\xc3\xa9 \"q\"\\\x01\xff";
    WriteAll(dir / odd, "12345");
    ASSERT_EQ(Run("kiv encrypt-files --password-file pw -o x.vrq a 'caf'*").status, kExitOk);
    EXPECT_EQ(
        Run("kiv list --json x.vrq").out,
        "[\n  {\"container\": \"x.vrq\", \"name\": \"a\", \"name_base64\": \"YQ==\", "
        "\"size\": 11},\n  {\"container\": \"x.vrq\", \"name\": \"caf\xc3\xa9 "
        "\\\"q\\\"\\\\\\u0001\\udcff\", \"name_base64\": \"Y2Fmw6kgInEiXAH/\", \"size\": 5}\n]\n");
    EXPECT_EQ(Run("kiv list -0 x.vrq").out, std::string("11\ta\0"
                                                        "5\t",
                                                        7) +
                                                odd + '\0');
    WriteAll(dir / "empty.vrq", "");
    EXPECT_EQ(Run("kiv list --json empty.vrq").out, "[]\n");
    // A stored name with a NUL in it would list as two records under -0: that entry is left out,
    // with its line, and the others are listed.
    WriteAll(dir / "x\00199\tevil.sh", "abc");
    ASSERT_EQ(Run("kiv encrypt-files --password-file pw -o n.vrq a x?99*").status, kExitOk);
    testing::ContainerEditor stored(ReadAll(dir / "n.vrq"), 11);  // "script pass"
    std::string name = stored.Entry(2).Name();
    name[1] = '\0';
    stored.Entry(2).SetName(name);
    WriteAll(dir / "n.vrq", stored.Bytes());
    const Shell nul = Run("kiv list -0 n.vrq");
    EXPECT_EQ(nul.status, kExitFailed);
    EXPECT_EQ(nul.out, std::string("11\ta\0", 5));
    EXPECT_EQ(nul.err,
              "kiv-cli: 'n.vrq': entry 2 \"x\\x0099\\tevil.sh\" has a NUL byte in its name; "
              "not listed\n");
    EXPECT_EQ(Run("kiv list n.vrq").out, "          11  a\n           3  x\\x0099\\tevil.sh\n");
}

TEST_F(CliScript, PasswordsFromTheEnvironmentAndTheirRules) {
    const std::string longPassword = "a password of 30 bytes exactly";
    // One after the other: each writes its warning in more than one write, so two at once on
    // one standard error could mix their lines.
    const Shell round = Run("export KIV_PASSWORD='" + longPassword +
                            "'; echo hello | kiv encrypt-text --password-env KIV_PASSWORD >c && "
                            "kiv decrypt-text --password-env KIV_PASSWORD <c");
    EXPECT_EQ(round.status, kExitOk);
    EXPECT_EQ(round.out, "hello            \n");
    const std::string cut =
        "kiv-cli: warning: only the first 17 bytes of a text password count; any password that "
        "shares them opens these texts\n";
    EXPECT_EQ(round.err, cut + cut);
    EXPECT_EQ(Run("unset NOPE; kiv encrypt-text --password-env NOPE </dev/null").err,
              "kiv-cli: no password was given: the environment variable NOPE is not set\n");
    // "abc\0defgh": 9 bytes, which one path would read as "abc" and another as 9 bytes.
    WriteAll(dir / "nul", std::string("abc\0defgh\n", 10));
    for (const std::string command : {"echo x | kiv encrypt-text", "echo x | kiv decrypt-text",
                                      "kiv encrypt-files -o x.vrq a", "kiv decrypt-file x.vrq"}) {
        const Shell shell = Run(command + " --password-file nul");
        EXPECT_EQ(shell.status, kExitPassword) << command;
        EXPECT_EQ(shell.err, "kiv-cli: the password holds a NUL byte, which no password may hold\n")
            << command;
    }
}

// Folders that FUSE shows: a FAT image (letter case ignored, an inode per spelling, a file
// removed while open kept under a name of its own, for good) and a bindfs view of a folder
// (another device). The container and the sources are known there by their bytes, and standard
// input is refused before a byte of it is read where its copy would stay behind.
TEST_F(CliScript, FuseFoldersLoseNoFileAndKeepNoPlainText) {
    testing::FatMount fat;
    testing::BindMount view;
    if (!fat.Mounted() || !view.Mounted())
        GTEST_SKIP() << "no FAT image or bindfs view could be mounted through FUSE";
    const std::string fatDir = fat.mount.path.string(), under = view.under.path.string(),
                      over = view.path();
    ASSERT_EQ(Run("mkdir s '" + fatDir + "/sub' '" + fatDir + "/tmp' '" + under +
                  "/tmp' && printf payload! >s/X.VRQ && "
                  "kiv encrypt-files --password-file pw -o c.vrq s/X.VRQ a && "
                  "cp c.vrq '" +
                  fatDir + "/sub/X.VRQ' && cp c.vrq '" + under + "/X.VRQ' && cp a '" + fatDir +
                  "/sub/src.txt' && cp a '" + under + "/src.txt' && printf 'secretdata\\n' >secret")
                  .status,
              kExitOk);
    const auto skipped = [](const std::string& container) {
        return "kiv-cli: 1 of the files stored in '" + container +
               "' was not restored: its name is unsafe or taken (-v shows which)\n";
    };
    const auto isSource = [](const std::string& output) {
        return "kiv-cli: cannot write '" + output + "': the encrypted file " + output +
               " would replace one of the files to encrypt. Please choose another name.\n";
    };
    const auto keeps = [](const std::string& folder) {
        return "kiv-cli: cannot hold standard input in a temporary file in TMPDIR: '" + folder +
               "' keeps a file removed while open under another name, as FUSE and network "
               "filesystems do; set TMPDIR to a folder on a local disk\n";
    };
    // Standard input is read after the run, by cat, when kiv-cli left it unread.
    const auto piped = [](const std::string& folder, const std::string& command) {
        return "{ TMPDIR='" + folder + "' kiv " + command + "; s=$?; cat; exit $s; } <secret";
    };
    const struct {
        std::string script;
        int status;
        std::string out, err;
    } cases[] = {
        {"kiv decrypt-file --password-file pw -C '" + fatDir + "/SUB' '" + fatDir + "/sub/X.VRQ'",
         kExitFailed, "", skipped(fatDir + "/sub/X.VRQ")},
        {"kiv decrypt-file --password-file pw -C '" + over + "' '" + under + "/X.VRQ'", kExitFailed,
         "", skipped(under + "/X.VRQ")},
        {"kiv encrypt-files --password-file pw -o '" + fatDir + "/sub/SRC.TXT' '" + fatDir +
             "/sub/src.txt'",
         kExitUsage, "", isSource(fatDir + "/sub/SRC.TXT")},
        {"kiv encrypt-files --password-file pw -o '" + over + "/src.txt' '" + under + "/src.txt'",
         kExitUsage, "", isSource(over + "/src.txt")},
        {piped(fatDir + "/tmp", "encrypt-files --password-file pw --name h -o - - >x.vrq"),
         kExitInputOutput, "secretdata\n", keeps(fatDir + "/tmp")},
        {piped(over + "/tmp", "decrypt-file --password-file pw -"), kExitInputOutput,
         "secretdata\n", keeps(over + "/tmp")},
        {piped(fatDir + "/tmp", "list -"), kExitInputOutput, "secretdata\n",
         keeps(fatDir + "/tmp")},
    };
    for (const auto& c : cases) {
        const Shell shell = Run(c.script);
        EXPECT_EQ(shell.status, c.status) << c.script;
        EXPECT_EQ(shell.out, c.out) << c.script;
        EXPECT_EQ(shell.err, c.err) << c.script;
        EXPECT_TRUE(std::filesystem::is_empty(fatDir + "/tmp")) << c.script;
        EXPECT_TRUE(std::filesystem::is_empty(under + "/tmp")) << c.script;
    }
    const std::string container = ReadAll(dir / "c.vrq");
    EXPECT_EQ(ReadAll(fatDir + "/sub/X.VRQ"), container);
    EXPECT_EQ(ReadAll(under + "/X.VRQ"), container);
    EXPECT_EQ(ReadAll(fatDir + "/sub/a"), "alpha bytes");  // the other entry is restored
    EXPECT_EQ(ReadAll(fatDir + "/sub/src.txt"), "alpha bytes");
    EXPECT_EQ(ReadAll(under + "/src.txt"), "alpha bytes");
}

// A password prompt on a terminal: whatever ends the program there, echo comes back on.
class PasswordPrompt : public ::testing::Test {
  protected:
    // Starts kiv-cli with the words on a new pty.
    void Launch(std::vector<std::string> words) {
        words.insert(words.begin(), KIV_CLI_PATH);
        cli = std::make_unique<Process>(std::move(words));
        ASSERT_TRUE(cli->OnTerminal().Start());
    }
    // Starts a command that asks for the password, and waits for its prompt.
    void Start(const char* command) {
        Launch({command});
        ASSERT_TRUE(cli->AwaitOutput("Password: "));
    }

    std::unique_ptr<Process> cli;
};

TEST_F(PasswordPrompt, SignalsRestoreTheTerminal) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(number));
        Start("encrypt-text");
        EXPECT_FALSE(cli->TerminalEchoes());
        if (number == SIGINT) {
            ASSERT_TRUE(cli->Type("\x03"));  // Ctrl+C as typed
        } else {
            cli->Signal(number);
        }
        const Shell ended = cli->Wait();
        EXPECT_TRUE(ended.Signalled(number)) << ::testing::PrintToString(ended);
        EXPECT_TRUE(cli->TerminalEchoes());
    }
}

TEST_F(PasswordPrompt, CtrlDSaysNoPasswordWasGiven) {
    Start("decrypt-text");
    ASSERT_TRUE(cli->Type("\x04"));
    EXPECT_TRUE(cli->AwaitOutput("kiv-cli: no password was given"));
    const Shell ended = cli->Wait();
    EXPECT_TRUE(ended.Exited(kExitPassword)) << ::testing::PrintToString(ended);
    EXPECT_TRUE(cli->TerminalEchoes());
}

// Binary output is not sent to a terminal (as age refuses to), before the password is asked for.
TEST_F(PasswordPrompt, NoEncryptedFileOnATerminal) {
    TempFolder dir;
    WriteAll(dir / "a", "alpha");
    Launch({"encrypt-files", "-o", "-", dir / "a"});
    EXPECT_TRUE(cli->AwaitOutput(
        "kiv-cli: standard output is a terminal: redirect it, or give -o with a file"));
    const Shell ended = cli->Wait();
    EXPECT_TRUE(ended.Exited(kExitUsage)) << ::testing::PrintToString(ended);
    EXPECT_EQ(ended.out.find("Password"), std::string::npos);
}

}  // namespace
}  // namespace kiv
