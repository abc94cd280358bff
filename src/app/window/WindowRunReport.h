#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>

#include "app/core/UiServices.h"
#include "filecrypt/FileRunObserver.h"

namespace kiv {

// A file run as the window shows it: report lines in the report list, the two progress bars,
// messages and the password question through the UI services, and the first password box made
// visible after a refused password. Runs on the window's thread only. Names in lines and messages
// come from containers and folders that others made: they are shown with their non-printable
// bytes escaped, so a name cannot fake report lines.
class WindowRunReport final : public FileRunObserver {
  public:
    // A report line or message as the window shows it.
    static QString Shown(const std::string& bytes);

    WindowRunReport(UiServices& ui, QListWidget& list, QProgressBar& file, QProgressBar& overall,
                    QLineEdit& passwordBox)
        : ui_(ui), list_(list), file_(file), overall_(overall), passwordBox_(passwordBox) {}

    void AddLine(const ReportText& line) override;
    void ShowMessage(const ReportText& text) override;
    // "Stop" (also Enter and Escape) or "Restore anyway".
    bool ConfirmStop(const std::string& question, const std::string& caption) override;
    bool AsksBeforeReplacing() const override { return true; }
    ExistingFileChoice ChooseForExisting(const std::string& folder,
                                         const std::vector<std::string>& names) override;
    // Thread-safe: the catalogue's lookups are.
    std::string CopyMark() const override;
    void ShowPasswordBox() override { passwordBox_.show(); }
    void SetOverallVisible(bool visible) override { overall_.setVisible(visible); }
    void SetOverallRange(int low, int high) override { overall_.setRange(low, high); }
    void SetOverallPosition(int position) override { Show(overall_, position); }
    void SetFileVisible(bool visible) override { file_.setVisible(visible); }
    void SetFileRange(int low, int high) override { file_.setRange(low, high); }
    void SetFilePosition(int position) override { Show(file_, position); }

  private:
    // QProgressBar ignores a value outside its range and would go on showing the previous run's:
    // a position before the range empties the bar, one beyond it fills the bar.
    static void Show(QProgressBar& bar, int position);

    UiServices& ui_;
    QListWidget& list_;
    QProgressBar& file_;
    QProgressBar& overall_;
    QLineEdit& passwordBox_;
};

}  // namespace kiv
