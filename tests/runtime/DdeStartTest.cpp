#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "runtime/DdeServiceFixture.h"
#include "runtime/internal/EDdeError.h"
#include "runtime/internal/RuntimeFolder.h"
#include "support/EnvironmentVariable.h"
#include "support/TempFolder.h"
#include "support/UnixSocket.h"

namespace kiv {
namespace {

using DdeStartTest = DdeServiceFixture;

std::string StartFailure(const QString& serviceName) {
    std::ostringstream diagnostics;
    try {
        TDdeMgr manager(serviceName, diagnostics);
    } catch (const EDdeError& error) {
        return error.what();
    }
    return "started";
}

TEST(EDdeErrorTest, MessagesFollowTheCode) {
    EXPECT_STREQ(EDdeError(0x4007).what(), "Error occurred when DDE ran out of memory ($04007)");
    EXPECT_STREQ(EDdeError(0x4008).what(), "Error occurred when DDE ran out of memory ($04008)");
    EXPECT_STREQ(EDdeError(0x400A).what(), "DDE Error - conversation not established ($0400A)");
    EXPECT_STREQ(EDdeError(0x400F).what(), "An error returned from DDE  ($0400F)");
    EXPECT_EQ(EDdeError(0x4006).code(), 0x4006u);
}

TEST(ServiceNameTest, IsTheFileNameUpToItsFirstDot) {
    EXPECT_EQ(TDdeMgr::ServiceNameFor("/usr/bin/kiv"), "kiv");
    EXPECT_EQ(TDdeMgr::ServiceNameFor("x.y"), "x");
    EXPECT_EQ(TDdeMgr::ServiceNameFor("/opt/crypt.tool.exe"), "crypt");
    EXPECT_EQ(TDdeMgr::ServiceNameFor("/home/a.b/kiv"), "kiv");
}

TEST_F(DdeStartTest, SocketIsTheUsersOnlyAndGoesWithTheManager) {
    StartService();
    EXPECT_TRUE(manager->IsServing());
    EXPECT_EQ(manager->SocketPath(), SocketPath());
    const QFileInfo socket(SocketPath());
    ASSERT_TRUE(socket.exists());
    EXPECT_EQ(socket.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());
    EXPECT_TRUE(diagnostics.str().empty());
    component.reset();
    manager.reset();
    EXPECT_FALSE(QFileInfo::exists(SocketPath()));
}

TEST_F(DdeStartTest, SocketLeftByADeadCopyIsTakenOver) {
    // A bound socket whose process is gone: the file stays, nobody accepts on it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    const sockaddr_un address = testing::UnixAddress(QFile::encodeName(SocketPath()).toStdString());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(SocketPath()));

    StartService();
    EXPECT_TRUE(manager->IsServing());
    EXPECT_TRUE(diagnostics.str().empty());
    Client("DdeServerConv1");
    EXPECT_EQ(opened->count(), 1);
}

TEST_F(DdeStartTest, SecondCopyServesNothingAndLeavesTheFirstAlone) {
    StartService();
    std::ostringstream secondDiagnostics;
    auto second = std::make_unique<TDdeMgr>(QStringLiteral("kiv"), secondDiagnostics);
    EXPECT_FALSE(second->IsServing());
    EXPECT_EQ(secondDiagnostics.str(),
              "The command service \"kiv\" is already offered by another running copy (" +
                  SocketPath().toStdString() + "); this copy offers none.\n");
    TDdeServerConv secondComponent(*second, nullptr);
    QSignalSpy secondOpened(&secondComponent, &TDdeServerConv::OnOpen);

    Client("DdeServerConv1");
    second.reset();
    EXPECT_TRUE(QFileInfo::exists(SocketPath()));
    Client("DdeServerConv1");
    EXPECT_EQ(opened->count(), 2);
    EXPECT_EQ(secondOpened.count(), 0);
}

TEST_F(DdeStartTest, FailuresToStartRaiseTheirMessages) {
    QFile blocker(SocketPath());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(StartFailure("kiv"), "DDE Error - conversation not established ($0400A)");
    EXPECT_TRUE(QFileInfo::exists(SocketPath()));  // somebody's file is never removed

    EXPECT_EQ(StartFailure(""), "An error returned from DDE  ($04006)");

    // A socket path longer than the system allows.
    const QString deep = runtime.path() + '/' + QString(120, 'd');
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_TRUE(
        QFile::setPermissions(deep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    runtimeVariable.Set(QFile::encodeName(deep).toStdString());
    EXPECT_EQ(StartFailure("kiv"), "An error returned from DDE  ($0400F)");
}

TEST_F(DdeStartTest, ARuntimeFolderOthersCouldHaveMadeIsNeverUsed) {
    const std::string folder = QFile::encodeName(runtime.path()).toStdString();
    const QString privateFolder = runtime.path() + "/private";
    ASSERT_TRUE(QDir().mkdir(privateFolder));
    ASSERT_EQ(::chmod(QFile::encodeName(privateFolder).constData(), 0700), 0);
    const QString link = runtime.path() + "/link";
    ASSERT_TRUE(QFile::link(privateFolder, link));
    struct Case {
        const char* name;
        mode_t mode;
        uid_t owner;  // 0: the test's own
        QString folder;
        std::string why;
    };
    std::vector<Case> cases = {
        {"open to everybody", 0777, 0, runtime.path(), folder + " is open to others"},
        {"open to the group", 0750, 0, runtime.path(), folder + " is open to others"},
        {"a symbolic link", 0700, 0, link, link.toStdString() + " is a symbolic link"},
    };
    // Root can hand the folder to another account, as that account would have made it.
    if (::geteuid() == 0)
        cases.push_back({"another account's", 0700, 65534, runtime.path(),
                         folder + " belongs to another account"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray path = QFile::encodeName(runtime.path());
        ASSERT_EQ(::chmod(path.constData(), c.mode), 0);
        ASSERT_EQ(::chown(path.constData(), c.owner ? c.owner : ::geteuid(), -1), 0);
        runtimeVariable.Set(QFile::encodeName(c.folder).toStdString());
        diagnostics.str({});
        StartService();
        EXPECT_FALSE(manager->IsServing());
        EXPECT_EQ(diagnostics.str(),
                  "The command service \"kiv\" is not offered: An error returned from DDE  "
                  "($0400F): the runtime folder " +
                      c.why + ".\n");
        EXPECT_FALSE(QFileInfo::exists(c.folder + "/kiv"));
        component.reset();
        manager.reset();
        ASSERT_EQ(::chown(path.constData(), ::geteuid(), -1), 0);
        ASSERT_EQ(::chmod(path.constData(), 0700), 0);
    }
}

TEST_F(DdeStartTest, WithoutARuntimeFolderTheServiceMakesAPrivateOneAndTrustsNoOtherOne) {
    runtimeVariable.Unset();
    const testing::EnvironmentVariable temporary("TMPDIR",
                                                 QFile::encodeName(runtime.path()).toStdString());
    const QString own = QString::fromStdString(UserRuntimeFolder().path);
    ASSERT_TRUE(own.startsWith(runtime.path() + "/runtime-")) << own.toStdString();
    EXPECT_EQ(testing::PermissionsOf(own.toStdString()), 0700);
    StartService();
    EXPECT_TRUE(manager->IsServing());
    EXPECT_EQ(manager->SocketPath(), own + "/kiv");
    component.reset();
    manager.reset();

    // Somebody made the name first, open to all: it is left alone and not used.
    ASSERT_TRUE(QDir(own).removeRecursively());
    ASSERT_TRUE(QDir().mkdir(own));
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0777), 0);
    StartService();
    EXPECT_FALSE(manager->IsServing());
    EXPECT_NE(diagnostics.str().find(" is open to others."), std::string::npos);
}

}  // namespace
}  // namespace kiv
