#include <QElapsedTimer>
#include <QMouseEvent>
#include <set>

#include "app/window/WindowFixture.h"

namespace kiv {
namespace {

// Big test files go to memory where the system offers it, so the test does not wear the disk.
QString BigFileFolderTemplate() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return base + QStringLiteral("/kiv-progress-XXXXXX");
}

void PostClick(QWidget* target, QPointF at) {
    const QPointF global = target->mapToGlobal(at);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(
            target,
            new QMouseEvent(type, at, global, Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                            Qt::NoModifier));
}

using FileRunProgress = WindowFixture;

TEST_F(FileRunProgress, BarsMoveAndAClickIsAnsweredWhileA200MiBFileIsEncrypted) {
    QTemporaryDir bigFolder(BigFileFolderTemplate());
    ASSERT_TRUE(bigFolder.isValid());
    const QString big = bigFolder.filePath(QStringLiteral("big.bin"));
    {
        QFile file(big);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray mebibyte(1 << 20, '\0');
        for (int i = 0; i < mebibyte.size(); ++i)
            mebibyte[i] = static_cast<char>(i * 7 + i / 251);
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(file.write(mebibyte), mebibyte.size());
    }

    auto window = Open();
    window->show();
    window->RadioButton1()->setChecked(true);
    SetPasswords(*window, QStringLiteral("abcdefgh"), QStringLiteral("abcdefgh"));
    ui.openAnswer = {big};
    window->Button2()->click();

    std::set<int> positions;
    bool overallShown = false;
    QElapsedTimer sincePosted;
    qint64 answeredAfter = -1;
    bool answeredDuringRun = false;
    // The report list stays usable during a run: a click selects the line of the source.
    QListWidget& list = *window->ListBox1();
    ASSERT_EQ(list.currentRow(), -1);
    while (window->FileRunning()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        // The bar is shown before its range is set; positions come after the range.
        if (!window->ProgressBar1()->isHidden() && window->ProgressBar1()->value() > 0) {
            EXPECT_EQ(window->ProgressBar1()->maximum(), (200 << 20) / 8);
            positions.insert(window->ProgressBar1()->value());
        }
        if (!window->ProgressBar2()->isHidden()) {
            overallShown = true;
            EXPECT_EQ(window->ProgressBar2()->minimum(), 1);
            EXPECT_EQ(window->ProgressBar2()->maximum(), 1000);
        }
        if (!sincePosted.isValid() && positions.size() >= 2) {
            PostClick(list.viewport(), list.visualItemRect(list.item(0)).center());
            sincePosted.start();
        }
        if (sincePosted.isValid() && answeredAfter < 0 && list.currentRow() == 0) {
            answeredAfter = sincePosted.elapsed();
            answeredDuringRun = window->FileRunning();
        }
        // Enough has been seen; the rest of the file would show nothing new.
        if (answeredAfter >= 0 && positions.size() >= 5) window->Button7()->click();
    }
    EXPECT_TRUE(overallShown);
    EXPECT_GE(positions.size(), 5u);
    EXPECT_TRUE(answeredDuringRun);
    EXPECT_GE(answeredAfter, 0);
    EXPECT_LT(answeredAfter, 100);
    EXPECT_EQ(QDir(bigFolder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("big.bin")});
}

}  // namespace
}  // namespace kiv
