#include "cli/StderrReport.h"

#include <algorithm>
#include <ostream>
#include <string_view>

#include "cli/FailureLines.h"
#include "filecrypt/OperationReport.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

void StderrReport::AddLine(const ReportText& line) {
    if (verbose_) {
        ClearBar();
        err_ << line.Filled() << '\n';  // its values are printable already
        return;
    }
    if (!showFiles_) return;
    // A name alone is an entry restored.
    if (line.message == Message::Value && checkOnly_) {
        ClearBar();
        err_ << line.args.front() << ": ok\n";
    } else if (line.message == Message::Value) {
        ClearBar();
        err_ << line.args.front() << " \u2192 " << PrintableName(filesFolder_) << line.args.front()
             << '\n';
    } else if (std::string_view(line.templ).ends_with("skipped")) {
        ClearBar();
        const std::string text = line.Filled();
        err_ << "kiv-cli:" << (text.starts_with(' ') ? "" : " ") << text << '\n';
    }
}

void StderrReport::SetRunSizes(std::vector<std::int64_t> sizes) {
    sizes_ = std::move(sizes);
    before_.assign(1, 0);
    for (const std::int64_t size : sizes_)
        before_.push_back(before_.back() + size);
    total_ = before_.back();
}

void StderrReport::ShowMessage(const ReportText& text) {
    // Worded as a template: the values, printable already, are not escaped twice.
    detail_ = CliWording(text.message, text.args);
}

bool StderrReport::ConfirmStop(const std::string&, const std::string&) {
    // The one question a run asks.
    detail_ = CliWording(Message::PasswordWrong);
    return true;
}

ExistingFileChoice StderrReport::ChooseForExisting(const std::string& folder,
                                                   const std::vector<std::string>& names) {
    ClearBar();
    const std::string shown = folder == "./" ? "" : folder;
    const Message line =
        inTheWay_ == InTheWay::kKeep ? Message::KeptExisting : Message::OutputExists;
    for (const std::string& name : names)
        err_ << "kiv-cli: " << CliWording(line, {PrintableName(shown + name)}) << '\n';
    refused_ = inTheWay_ == InTheWay::kRefuse;
    return ExistingFileChoice::Skip;
}

void StderrReport::SetOverallPosition(int position) {
    // Drawn as the entry it comes with begins.
    overall_ = position;
}

void StderrReport::EntryBegins() {
    // Nothing of the entry is done yet.
    ++entry_;
    fileHigh_ = 0;
    file_ = 0;
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
    if (visible || entry_ < 0) return;
    // The entry is done, however few positions it reported: the last one's end shows 100 %.
    fileHigh_ = 1;
    file_ = 1;
    DrawBar();
}

std::string StderrReport::Bar() const {
    constexpr std::int64_t kWidth = 40;
    std::int64_t percent = std::clamp<std::int64_t>(overall_ / 10, 0, 100);
    const auto entry = static_cast<std::size_t>(entry_);
    if (entry_ >= 0 && entry < sizes_.size() && total_ > 0) {
        const std::int64_t done =
            before_[entry] +
            (fileHigh_ > 0 ? sizes_[entry] * std::min(file_, fileHigh_) / fileHigh_ : 0);
        percent = done * 100 / total_;
    } else if (entry_ >= 0 && entry < sizes_.size()) {
        percent = entry_ * 100 / static_cast<std::int64_t>(sizes_.size());
    }
    const std::int64_t filled = percent * kWidth / 100;
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] " +
           std::to_string(percent) + "%";
}

void StderrReport::DrawBar() {
    if (!terminal_) return;
    err_ << '\r' << Bar() << std::flush;
    barShown_ = true;
}

void StderrReport::ClearBar() {
    if (!barShown_) return;
    err_ << "\r\033[K" << std::flush;
    barShown_ = false;
}

}  // namespace kiv
