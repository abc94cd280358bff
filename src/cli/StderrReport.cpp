#include "cli/StderrReport.h"

#include <algorithm>
#include <ostream>

#include "cli/CliMessages.h"
#include "cli/FailureLines.h"
#include "filecrypt/OperationReport.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

void StderrReport::AddLine(const ReportText& line) {
    if (!verbose_) return;
    ClearBar();
    err_ << line.Filled() << '\n';  // its values are printable already
}

void StderrReport::ShowMessage(const ReportText& text) {
    // Worded as a template: the values, printable already, are not escaped twice.
    detail_ = FillTemplate(CliWording(text.templ), text.args);
}

bool StderrReport::ConfirmStop(const std::string&, const std::string&) {
    // The one question a run asks.
    detail_ = CliWording(report::kPasswordWrong);
    return true;
}

ExistingFileChoice StderrReport::ChooseForExisting(const std::string& folder,
                                                   const std::vector<std::string>& names) {
    ClearBar();
    const std::string shown = folder == "./" ? "" : folder;
    const CliMessage& line = inTheWay_ == InTheWay::kKeep ? kKeptExisting : kOutputExists;
    for (const std::string& name : names)
        err_ << "kiv-cli: " << Worded(line, PrintableName(shown + name)) << '\n';
    refused_ = inTheWay_ == InTheWay::kRefuse;
    return ExistingFileChoice::Skip;
}

void StderrReport::SetOverallPosition(int position) {
    overall_ = position;
    DrawBar();
}

void StderrReport::SetFileRange(int, int high) {
    fileHigh_ = high;
    file_ = 0;
}

void StderrReport::SetFilePosition(int position) {
    file_ = position;
    DrawBar();
}

void StderrReport::SetFileVisible(bool visible) {
    if (!visible) ClearBar();
}

void StderrReport::DrawBar() {
    if (!terminal_) return;
    constexpr std::int64_t kWidth = 40;
    const std::int64_t percent =
        fileHigh_ > 0 ? std::clamp<std::int64_t>(file_ * 100 / fileHigh_, 0, 100) : 100;
    const std::int64_t filled = percent * kWidth / 100;
    err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << percent
         << "% of this file, " << std::clamp<std::int64_t>(overall_ / 10, 0, 100) << "% of the run"
         << std::flush;
    barShown_ = true;
}

void StderrReport::ClearBar() {
    if (!barShown_) return;
    err_ << "\r\033[K" << std::flush;
    barShown_ = false;
}

}  // namespace kiv
