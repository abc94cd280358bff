#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/KivCli.h"
#include "support/FixedClock.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome RunCli(const std::vector<std::string>& words) {
    std::istringstream in;
    std::ostringstream out, err;
    FixedClock clock{1700000000, LocalTime{2026, 12, 7, 10, 0, 0, 0}};
    CliContext context{in, out, err, clock};
    const int status = RunKivCli(words, context);
    return {status, out.str(), err.str()};
}

// The hint after a usage error: the help of the command the words name, else the program's.
std::string Hint(const std::vector<std::string>& words) {
    const std::vector<std::string> commands = {
        "encrypt-text", "decrypt-text", "encrypt-files", "decrypt-file", "test", "list", "dde"};
    for (const std::string& word : words) {
        if (word.starts_with("-")) continue;
        if (std::find(commands.begin(), commands.end(), word) != commands.end())
            return "Try 'kiv-cli help " + word + "' for more information.\n";
        break;
    }
    return "Try 'kiv-cli --help' for more information.\n";
}

TEST(CommandLineTest, UsageErrorsAreWordedForTheCommandLineAndExitTwo) {
    const struct {
        std::vector<std::string> words;
        std::string message;
    } cases[] = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"--colour", "list", "x.vrq"}, "unknown option '--colour'"},
        {{"encrypt-text", "--colour=red"}, "unknown option '--colour'"},
        {{"encrypt-text", "stray"}, "unexpected argument 'stray'"},
        {{"encrypt-text", "--password-fd", "x"},
         "--password-fd needs a descriptor number, not 'x'"},
        {{"encrypt-text", "--password-fd=3x"}, "--password-fd needs a descriptor number, not '3x'"},
        {{"encrypt-text", "--password-file"}, "option '--password-file' needs a value"},
        {{"decrypt-text", "--password-file", "a", "--password-fd", "3"},
         "give either --password-file or --password-fd"},
        {{"encrypt-files"}, "no file to encrypt given"},
        {{"encrypt-files", "f", "g"}, "several files need -o OUT"},
        {{"decrypt-file", "--password-file", "pw"}, "no encrypted file given"},
        {{"decrypt-file", "-C", "/nonexistent/kiv", "a.vrq"}, "'/nonexistent/kiv' is not a folder"},
        {{"list"}, "no encrypted file given"},
        {{"list", "-x"}, "unknown option '-x'"},
        {{"help", "frobnicate"}, "unknown command 'frobnicate'"},
        {{"encrypt-files", "-o", "-", "a", "-"},
         "standard input (\"-\") needs --name NAME to be "
         "stored under"},
        {{"encrypt-files", "--name", "n", "-o", "x", "-", "-"},
         "standard input (\"-\") can be given only once"},
        {{"encrypt-files", "--name", "n", "-o", "x", "a"},
         "--name names standard input, which is not among the files"},
        {{"encrypt-files", "--name", "a/b", "-o", "x", "-"},
         "'a/b' cannot be stored: it holds a \"/\""},
        {{"encrypt-files", "--name", "..", "-o", "x", "-"},
         "'..' cannot be stored: it names a folder"},
        {{"encrypt-files", "--name", "n", "-"}, "standard input needs -o OUT"},
        {{"decrypt-file", "-C", ".", "--stdout", "a.vrq"}, "give either --directory or --stdout"},
        {{"list", "--json", "-0", "a.vrq"}, "give either --json or --null"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = RunCli(c.words);
        const std::string words = ::testing::PrintToString(c.words);
        EXPECT_EQ(outcome.status, kExitUsage) << words;
        EXPECT_EQ(outcome.err, "kiv-cli: " + c.message + "\n" + Hint(c.words)) << words;
        EXPECT_EQ(outcome.out, "") << words;
    }
}

