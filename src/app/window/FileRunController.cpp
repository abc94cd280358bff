#include "app/window/FileRunController.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <optional>

#include "app/core/ShownText.h"
#include "app/core/TextAdapter.h"
#include "app/window/WindowAccessibility.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileDecryption.h"
#include "filecrypt/FileEncryption.h"
#include "filecrypt/FilePasswordCheck.h"
#include "messages/MessageCatalogue.h"
#include "runtime/ApplicationTitle.h"

namespace kiv {

FileRunController::FileRunController(UiServices& ui, const Clock& clock, Form1Controls& controls,
                                     DialogSettings& openDialog, DialogSettings& saveDialog)
    : ui_(ui),
      clock_(clock),
      controls_(controls),
      openDialog_(openDialog),
      saveDialog_(saveDialog),
      report_(std::make_unique<WindowRunReport>(ui, *controls.ListBox1, *controls.ProgressBar1,
                                                *controls.ProgressBar2, *controls.Edit1)),
      thread_(std::make_unique<FileRunThread>(
          *report_, [this](const FileRunResult& result) { Ended(result); })) {}

FileRunController::~FileRunController() = default;

bool FileRunController::CheckPassword(bool restoring, SecretText& password) {
    password = TextAdapter::SecretBytes(controls_.Edit1->text());
    const SecretText confirmation = TextAdapter::SecretBytes(controls_.Edit2->text());
    std::optional<Message> refusal = FilePasswordRefusal(
        restoring ? FileRunKind::Restore : FileRunKind::Encryption, password, &confirmation);
    if (!refusal && !FilePasswordUsable(password)) refusal = Message::UnusableFilePassword;
    if (!refusal) return true;
    ui_.ShowMessage(QString::fromUtf8(WindowText(*refusal)));
    return false;
}

void FileRunController::ReplaceReportList(const QStringList& paths) {
    controls_.ListBox1->clear();
    for (const QString& path : paths)
        controls_.ListBox1->addItem(WindowRunReport::Shown(TextAdapter::ToBytes(path)));
}

void FileRunController::Encrypt() {
    if (Running()) return;
    starter_ = controls_.Button2;
    SecretText password;
    if (!CheckPassword(false, password)) return;
    controls_.ListBox1->clear();
    openDialog_.multiSelect = true;
    openDialog_.filter = QString::fromUtf8(WindowText(Message::EncryptFilesFilter));
    const QStringList chosen = ui_.OpenDialog(openDialog_);
    if (chosen.isEmpty()) return;
    EncryptChosen(chosen, password);
}

void FileRunController::EncryptChosen(const QStringList& paths, const SecretText& password) {
    ReplaceReportList(paths);
    std::string output;
    // A container is the only copy of what it holds once the sources are gone, so an existing
    // one is replaced only when the user agrees, whether the name was chosen or derived.
    if (paths.size() > 1) {
        saveDialog_.defaultExtension = QStringLiteral("vrq");
        saveDialog_.confirmOverwrite = true;
        const std::optional<QString> chosen = ui_.SaveDialog(saveDialog_);
        if (!chosen) return;
        output = TextAdapter::ToBytes(*chosen);
    } else {
        output = SingleFileOutputName(TextAdapter::ToBytes(paths.front()));
        const QString name = TextAdapter::FromBytes(output);
        const QFileInfo existing(name);
        if ((existing.exists() || existing.isSymLink()) &&
            !ui_.Question(ShownText(WindowText(Message::ReplaceContainer)).arg(name),
                          QString::fromUtf8(kApplicationTitle)))
            return;
    }
    restoring_ = false;
    output_ = WindowRunReport::Shown(output);
    // The run keeps its own copy of the paths: the list only shows them.
    std::vector<std::string> sources;
    for (const QString& path : paths)
        sources.push_back(TextAdapter::ToBytes(path));
    Start([password, sources, output, &clock = clock_](FileRunObserver& observer) {
        return EncryptFiles(password, sources, output, observer, clock);
    });
}

void FileRunController::Restore(const std::optional<QString>& startFile) {
    if (Running()) return;
    starter_ = controls_.Button1;
    SecretText password;
    if (!CheckPassword(true, password)) return;
    QString path = startFile.value_or(QString());
    if (!startFile) {
        openDialog_.filter = QString::fromUtf8(WindowText(Message::RestoreFilter));
        const QStringList chosen = ui_.OpenDialog(openDialog_);
        if (chosen.isEmpty()) return;
        ReplaceReportList(chosen);
        path = chosen.front();
    }
    RestoreChosen(path, password);
}

void FileRunController::RestoreChosen(const QString& path, const SecretText& password) {
    restoring_ = true;
    output_ = WindowRunReport::Shown(TextAdapter::ToBytes(QFileInfo(path).absolutePath()));
    Start(
        [password, path = TextAdapter::ToBytes(path), &clock = clock_](FileRunObserver& observer) {
            return DecryptFiles(password, path, observer, {}, clock);
        });
}

void FileRunController::Start(FileRunThread::Job job) {
    controls_.SetRunning(true);
    thread_->Start(std::move(job));
}

void FileRunController::Ended(const FileRunResult& result) {
    controls_.SetRunning(false, starter_);
    QListWidget& list = *controls_.ListBox1;
    if (result.failureError != 0 || result.failureText != nullptr) {
        // The system's words in the window's language, where the system has them, or the run's.
        list.addItem(ShownText(WindowText(Message::FailureReasonLine))
                         .arg(WindowRunReport::Shown(result.failurePath),
                              result.failureText != nullptr
                                  ? ShownText(result.failureText)
                                  : qt_error_string(result.failureError)));
        list.scrollToBottom();
    }
    const QString summary = Summary(result);
    list.addItem(summary);
    list.scrollToBottom();
    controls_.Status->Show(summary, output_);
    if (result.status != FileRunStatus::Cancelled) {
        Announce(list, result.AllWritten() ? ShownText(WindowText(Message::RunFinishedAnnouncement))
                                           : ShownText(WindowText(Message::RunFailedAnnouncement)));
        return;
    }
    controls_.ProgressBar1->hide();
    controls_.ProgressBar2->hide();
    Announce(list, ShownText(WindowText(Message::RunCancelledAnnouncement)));
}

QString FileRunController::Summary(const FileRunResult& result) const {
    const bool finished = result.status == FileRunStatus::Completed;
    const bool cancelled = result.status == FileRunStatus::Cancelled;
    if (!restoring_)
        return ShownText(finished    ? WindowText(Message::EncryptFinished)
                         : cancelled ? WindowText(Message::EncryptCancelled)
                                     : WindowText(Message::EncryptNotFinished))
            .arg(output_);
    if (result.passwordUnconfirmed)
        return ShownText(WindowText(Message::RestoreUnconfirmed), result.filesWritten).arg(output_);
    const QString restored = QString::number(result.filesWritten);
    if (finished)
        return ShownText(WindowText(Message::RestoreFinished))
            .arg(output_, restored,
                 QString::number(result.entriesSkipped + result.entriesDeclined));
    return ShownText(cancelled ? WindowText(Message::RestoreCancelled)
                               : WindowText(Message::RestoreNotFinished))
        .arg(output_, restored);
}

QStringList FileRunController::DroppedFiles(const QMimeData* data, int sourceMode) const {
    if (sourceMode != 1 || Running() || data == nullptr || !data->hasUrls()) return {};
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        paths << url.toLocalFile();
    }
    return paths;
}

