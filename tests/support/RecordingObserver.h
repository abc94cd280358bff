#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "filecrypt/FileRunObserver.h"

namespace kiv::testing {

// Records what a file run shows; answers the password question from a script (OK by default),
// and, when it asks before replacing, the one about files in the way (after running whenAsked).
struct RecordingObserver : FileRunObserver {
    std::vector<std::string> lines;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<bool> answers;  // true = OK (stop); empty: OK
    std::vector<int> filePositions;
    int passwordBoxShown = 0;
    bool overallVisible = false;
    bool fileVisible = false;
    int cancelAfterPositions = -1;
    bool asks = false;
    std::vector<std::string> inTheWay;  // the names asked about
    std::function<void()> whenAsked = [] {};

    // Lines and messages as kiv-cli reads them: in English, with their values put in.
    void AddLine(const ReportText& line) override { lines.push_back(line.Filled()); }
    void ShowMessage(const ReportText& text) override { messages.push_back(text.Filled()); }
    bool ConfirmStop(const std::string& question, const std::string& caption) override {
        questions.push_back(caption + "|" + question);
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool AsksBeforeReplacing() const override { return asks; }
    ExistingFileChoice ChooseForExisting(const std::string&,
                                         const std::vector<std::string>& names) override {
        inTheWay.insert(inTheWay.end(), names.begin(), names.end());
        whenAsked();
        return ExistingFileChoice::Replace;
    }
    void ShowPasswordBox() override { ++passwordBoxShown; }
    void SetOverallVisible(bool visible) override { overallVisible = visible; }
    void SetFileVisible(bool visible) override { fileVisible = visible; }
    void SetFilePosition(int position) override { filePositions.push_back(position); }
    bool CancelRequested() override {
        return cancelAfterPositions >= 0 &&
               static_cast<int>(filePositions.size()) >= cancelAfterPositions;
    }
};

}  // namespace kiv::testing
