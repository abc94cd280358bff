#pragma once

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>
#include <sstream>

#include "runtime/TDdeMgr.h"
#include "runtime/TDdeServerConv.h"
#include "support/DdeTestClient.h"
#include "support/EnvironmentVariable.h"

namespace kiv {

// Every test gets a runtime folder of its own, so that it never meets the user's real socket
// nor a test running in parallel; and a manager for "kiv" with the window's component on it.
class DdeServiceFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        runtimeVariable.Set(QFile::encodeName(runtime.path()).toStdString());
    }

    void StartService() {
        manager = std::make_unique<TDdeMgr>(QStringLiteral("kiv"), diagnostics);
        manager->SetCaptionProvider([] { return QStringList{QStringLiteral("Pulm Vostra")}; });
        component = std::make_unique<TDdeServerConv>(*manager, nullptr);
        opened = std::make_unique<QSignalSpy>(component.get(), &TDdeServerConv::OnOpen);
        macros = std::make_unique<QSignalSpy>(component.get(), &TDdeServerConv::OnExecuteMacro);
        closed = std::make_unique<QSignalSpy>(component.get(), &TDdeServerConv::OnClose);
    }

    QString SocketPath() const { return runtime.path() + QStringLiteral("/kiv"); }

    // A client connected to the service, with a conversation open on topic when one is given.
    std::unique_ptr<DdeTestClient> Client(const QByteArray& topic = {}) {
        auto client = std::make_unique<DdeTestClient>(SocketPath());
        EXPECT_TRUE(client->WaitConnected());
        if (!topic.isEmpty()) {
            EXPECT_EQ(client->Ask("CONNECT kiv " + topic + '\n'), "OK");
        }
        return client;
    }

    QTemporaryDir runtime;
    const testing::EnvironmentVariable runtimeVariable{"XDG_RUNTIME_DIR"};
    std::ostringstream diagnostics;
    std::unique_ptr<TDdeMgr> manager;
    std::unique_ptr<TDdeServerConv> component;
    std::unique_ptr<QSignalSpy> opened, macros, closed;
};

}  // namespace kiv
