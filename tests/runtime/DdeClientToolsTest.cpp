#include <signal.h>

#include <QCoreApplication>

#include "runtime/DdeServiceFixture.h"
#include "support/Process.h"

namespace kiv {
namespace {

// Other programs as clients: socat as any script would use it, and kiv-cli's dde command.
class DdeClientToolsTest : public DdeServiceFixture {
  protected:
    void SetUp() override {
        DdeServiceFixture::SetUp();
        StartService();
    }

    // Runs program while this thread goes on serving; the environment carries the runtime folder.
    struct Outcome {
        int status = -1;
        QByteArray out, err;
    };
    Outcome Run(const QString& program, const QStringList& arguments, const QByteArray& input) {
        std::vector<std::string> argv = {program.toStdString()};
        for (const QString& argument : arguments)
            argv.push_back(argument.toStdString());
        testing::Process process(std::move(argv));
        if (!process.Input(input.toStdString()).Start()) return {};
        const bool ended = process.WaitUntil(
            [&] {
                QCoreApplication::processEvents();
                return process.Ended();
            },
            std::chrono::milliseconds(DdeTestClient::kWaitLimit));
        EXPECT_TRUE(ended) << program.toStdString() << " did not end";
        if (!ended) process.Signal(SIGKILL);
        const testing::ProcessResult result = process.Wait();
        return {result.status, QByteArray::fromStdString(result.out),
                QByteArray::fromStdString(result.err)};
    }
    Outcome Cli(const QStringList& arguments) {
        return Run(QStringLiteral(KIV_CLI_PATH), QStringList{"dde"} + arguments, {});
    }
};

TEST_F(DdeClientToolsTest, SocatScriptIsServed) {
    const QString socat = QStringLiteral(KIV_SOCAT_PATH);
    if (socat.isEmpty()) GTEST_SKIP() << "socat is not installed; ./test.sh installs it";
    const Outcome outcome = Run(socat, {"-t", "30", "-", "UNIX-CONNECT:" + SocketPath()},
                                "WILDCONNECT ddeserverconv1\n"
                                "CONNECT kiv ddeserverconv1\n"
                                "EXECUTE 12\nhello\r\nworld"
                                "REQUEST Label3\n"
                                "BOGUS\n"
                                "DISCONNECT\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.out,
              "PAIR kiv ddeserverconv1\nEND\nOK\nFACK\nNODATA\n"
              "ERROR unknown command\nOK\n");
    ASSERT_EQ(macros->count(), 1);
    EXPECT_EQ(macros->at(0).at(0).toStringList(), QStringList({"hello", "world"}));
    EXPECT_EQ(opened->count(), 1);
    EXPECT_EQ(closed->count(), 1);
}

TEST_F(DdeClientToolsTest, KivCliExecutesEachMacroAndPrintsEachAnswer) {
    Outcome outcome = Cli({"ddeserverconv1", "first\r\nsecond\nthird", "[Quit]"});
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.out, "FACK\nFACK\n");
    ASSERT_EQ(macros->count(), 2);
    EXPECT_EQ(macros->at(0).at(0).toStringList(), QStringList({"first", "second", "third"}));
    EXPECT_EQ(opened->count(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed->count() == 1; }, DdeTestClient::kWaitLimit));

    outcome = Cli({"--service", "kiv", "Pulm Vostra", "a macro"});
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.out, "0\n");
    // The program's name reaches the main window, which the service knows by its caption.
    manager->SetCaptionProvider(
        [] { return QStringList{QStringLiteral("Protect the lives of your information")}; });
    outcome = Cli({"Pulm Vostra", "[Open]"});
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.out, "0\n");
}

TEST_F(DdeClientToolsTest, KivCliReportsRefusalsAndUsageErrors) {
    Outcome outcome = Cli({"Nobody"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err,
              "kiv-cli: the command service \"kiv\" answered REFUSED to the topic "
              "\"Nobody\"\n");

    outcome = Cli({"--service", "absent", "DdeServerConv1"});
    EXPECT_EQ(outcome.status, 6);
    EXPECT_EQ(outcome.err, "kiv-cli: no window is running: nothing listens at " +
                               QFile::encodeName(runtime.path()) + "/absent\n");

    outcome = Cli({});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(outcome.err.startsWith("kiv-cli: no topic given\n"));
    outcome = Cli({"--service", "a/b", "DdeServerConv1"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(outcome.err.startsWith("kiv-cli: 'a/b' cannot be a service name\n"));
    outcome = Cli({"two\nlines"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(outcome.err.startsWith("kiv-cli: a topic cannot hold a line break\n"));
    EXPECT_EQ(opened->count(), 0);
}

}  // namespace
}  // namespace kiv
