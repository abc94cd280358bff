#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "filecrypt/FileRunObserver.h"

namespace kiv {

// Shows a file run on standard error. The report list's lines are the report: when verbose, each
// is printed as a line of its own, its non-printable bytes escaped (stored names are untrusted);
// otherwise a run that succeeds prints nothing, as scripts and cron expect. The run's
// messages are not printed here: they are kept, in kiv-cli's wording, as the detail of the one
// "kiv-cli: ..." failure line the command prints after the run. When standard error is a
// terminal, a progress bar is redrawn in place. The "Password is wrong" question is answered OK
// (stop): a script cannot be asked.
class StderrReport final : public FileRunObserver {
  public:
    StderrReport(std::ostream& err, bool terminal, bool verbose,
                 std::function<bool()> cancelRequested = {})
        : err_(err),
          terminal_(terminal),
          verbose_(verbose),
          cancelRequested_(std::move(cancelRequested)) {}
    ~StderrReport() override { ClearBar(); }

    void AddLine(const ReportText& line) override;
    void ShowMessage(const ReportText& text) override;
    bool ConfirmStop(const std::string& question, const std::string& caption) override;
    void SetOverallPosition(int position) override;
    void EntryBegins() override;
    // The bar's text after "\r": a bar of 40 and the run's percentage.
    std::string Bar() const;
    void SetFileRange(int low, int high) override;
    void SetFilePosition(int position) override;
    void SetFileVisible(bool visible) override;
    bool CancelRequested() override { return refused_ || (cancelRequested_ && cancelRequested_()); }

    // What a restore does with files of other content in its way: refuses them, each named on
    // its own line, and ends before anything is written (without -f or -n); keeps them, each
    // named (-n); or replaces them (-f, and --stdout, which writes no file).
    enum class InTheWay { kRefuse, kKeep, kReplace };
    void SetInTheWay(InTheWay choice) { inTheWay_ = choice; }
    bool AsksBeforeReplacing() const override { return inTheWay_ != InTheWay::kReplace; }
    ExistingFileChoice ChooseForExisting(const std::string& folder,
                                         const std::vector<std::string>& names) override;
    // Whether the run ended on files in its way.
    bool Refused() const { return refused_; }

    // The sizes of the run's files, in order, so that the bar counts bytes: without them it
    // counts files.
    void SetRunSizes(std::vector<std::int64_t> sizes) override;
    // For -v on a restore, from the lines added after this: each restored entry as
    // "name → path" in folder (with its final "/", "" for the current one), and the engine's
    // line for each one skipped.
    void ShowRestoredFiles(std::string folder) {
        filesFolder_ = std::move(folder);
        showFiles_ = true;
    }
    // For -v on a test: each entry decoded whole as "name: ok", and the engine's line for each
    // one skipped.
    void ShowCheckedFiles() {
        showFiles_ = true;
        checkOnly_ = true;
    }

    // kiv-cli's wording of the last message the run showed, or "".
    const std::string& Detail() const { return detail_; }

  private:
    void DrawBar();
    void ClearBar();

    std::ostream& err_;
    bool terminal_;
    bool verbose_;
    std::function<bool()> cancelRequested_;
    std::string detail_;
    InTheWay inTheWay_ = InTheWay::kReplace;
    bool refused_ = false;
    bool barShown_ = false;
    // Positions are block numbers; a 100 MB file with a 3-byte password has 35 million blocks,
    // so percentages are computed in 64 bits.
    std::int64_t overall_ = 0;  // 0..1000
    int entry_ = -1;            // the entry under way, counted from 0
    std::vector<std::int64_t> sizes_;
    std::vector<std::int64_t> before_;  // the bytes of the files before each
    std::int64_t total_ = 0;
    std::string filesFolder_;
    bool showFiles_ = false;
    bool checkOnly_ = false;
    std::int64_t fileHigh_ = 0;
    std::int64_t file_ = 0;
};

}  // namespace kiv
