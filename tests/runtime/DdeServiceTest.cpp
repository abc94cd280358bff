#include <QTest>

#include "runtime/DdeServiceFixture.h"

namespace kiv {
namespace {

class DdeServiceTest : public DdeServiceFixture {
  protected:
    void SetUp() override {
        DdeServiceFixture::SetUp();
        StartService();
    }
};

TEST_F(DdeServiceTest, ComponentTopicIgnoresLetterCaseAndFiresOnOpen) {
    auto client = Client();
    EXPECT_EQ(client->Ask("CONNECT kiv ddeserverconv1\n"), "OK");
    EXPECT_EQ(opened->count(), 1);
    ASSERT_EQ(manager->Conversations().size(), 1u);
    EXPECT_EQ(manager->Conversations()[0]->topic, "ddeserverconv1");
    EXPECT_EQ(manager->Conversations()[0]->component, component.get());

    // No service named, and the service name in other letter case, are both this service.
    auto unnamed = Client();
    EXPECT_EQ(unnamed->Ask("CONNECT * DDESERVERCONV1\n"), "OK");
    auto upper = Client();
    EXPECT_EQ(upper->Ask("CONNECT KIV DdeServerConv1\n"), "OK");
    EXPECT_EQ(opened->count(), 3);
}

TEST_F(DdeServiceTest, CaptionTopicIsAcceptedWithoutEventsAndMacrosAreNotProcessed) {
    auto client = Client("pulm VOSTRA");
    EXPECT_EQ(opened->count(), 0);
    ASSERT_EQ(manager->Conversations().size(), 1u);
    EXPECT_FALSE(manager->Conversations()[0]->boundToComponent);
    EXPECT_EQ(manager->Conversations()[0]->caption, "Pulm Vostra");
    EXPECT_EQ(client->Execute("[Open]"), "0");
    EXPECT_EQ(client->Execute(""), "0");
    EXPECT_EQ(macros->count(), 0);
    EXPECT_EQ(client->Ask("DISCONNECT\n"), "OK");
    EXPECT_EQ(closed->count(), 0);
}

TEST_F(DdeServiceTest, MacroReachesTheComponentAsLines) {
    auto client = Client("DdeServerConv1");
    EXPECT_EQ(client->Execute("first\r\nsecond\nthird"), "FACK");
    ASSERT_EQ(macros->count(), 1);
    EXPECT_EQ(macros->at(0).at(0).toStringList(), QStringList({"first", "second", "third"}));

    // Text ends at its first NUL byte; an empty macro is still taken.
    EXPECT_EQ(client->Execute(QByteArray("one\rtwo\0three", 13)), "FACK");
    EXPECT_EQ(macros->at(1).at(0).toStringList(), QStringList({"one", "two"}));
    EXPECT_EQ(client->Execute(""), "FACK");
    EXPECT_EQ(macros->at(2).at(0).toStringList(), QStringList());
    EXPECT_EQ(client->Execute("gr\xc3\xbc\xc3\x9f\n"), "FACK");
    EXPECT_EQ(macros->at(3).at(0).toStringList(), QStringList({QString::fromUtf8("grüß")}));
}

TEST_F(DdeServiceTest, MacroTextIsSplitAtEveryKindOfLineBreak) {
    EXPECT_EQ(TDdeMgr::SplitMacroLines("a\r\n\r\nb\n"), QStringList({"a", "", "b"}));
    EXPECT_EQ(TDdeMgr::SplitMacroLines("\n"), QStringList({""}));
    EXPECT_EQ(TDdeMgr::SplitMacroLines("a\n\rb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(TDdeMgr::SplitMacroLines(QByteArray("\0x", 2)), QStringList());
}

TEST_F(DdeServiceTest, ItemsOfferNothingAndDisconnectClosesTheConversation) {
    auto client = Client("DdeServerConv1");
    EXPECT_EQ(client->Ask("REQUEST Edit1\n"), "NODATA");
    EXPECT_EQ(client->Ask("ADVREQ Edit1\n"), "NODATA");
    EXPECT_EQ(client->Ask("POKE item with blanks 3\nabc"), "0");
    EXPECT_EQ(client->Ask("ADVSTART Edit1\n"), "FALSE");
    EXPECT_EQ(client->Ask("DISCONNECT\n"), "OK");
    EXPECT_EQ(closed->count(), 1);
    EXPECT_TRUE(manager->Conversations().empty());
    // The connection stays open for another conversation.
    EXPECT_EQ(client->Ask("CONNECT * DdeServerConv1\n"), "OK");
    EXPECT_EQ(opened->count(), 2);
}

TEST_F(DdeServiceTest, OtherServicesAndTopicsAreRefused) {
    auto client = Client();
    EXPECT_EQ(client->Ask("CONNECT kiv2 DdeServerConv1\n"), "REFUSED");
    EXPECT_EQ(client->Ask("CONNECT kiv DdeServerConv2\n"), "REFUSED");
    EXPECT_EQ(client->Ask("CONNECT kiv DdeServerConv1 \n"), "REFUSED");
    EXPECT_EQ(client->Ask("CONNECT kiv \n"), "REFUSED");
    EXPECT_EQ(opened->count(), 0);
    EXPECT_TRUE(manager->Conversations().empty());
    EXPECT_EQ(client->Ask("CONNECT kiv DdeServerConv1\n"), "OK");
}

TEST_F(DdeServiceTest, WildConnectListsAcceptedTopicsOnly) {
    auto client = Client();
    EXPECT_EQ(client->Ask("WILDCONNECT\n"), "END");
    EXPECT_EQ(client->Ask("WILDCONNECT ddeServerConv1\n"), "PAIR kiv ddeServerConv1");
    EXPECT_EQ(client->ReadLine(), "END");
    EXPECT_EQ(client->Ask("WILDCONNECT Pulm Vostra\n"), "PAIR kiv Pulm Vostra");
    EXPECT_EQ(client->ReadLine(), "END");
    EXPECT_EQ(client->Ask("WILDCONNECT Other\n"), "END");
    EXPECT_EQ(opened->count(), 0);
}

TEST_F(DdeServiceTest, BadRequestsAreAnsweredWithErrorsAndServingGoesOn) {
    auto client = Client();
    EXPECT_EQ(client->Ask("HELLO\n"), "ERROR unknown command");
    EXPECT_EQ(client->Ask("\n"), "ERROR unknown command");
    EXPECT_EQ(client->Ask("connect kiv DdeServerConv1\n"), "ERROR unknown command");
    EXPECT_EQ(client->Ask("CONNECT kiv\n"), "ERROR malformed request");
    EXPECT_EQ(client->Ask("CONNECT\n"), "ERROR malformed request");
    EXPECT_EQ(client->Ask("REQUEST\n"), "ERROR malformed request");
    EXPECT_EQ(client->Ask("POKE 3\n"), "ERROR malformed request");
    EXPECT_EQ(client->Ask("EXECUTE -1\n"), "ERROR malformed request");
    EXPECT_EQ(client->Ask("EXECUTE 99999999999999999999999\n"), "ERROR malformed request");
    EXPECT_EQ(client->Ask("DISCONNECT now\n"), "ERROR malformed request");

    // Requests that need a conversation; a payload is read past all the same.
    EXPECT_EQ(client->Execute("abc\nDISCONNECT\n"), "ERROR no conversation");
    EXPECT_EQ(client->Ask("POKE x 4\nPOKE"), "ERROR no conversation");
    EXPECT_EQ(client->Ask("REQUEST x\n"), "ERROR no conversation");
    EXPECT_EQ(client->Ask("ADVSTART x\n"), "ERROR no conversation");
    EXPECT_EQ(client->Ask("DISCONNECT\n"), "ERROR no conversation");

    EXPECT_EQ(client->Ask("CONNECT kiv DdeServerConv1\r\n"), "OK");
    EXPECT_EQ(client->Ask("CONNECT kiv DdeServerConv1\n"), "ERROR conversation already open");
    EXPECT_EQ(client->Ask("EXECUTE 1x\n"), "ERROR malformed request");
    EXPECT_EQ(client->Execute("still served"), "FACK");
    EXPECT_EQ(macros->count(), 1);
}

TEST_F(DdeServiceTest, OversizedLinesAndPayloadsAreRefusedAndSkipped) {
    auto client = Client("DdeServerConv1");
    // The longest line allowed is 4096 bytes without its line end.
    EXPECT_EQ(client->Ask("REQUEST " + QByteArray(4096 - 8, 'x') + "\r\n"), "NODATA");
    EXPECT_EQ(client->Ask("REQUEST " + QByteArray(4096 - 7, 'x') + "\n"), "ERROR line too long");
    // A line that never seems to end is refused once, then skipped up to its LF.
    client->Send("REQUEST " + QByteArray(100000, 'y'));
    EXPECT_EQ(client->ReadLine(), "ERROR line too long");
    EXPECT_EQ(client->Ask(QByteArray(5000, 'z') + "\nADVSTART a\n"), "FALSE");

    const QByteArray huge((1 << 20) + 1, 'm');
    EXPECT_EQ(client->Execute(huge), "ERROR payload too large");
    EXPECT_EQ(client->Ask("POKE item " + QByteArray::number(huge.size()) + '\n' + huge),
              "ERROR payload too large");
    EXPECT_EQ(client->Execute(QByteArray(1 << 20, 'n')), "FACK");
    ASSERT_EQ(macros->count(), 1);
    EXPECT_EQ(macros->at(0).at(0).toStringList().value(0).size(), 1 << 20);
    EXPECT_EQ(client->Ask("REQUEST x\n"), "NODATA");
}

TEST_F(DdeServiceTest, ClientLeavingInTheMiddleOfAPayloadFreesItsConversation) {
    auto client = Client("DdeServerConv1");
    auto other = Client("DdeServerConv1");
    client->Send("EXECUTE 100\nonly part of it");
    client->socket.flush();
    client->socket.abort();
    EXPECT_TRUE(QTest::qWaitFor([&] { return manager->ConnectionCount() == 1; },
                                DdeTestClient::kWaitLimit));
    EXPECT_EQ(manager->Conversations().size(), 1u);
    EXPECT_EQ(closed->count(), 1);
    EXPECT_EQ(macros->count(), 0);
    EXPECT_EQ(other->Execute("x"), "FACK");
}

TEST_F(DdeServiceTest, FiftyClientsAtOnceEachGetAHundredAnswers) {
    constexpr int kClients = 50;
    constexpr int kMacros = 100;
    std::vector<std::unique_ptr<DdeTestClient>> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.push_back(std::make_unique<DdeTestClient>(SocketPath()));
        ASSERT_TRUE(clients.back()->WaitConnected());
        QByteArray requests = "CONNECT kiv DdeServerConv1\n";
        for (int m = 0; m < kMacros; ++m) {
            const QByteArray macro =
                "client " + QByteArray::number(i) + " macro " + QByteArray::number(m);
            requests += "EXECUTE " + QByteArray::number(macro.size()) + '\n' + macro;
        }
        clients.back()->Send(requests);
    }
    for (auto& client : clients) {
        EXPECT_EQ(client->ReadLine(), "OK");
        int acknowledged = 0;
        for (int m = 0; m < kMacros; ++m)
            acknowledged += client->ReadLine() == "FACK";
        EXPECT_EQ(acknowledged, kMacros);
    }
    EXPECT_EQ(opened->count(), kClients);
    EXPECT_EQ(macros->count(), kClients * kMacros);
    EXPECT_EQ(manager->Conversations().size(), static_cast<std::size_t>(kClients));
}

TEST_F(DdeServiceTest, ConversationsOutliveTheirComponentWithoutEvents) {
    auto client = Client("DdeServerConv1");
    component.reset();
    EXPECT_TRUE(manager->Components().empty());
    EXPECT_EQ(client->Execute("late"), "FACK");
    EXPECT_EQ(client->Ask("DISCONNECT\n"), "OK");
    EXPECT_EQ(client->Ask("CONNECT kiv DdeServerConv1\n"), "REFUSED");
    // Captions still make topics.
    EXPECT_EQ(client->Ask("CONNECT kiv Pulm Vostra\n"), "OK");
}

TEST_F(DdeServiceTest, ClosingTheManagerCutsClientsOffWithoutOnClose) {
    auto client = Client("DdeServerConv1");
    manager.reset();
    EXPECT_FALSE(QFileInfo::exists(SocketPath()));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return client->socket.state() == QLocalSocket::UnconnectedState; },
                        DdeTestClient::kWaitLimit));
    EXPECT_EQ(closed->count(), 0);
    component.reset();  // the window going last must not reach for the manager
}

}  // namespace
}  // namespace kiv
