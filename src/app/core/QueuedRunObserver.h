#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "filecrypt/FileRunObserver.h"

namespace kiv {

// Hands a file run's reports from its worker thread to an observer that lives on the window's
// thread. Reports are posted and the run goes on; the questions wait for the answer, but give up
// as soon as the run is cancelled (answering "stop", and "skip" for files in the way), so a
// window that is closing never waits for a box nobody will answer.
class QueuedRunObserver final : public FileRunObserver {
  public:
    // post runs a call later on the window's thread, or drops it once the run is over.
    using Post = std::function<void(std::function<void()> call)>;

    QueuedRunObserver(FileRunObserver& shown, Post post, const std::atomic<bool>& cancel)
        : shown_(shown), post_(std::move(post)), cancel_(cancel) {}

    void AddLine(const ReportText& line) override;
    void ShowMessage(const ReportText& text) override;
    bool ConfirmStop(const std::string& question, const std::string& caption) override;
    // Asked of the shown observer directly: these answers are the same from any thread.
    bool AsksBeforeReplacing() const override { return shown_.AsksBeforeReplacing(); }
    std::string CopyMark() const override { return shown_.CopyMark(); }
    ExistingFileChoice ChooseForExisting(const std::string& folder,
                                         const std::vector<std::string>& names) override;
    void ShowPasswordBox() override;
    void SetOverallVisible(bool visible) override;
    void SetOverallRange(int low, int high) override;
    void SetOverallPosition(int position) override;
    void SetFileVisible(bool visible) override;
    void SetFileRange(int low, int high) override;
    void SetFilePosition(int position) override;
    bool CancelRequested() override { return cancel_.load(); }

  private:
    // Runs ask on the window's thread and waits for its answer, or gives up with onCancel.
    template <typename Answer>
    Answer Ask(std::function<Answer()> ask, Answer onCancel);

    FileRunObserver& shown_;
    Post post_;
    const std::atomic<bool>& cancel_;
};

}  // namespace kiv
