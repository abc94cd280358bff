#include <sys/stat.h>

#include <QApplication>

#include "app/window/WindowFixture.h"
#include "runtime/TDdeMgr.h"
#include "support/DdeTestClient.h"
#include "support/EnvironmentVariable.h"

namespace kiv {
namespace {

// The window's topic on a real command service, reached through a real socket in a private
// runtime folder.
class CommandTopic : public WindowFixture {
  protected:
    CommandTopic() {
        runtimeVariable.Set(runtime.path().toStdString());
        chmod(runtime.path().toLocal8Bit().constData(), 0700);
        service = std::make_unique<TDdeMgr>(QStringLiteral("kivtopic"));
        service->SetCaptionProvider([] {
            QStringList captions;
            for (const QWidget* widget : QApplication::topLevelWidgets())
                captions << widget->windowTitle();
            return captions;
        });
        StartupContext context{SettingsFile(), MachineFile(), ProgramFolder(), {}};
        context.commandService = service.get();
        window = std::make_unique<TForm1>(ui, clock, context);
    }

    QTemporaryDir runtime;
    const testing::EnvironmentVariable runtimeVariable{"XDG_RUNTIME_DIR"};
    std::unique_ptr<TDdeMgr> service;
    std::unique_ptr<TForm1> window;
};

TEST_F(CommandTopic, TheComponentTopicShowsConnectedAndTakesMacros) {
    ASSERT_TRUE(service->IsServing());
    const QString date = window->Label3()->text();
    DdeTestClient client(service->SocketPath());
    ASSERT_TRUE(client.WaitConnected());

    // The caption as topic: accepted, no event, macros not processed.
    EXPECT_EQ(client.Ask("CONNECT kivtopic PROTECT the lives of your information\n"), "OK");
    EXPECT_EQ(client.Execute("Order: Fire"), "0");
    EXPECT_EQ(window->Label3()->text(), date);
    EXPECT_EQ(client.Ask("DISCONNECT\n"), "OK");

    EXPECT_EQ(client.Ask("CONNECT * ddeserverconv1\n"), "OK");
    EXPECT_EQ(window->Label3()->text(), "Connected");
    EXPECT_EQ(client.Execute("one\r\ntwo\nthree"), "FACK");
    EXPECT_EQ(client.Ask("REQUEST anything\n"), "NODATA");
    EXPECT_EQ(client.Ask("DISCONNECT\n"), "OK");
    EXPECT_EQ(window->Label3()->text(), "Connected");  // stays after the conversation ends
}

TEST_F(CommandTopic, TheTopicGoesWithTheWindow) {
    window.reset();
    DdeTestClient client(service->SocketPath());
    ASSERT_TRUE(client.WaitConnected());
    EXPECT_EQ(client.Ask("CONNECT * DdeServerConv1\n"), "REFUSED");
}

}  // namespace
}  // namespace kiv
