#include "cli/StderrReport.h"

#include <algorithm>
#include <ostream>

namespace kiv {

void StderrReport::AddLine(const std::string& line) {
    ClearBar();
    err_ << line << '\n';
}

void StderrReport::ShowMessage(const std::string& text) {
    ClearBar();
    err_ << text << '\n';
}

bool StderrReport::ConfirmStop(const std::string& question, const std::string& caption) {
    ClearBar();
    err_ << caption << ": " << question << '\n';
    return true;
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
    constexpr int kWidth = 40;
    const int percent = fileHigh_ > 0 ? std::clamp(file_ * 100 / fileHigh_, 0, 100) : 100;
    const int filled = percent * kWidth / 100;
    err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << percent
         << "% of this file, " << overall_ / 10 << "% of the run" << std::flush;
    barShown_ = true;
}

void StderrReport::ClearBar() {
    if (!barShown_) return;
    err_ << "\r\033[K" << std::flush;
    barShown_ = false;
}

}  // namespace kiv
