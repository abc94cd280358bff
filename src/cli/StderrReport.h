#pragma once

#include <iosfwd>
#include <string>

#include "filecrypt/FileRunObserver.h"

namespace kiv {

// Shows a file run on standard error: the report list's lines, the messages, and, when standard
// error is a terminal, a progress bar redrawn in place. The "Password is wrong" question is
// answered OK (stop): a script cannot be asked.
class StderrReport final : public FileRunObserver {
  public:
    StderrReport(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}
    ~StderrReport() override { ClearBar(); }

    void AddLine(const std::string& line) override;
    void ShowMessage(const std::string& text) override;
    bool ConfirmStop(const std::string& question, const std::string& caption) override;
    void SetOverallPosition(int position) override;
    void SetFileRange(int low, int high) override;
    void SetFilePosition(int position) override;
    void SetFileVisible(bool visible) override;

  private:
    void DrawBar();
    void ClearBar();

    std::ostream& err_;
    bool terminal_;
    bool barShown_ = false;
    int overall_ = 0;  // 0..1000
    int fileHigh_ = 0;
    int file_ = 0;
};

}  // namespace kiv
