#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "filecrypt/ContainerNames.h"
#include "filecrypt/ReportText.h"

namespace kiv {

// What a restore does with the files in its way whose content differs from what it would write.
enum class ExistingFileChoice {
    Replace,
    KeepBoth,  // the restored file gets the first free RestoredCopyName
    Skip,      // the entry is not restored
};

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
    // "Password is wrong" / "Change Password", asked once per run: true to stop the run, false
    // to restore anyway with the entered password.
    virtual bool ConfirmStop(const std::string& question, const std::string& caption) = 0;

    // Whether a restore asks ChooseForExisting before it writes over a file whose content
    // differs; without that, such files are replaced, as a command line's restore always did.
    // Called on the run's thread: the answer must not depend on anything another thread changes.
    virtual bool AsksBeforeReplacing() const { return false; }
    // Asked at most once per restore, before anything is written: the stored names of the files
    // in folder (with its final "/") whose content differs; the answer holds for all of them.
    virtual ExistingFileChoice ChooseForExisting(const std::string& /*folder*/,
                                                 const std::vector<std::string>& /*names*/) {
        return ExistingFileChoice::Replace;
    }
    // The mark a kept copy's name gets, with %1 for its number (RestoredCopyName); in the
    // window's language, where it has one. Called on the run's thread.
    virtual std::string CopyMark() const { return WindowText(Message::RestoredCopyMark); }
    // Makes the first password box visible again after a refused password.
    virtual void ShowPasswordBox() {}

    // The whole run's bar (ProgressBar2) and the current file's bar (ProgressBar1).
    virtual void SetOverallVisible(bool) {}
    virtual void SetOverallRange(int, int) {}
    virtual void SetOverallPosition(int) {}
    // As each entry starts, stored or restored (SetOverallPosition moves only when the bar
    // does): a bar that counts bytes knows by it whose bytes come next.
    virtual void EntryBegins() {}
    // The sizes of the entries the run is about to store or restore, in order, where the run
    // knows them before it starts; a bar that counts bytes weighs each entry by them.
    virtual void SetRunSizes(std::vector<std::int64_t> /*sizes*/) {}
    virtual void SetFileVisible(bool) {}
    virtual void SetFileRange(int, int) {}
    virtual void SetFilePosition(int) {}

    // Asked between blocks; true ends the run, leaving nothing half-written.
    virtual bool CancelRequested() { return false; }
};

}  // namespace kiv