// The names the man page and the completion are written from: each must be in the command's
// help and accepted by its parse.
TEST(CommandLineTest, HelpShowsEveryOptionTheParseAccepts) {
    struct Option {
        std::string given, named;  // as typed; as usage errors name it
        bool flag = false;         // takes no value
        bool repeats = false;      // may be given several times
    };
    const Option passwordFile{"--password-file", "--password-file"};
    const Option passwordFd{"--password-fd", "--password-fd"};
    const Option passwordEnv{"--password-env", "--password-env"};
    const std::string passwords = "[--password-file FILE | --password-fd N | --password-env NAME]";
    const struct {
        std::string command;
        std::vector<Option> options;  // each takes a value
        std::vector<std::string> operands;
        std::string usage;
    } commands[] = {
        {"encrypt-text",
         {{"-q", "--quiet", true}, passwordFile, passwordFd, passwordEnv},
         {},
         "Usage: kiv-cli encrypt-text [-q] " + passwords + "\n"},
        {"decrypt-text",
         {{"-q", "--quiet", true}, passwordFile, passwordFd, passwordEnv},
         {},
         "Usage: kiv-cli decrypt-text [-q] " + passwords + "\n"},
        {"encrypt-files",
         {{"-o", "--output"},
          {"--output", "--output"},
          {"--name", "--name"},
          {"-v", "--verbose", true},
          {"--report", "--report", true},
          {"-q", "--quiet", true},
          {"-f", "--force", true},
          {"-n", "--no-clobber", true},
          passwordFile,
          passwordFd,
          passwordEnv},
         {"a", "b"},
         "Usage: kiv-cli encrypt-files [-o OUT] [--name NAME] [-v] [--report] [-q] [-f | -n] " +
             passwords + " FILE...\n"},
        {"decrypt-file",
         {{"-C", "--directory"},
          {"--directory", "--directory"},
          {"--stdout", "--stdout", true},
          {"-v", "--verbose", true},
          {"--report", "--report", true},
          {"-q", "--quiet", true},
          {"-f", "--force", true},
          {"-n", "--no-clobber", true},
          passwordFile,
          passwordFd,
          passwordEnv,
          {"-e", "--entry", false, true}},
         {"x.vrq", "y.vrq"},
         "Usage: kiv-cli decrypt-file [-C DIR | --stdout] [-v] [--report] [-q] [-f | -n] " +
             passwords + " [-e NAME]... FILE.vrq...\n"},
        {"test",
         {{"--json", "--json", true},
          {"-v", "--verbose", true},
          {"-q", "--quiet", true},
          passwordFile,
          passwordFd,
          passwordEnv},
         {"x.vrq", "y.vrq"},
         "Usage: kiv-cli test [--json] [-v] [-q] " + passwords + " FILE.vrq...\n"},
        {"list",
         {{"--json", "--json", true}, {"-0", "--null", true}},
         {"x.vrq", "y.vrq"},
         "Usage: kiv-cli list [--json | -0] FILE.vrq...\n"},
    };
    const Outcome program = RunCli({"--help"});
    EXPECT_EQ(program.status, kExitOk);
    EXPECT_EQ(RunCli({"help"}).out, program.out);
    EXPECT_EQ(RunCli({"-h"}).out, program.out);
    EXPECT_NE(program.out.find("\n  --version "), std::string::npos);
    for (const auto& c : commands) {
        // The program's help lists the command with the usage its own help gives.
        EXPECT_NE(program.out.find("\n  " + c.usage.substr(15)), std::string::npos) << c.command;
        const Outcome help = RunCli({c.command, "--help"});
        EXPECT_EQ(help.status, kExitOk);
        EXPECT_EQ(help.out.substr(0, c.usage.size()), c.usage);
        EXPECT_EQ(RunCli({c.command, "-h"}).out, help.out);
        EXPECT_EQ(RunCli({"help", c.command}).out, help.out);
        for (const Option& option : c.options) {
            const std::string& name = option.given;
            EXPECT_NE(help.out.find(name + (name.size() == 2 ? ", " : " ")), std::string::npos)
                << c.command << ' ' << name;
            // The parse knows it: a value is asked of it, or refused.
            const Outcome missing = RunCli({c.command, name});
            const Outcome valued = RunCli({c.command, option.named + "=1"});
            const std::string hint = Hint({c.command});
            if (option.flag)
                EXPECT_EQ(valued.err,
                          "kiv-cli: option '" + option.named + "' takes no value\n" + hint);
            else
                EXPECT_EQ(missing.err,
                          "kiv-cli: option '" + option.named + "' needs a value\n" + hint);
        }
    }
}

TEST(CommandLineTest, VersionIsTheProjectVersion) {
    EXPECT_EQ(RunCli({"--version"}).out, std::string("kiv-cli ") + KIV_VERSION + "\n");
    EXPECT_EQ(RunCli({"--version"}).status, kExitOk);
}

TEST(CommandLineTest, OptionsMayFollowOperandsAndDoubleDashEndsThem) {
    testing::TempFolder dir;
    testing::WriteAll(dir / "pw", "file password\n");
    testing::WriteAll(dir / "a", "alpha");
    Outcome outcome =
        RunCli({"encrypt-files", dir / "a", "-o", dir / "x.vrq", "--password-file=" + dir / "pw"});
    EXPECT_EQ(outcome.status, kExitOk) << outcome.err;
    outcome = RunCli({"list", dir / "x.vrq"});
    EXPECT_EQ(outcome.out, "           5  a\n");
    // After "--", a word that starts with "-" is an operand of every command, "-" included.
    const struct {
        std::vector<std::string> words;
        std::string err;
    } cases[] = {
        {{"list", "--", "-x"}, "kiv-cli: cannot read '-x': No such file or directory\n"},
        {{"encrypt-files", "-o", dir / "y.vrq", "--password-file", dir / "pw", "--", "-x"},
         "kiv-cli: cannot read '-x': No such file or directory\n"},
        {{"encrypt-files", "--password-file", dir / "pw", "-o", dir / "y.vrq", "--", dir / "a",
          "-x"},
         "kiv-cli: cannot read '-x': No such file or directory\n"},
        {{"decrypt-file", "--password-file", dir / "pw", "--", "-x"},
         "kiv-cli: cannot read '-x': No such file or directory\n"},
        {{"encrypt-text", "--", "-x"},
         "kiv-cli: unexpected argument '-x'\n" + Hint({"encrypt-text"})},
    };
    for (const auto& c : cases) {
        outcome = RunCli(c.words);
        EXPECT_EQ(outcome.err, c.err) << ::testing::PrintToString(c.words);
    }
}

}  // namespace
}  // namespace kiv