void FileRunController::DragEntered(QDropEvent& event, int sourceMode) const {
    if (!DroppedFiles(event.mimeData(), sourceMode).isEmpty()) event.acceptProposedAction();
}

void FileRunController::Dropped(QDropEvent& event, int sourceMode) {
    const QStringList paths = DroppedFiles(event.mimeData(), sourceMode);
    if (paths.isEmpty()) return;
    // A folder is let in only to be refused in words: a drop nothing takes would say nothing.
    if (std::any_of(paths.begin(), paths.end(),
                    [](const QString& path) { return QFileInfo(path).isDir(); }))
        return controls_.Status->Show(ShownText(WindowText(Message::FoldersRefused)));
    event.acceptProposedAction();
    // The drop is finished first: the run may ask for a name, and the dragging program should
    // not wait for that.
    QMetaObject::invokeMethod(
        thread_.get(), [this, paths] { ui_.Guard([this, &paths] { FilesDropped(paths); }); },
        Qt::QueuedConnection);
}

void FileRunController::FilesDropped(const QStringList& paths) {
    if (Running()) return;
    starter_ = controls_.Edit1->window()->focusWidget();
    const bool restoring =
        paths.size() == 1 && paths.front().endsWith(QStringLiteral(".vrq"), Qt::CaseInsensitive);
    SecretText password;
    if (!CheckPassword(restoring, password)) return;
    if (!restoring) {
        EncryptChosen(paths, password);
        return;
    }
    ReplaceReportList(paths);
    RestoreChosen(paths.front(), password);
}

}  // namespace kiv
