#pragma once

#include <string>

#include "filecrypt/ReportText.h"

namespace kiv {

// How a file run reaches whoever shows it: the report list, the two progress bars, the one
// question and the messages. The window forwards these to its controls (from a worker thread,
// so its implementation queues them); kiv-cli writes them to standard error; tests record them.
// Progress calls are optional; the defaults ignore them.
class FileRunObserver {
  public:
    virtual ~FileRunObserver() = default;

    // Appends one line to the report list.
    virtual void AddLine(const ReportText& line) = 0;
    // A modal message with an OK button.
    virtual void ShowMessage(const ReportText& text) = 0;
    // "Password is wrong" / "Change Password" with OK and Cancel: true for OK (stop the run).
    virtual bool ConfirmStop(const std::string& question, const std::string& caption) = 0;
    // Makes the first password box visible again after a refused password.
    virtual void ShowPasswordBox() {}

    // The whole run's bar (ProgressBar2) and the current file's bar (ProgressBar1).
    virtual void SetOverallVisible(bool) {}
    virtual void SetOverallRange(int, int) {}
    virtual void SetOverallPosition(int) {}
    virtual void SetFileVisible(bool) {}
    virtual void SetFileRange(int, int) {}
    virtual void SetFilePosition(int) {}

    // Asked between blocks; true ends the run, leaving nothing half-written.
    virtual bool CancelRequested() { return false; }
};

}  // namespace kiv
