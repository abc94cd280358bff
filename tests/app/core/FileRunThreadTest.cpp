#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include "app/core/FileRunThread.h"

namespace kiv {
namespace {

// Records on which thread the window side is reached.
struct ShownOnThread : FileRunObserver {
    std::vector<std::string> lines;
    std::vector<QThread*> threads;
    bool answer = false;

    void AddLine(const ReportText& line) override {
        lines.push_back(line.Filled());
        threads.push_back(QThread::currentThread());
    }
    void ShowMessage(const ReportText&) override {}
    bool ConfirmStop(const std::string& question, const std::string&) override {
        AddLine(ReportText::Value("asked " + question));
        return answer;
    }
};

TEST(FileRunThread, ReportsAndTheQuestionReachTheWindowThreadInOrderBeforeTheEnd) {
    ShownOnThread shown;
    std::vector<FileRunStatus> ends;
    FileRunThread thread(shown, [&](const FileRunResult& result) {
        ends.push_back(result.status);
        shown.AddLine(ReportText::Value("end"));
    });
    thread.Start([](FileRunObserver& observer) {
        observer.AddLine(ReportText::Value("one"));
        FileRunResult result;
        result.status =
            observer.ConfirmStop("q", "c") ? FileRunStatus::Stopped : FileRunStatus::Completed;
        observer.AddLine(ReportText::Value("two"));
        return result;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !thread.Running(); }, 30000));
    EXPECT_EQ(shown.lines, (std::vector<std::string>{"one", "asked q", "two", "end"}));
    for (QThread* on : shown.threads)
        EXPECT_EQ(on, QCoreApplication::instance()->thread());
    EXPECT_EQ(ends, std::vector<FileRunStatus>{FileRunStatus::Completed});
}

TEST(FileRunThread, StoppingWhileTheQuestionWaitsAnswersStopAndDropsTheRest) {
    ShownOnThread shown;
    std::vector<FileRunStatus> ends;
    FileRunThread thread(shown,
                         [&](const FileRunResult& result) { ends.push_back(result.status); });
    thread.Start([](FileRunObserver& observer) {
        observer.AddLine(ReportText::Value("before"));
        FileRunResult result;
        if (observer.ConfirmStop("q", "c")) result.status = FileRunStatus::Stopped;
        return result;
    });
    // The window thread never gets to the question: the run must not wait for it.
    thread.Stop();
    EXPECT_FALSE(thread.Running());
    EXPECT_EQ(ends, std::vector<FileRunStatus>{FileRunStatus::Stopped});
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown.lines.empty());
    EXPECT_EQ(ends.size(), 1u);
}

TEST(FileRunThread, ANewRunAfterAStopGetsNoneOfTheOldRunsReports) {
    ShownOnThread shown;
    int ends = 0;
    FileRunThread thread(shown, [&](const FileRunResult&) { ++ends; });
    thread.Start([](FileRunObserver& observer) {
        observer.AddLine(ReportText::Value("old"));
        return FileRunResult();
    });
    thread.Stop();
    thread.Start([](FileRunObserver& observer) {
        observer.AddLine(ReportText::Value("new"));
        return FileRunResult();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !thread.Running(); }, 30000));
    EXPECT_EQ(shown.lines, std::vector<std::string>{"new"});
    EXPECT_EQ(ends, 2);
}

}  // namespace
}  // namespace kiv
