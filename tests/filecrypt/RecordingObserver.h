#pragma once

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileRunObserver.h"

namespace kiv::testing {

// Records what a file run shows; answers the password question from a script (OK by default).
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

    void AddLine(const std::string& line) override { lines.push_back(line); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool ConfirmStop(const std::string& question, const std::string& caption) override {
        questions.push_back(caption + "|" + question);
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
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

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A fresh folder under the system's temporary folder, removed with the object.
struct TempFolder {
    std::filesystem::path path;
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kiv-test-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

}  // namespace kiv::testing
