#pragma once

#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "app/core/DialogSettings.h"
#include "app/core/FileRunThread.h"
#include "app/core/UiServices.h"
#include "app/window/Form1Controls.h"
#include "app/window/WindowRunReport.h"
#include "numeric/Clock.h"
#include "runtime/SecretText.h"

class QDropEvent;
class QMimeData;

namespace kiv {

// The window's file runs: their own password checks, the dialogs that choose the files, the
// report list they fill and the worker thread they run on. One run at a time; while it goes,
// the controls that would start another are off.
class FileRunController {
  public:
    FileRunController(UiServices& ui, const Clock& clock, Form1Controls& controls,
                      DialogSettings& openDialog, DialogSettings& saveDialog);
    // Cancels a run still going and waits for it.
    ~FileRunController();

    bool Running() const { return thread_->Running(); }
    // "Encrypt  File data".
    void Encrypt();
    // "Decrypt  File data": startFile is restored without a dialog; without it one is asked.
    void Restore(const std::optional<QString>& startFile);
    void Cancel() { thread_->Cancel(); }
    // Cancels a run still going and waits until it has ended.
    void Stop() { thread_->Stop(); }
    // A drag of local files onto the window in "Use File" mode (sourceMode 1) is taken; its
    // drop starts a run once the drop itself has finished: one ".vrq" is restored, anything
    // else encrypted. A drop holding a folder starts nothing and says why.
    void DragEntered(QDropEvent& event, int sourceMode) const;
    void Dropped(QDropEvent& event, int sourceMode);

  private:
    // The local files of a drag, or none when the window takes no drop.
    QStringList DroppedFiles(const QMimeData* data, int sourceMode) const;
    void FilesDropped(const QStringList& paths);
    // The runs' own password checks, each run with its own texts, before any dialog: a password
    // the cipher cannot use is refused as one of the wrong length is. On success password holds
    // the first box's bytes.
    bool CheckPassword(bool restoring, SecretText& password);
    void ReplaceReportList(const QStringList& paths);
    // The files chosen for an encryption: asks for the output name when there are several.
    // The run keeps a copy of password of its own, wiped when the run has ended.
    void EncryptChosen(const QStringList& paths, const SecretText& password);
    void RestoreChosen(const QString& path, const SecretText& password);
    void Start(FileRunThread::Job job);
    void Ended(const FileRunResult& result);
    // The report's last line for the run that ended with result.
    QString Summary(const FileRunResult& result) const;

    UiServices& ui_;
    const Clock& clock_;
    Form1Controls& controls_;
    DialogSettings& openDialog_;
    DialogSettings& saveDialog_;
    // What had the focus when the run was asked for (its button, mostly): it gets the focus back
    // when the run has ended, instead of whatever Qt moved it to when that button went off.
    QPointer<QWidget> starter_;
    // What the run writes: a restore's folder, or the container an encryption writes; shown.
    bool restoring_ = false;
    QString output_;
    std::unique_ptr<WindowRunReport> report_;
    // Last, so that a run still going is cancelled and joined before anything else goes.
    std::unique_ptr<FileRunThread> thread_;
};

}  // namespace kiv
