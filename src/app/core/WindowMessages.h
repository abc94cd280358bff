#pragma once

#include <QtGlobal>

#include "cipher/PasswordMessages.h"

namespace kiv {

// Texts the window shows. Several differ only in their blanks: each action keeps its own.
inline constexpr char kLastSaveNotFound[] =
    QT_TRANSLATE_NOOP("kiv", "The last save has not been found");
inline constexpr char kCantCreateKey[] = QT_TRANSLATE_NOOP("kiv", "Can't Create Key");
inline constexpr char kQuickKeyTooShort[] =
    QT_TRANSLATE_NOOP("kiv", " Give cipher length equel  3 or big ");
inline constexpr char kPasswordPrompt[] = QT_TRANSLATE_NOOP("kiv", "Enter the Password:");
// Above the start-up prompt: the file the password is asked for.
inline constexpr char kPromptSubject[] = QT_TRANSLATE_NOOP("kiv", "File: %1");
inline constexpr char kWindowCaption[] =
    QT_TRANSLATE_NOOP("kiv", "Protect the lives of your information");
inline constexpr char kStoreWriteFailed[] = QT_TRANSLATE_NOOP("kiv", "Failed to set data for '%1'");
inline constexpr char kTextFileFilter[] = QT_TRANSLATE_NOOP("kiv", "Text files (*.txt)|*.TXT");

// The last-save file after an editor encryption; shown by the exception display.
inline constexpr char kCannotCreateFile[] = QT_TRANSLATE_NOOP("kiv", "Cannot create file %1");

// File runs.
inline constexpr char kEncryptFilesFilter[] = QT_TRANSLATE_NOOP(
    "kiv",
    "All files (*.*)|*.*|Text files (*.txt)|*.txt|Word files (*.doc)|*.doc|Excel files "
    "(*.xls)|*.xls|C++ files (*.cpp)|*.cpp|Picture files (*.jpg)|*.jpg");
inline constexpr char kRestoreFilter[] = QT_TRANSLATE_NOOP("kiv", "Kiv files (*.vrq)|*.vrq");
// Asked before a file encryption replaces an existing container; %1 is its path.
inline constexpr char kReplaceContainer[] =
    QT_TRANSLATE_NOOP("kiv", "%1 already exists.\nDo you want to replace it?");
inline constexpr char kCancelCaption[] = QT_TRANSLATE_NOOP("kiv", "Cancel");
// After a run's failure line: the file concerned (%1) and the system's reason (%2), such as
// "No space left on device".
inline constexpr char kFailureReasonLine[] = QT_TRANSLATE_NOOP("kiv", "%1: %2");
// The report list's last line after every run: how it ended and where its output is. %1 is the
// container of an encryption, or the folder of a restore; a restore counts its files (%2) and
// those it left out (%3). A cancelled or failed run leaves no half-written file.
inline constexpr char kEncryptFinished[] =
    QT_TRANSLATE_NOOP("kiv", "Finished: the files are encrypted into %1");
inline constexpr char kEncryptCancelled[] =
    QT_TRANSLATE_NOOP("kiv", "Cancelled: %1 was not written");
inline constexpr char kEncryptNotFinished[] =
    QT_TRANSLATE_NOOP("kiv", "Not finished: %1 was not written");
inline constexpr char kRestoreFinished[] =
    QT_TRANSLATE_NOOP("kiv", "Finished: files restored into %1: %2, not restored: %3");
inline constexpr char kRestoreCancelled[] =
    QT_TRANSLATE_NOOP("kiv", "Cancelled: files restored into %1: %2, the rest not restored");
inline constexpr char kRestoreNotFinished[] =
    QT_TRANSLATE_NOOP("kiv", "Not finished: files restored into %1: %2, the rest not restored");

// After the user went on past "Password is wrong": %1 is the restore's folder, %n the files
// written there; they are probably not what was stored.
inline constexpr char kRestoreUnconfirmed[] = QT_TRANSLATE_N_NOOP(
    "kiv", "The password did not match: files written into %1: %n, probably unreadable");

// The buttons of "Password is wrong" / "Change Password"; the first is the default and Escape's.
inline constexpr char kStopButton[] = QT_TRANSLATE_NOOP("kiv", "Stop");
inline constexpr char kRestoreAnywayButton[] = QT_TRANSLATE_NOOP("kiv", "Restore anyway");

// Asked once per restore, before anything is written, about the files in its folder (%1) that
// hold other content than it would write: how many (%n), their names (%2, one a line) and the
// name the first one's copy would get (%3). Escape and closing the box mean Skip.
inline constexpr char kFilesInTheWay[] = QT_TRANSLATE_N_NOOP(
    "kiv",
    "Files in %1 hold other content than the restore would write: %n\n\n%2\n\nReplace: these "
    "files are replaced and lost.\nKeep both: each restored file gets a name such as \"%3\".\n"
    "Skip: these files are left as they are and not restored.");
// The names beyond the first few, which only the report list then shows.
inline constexpr char kMoreFilesInTheWay[] = QT_TRANSLATE_N_NOOP("kiv", "… and more: %n");
inline constexpr char kFilesInTheWayCaption[] = QT_TRANSLATE_NOOP("kiv", "Files already there");
inline constexpr char kReplaceButton[] = QT_TRANSLATE_NOOP("kiv", "Replace");
inline constexpr char kKeepBothButton[] = QT_TRANSLATE_NOOP("kiv", "Keep both");
inline constexpr char kSkipButton[] = QT_TRANSLATE_NOOP("kiv", "Skip");

// Asked when the window is closed while a file run is going, with a button for each answer.
inline constexpr char kCloseDuringRun[] =
    QT_TRANSLATE_NOOP("kiv", "A file run is still going.\nStop it and close the window?");
inline constexpr char kStopAndClose[] = QT_TRANSLATE_NOOP("kiv", "Stop the run and close");
inline constexpr char kKeepRunning[] = QT_TRANSLATE_NOOP("kiv", "Keep running");

// Said below the progress bars after a clipboard action; %n is the number of converted parts
// (the lines and table cells between tabs and line ends).
inline constexpr char kClipboardEncrypted[] =
    QT_TRANSLATE_N_NOOP("kiv", "The clipboard now holds the encrypted text (%n parts)");
inline constexpr char kClipboardDecrypted[] =
    QT_TRANSLATE_N_NOOP("kiv", "The clipboard now holds the decrypted text (%n parts)");

// Said below the progress bars when a clipboard action found no text to convert (an image, or
// nothing at all); the clipboard is left as it was.
inline constexpr char kClipboardNothingEncrypted[] =
    QT_TRANSLATE_NOOP("kiv", "The clipboard holds no text: nothing was encrypted");
inline constexpr char kClipboardNothingDecrypted[] =
    QT_TRANSLATE_NOOP("kiv", "The clipboard holds no text: nothing was decrypted");
// Said when a drop in "Use File" mode holds a folder; nothing is started.
inline constexpr char kFoldersRefused[] =
    QT_TRANSLATE_NOOP("kiv", "folders cannot be encrypted; choose files");
// Said once the password for the file the window was started with is given: %1 is the button's
// caption, %2 the file.
inline constexpr char kPressToRestore[] = QT_TRANSLATE_NOOP("kiv", "Press %1 to restore %2");

// Captions of the window's controls and menu.
inline constexpr char kRememberMe[] = QT_TRANSLATE_NOOP("kiv", "Remember me");
inline constexpr char kUseText[] = QT_TRANSLATE_NOOP("kiv", "Use Text");
inline constexpr char kUseCopy[] = QT_TRANSLATE_NOOP("kiv", "Use Copy");
inline constexpr char kUseFile[] = QT_TRANSLATE_NOOP("kiv", "Use File");
inline constexpr char kEncryptEditorCaption[] = QT_TRANSLATE_NOOP("kiv", "Encrypt  Text editor");
inline constexpr char kDecryptEditorCaption[] = QT_TRANSLATE_NOOP("kiv", "Decrypt  Text editor");
inline constexpr char kEncryptCopyCaption[] = QT_TRANSLATE_NOOP("kiv", "Encrypt  Copy  Paste");
inline constexpr char kDecryptCopyCaption[] = QT_TRANSLATE_NOOP("kiv", "Decrypt  Copy Paste");
inline constexpr char kEncryptFilesCaption[] = QT_TRANSLATE_NOOP("kiv", "Encrypt  File data");
inline constexpr char kDecryptFilesCaption[] = QT_TRANSLATE_NOOP("kiv", "Decrypt  File data");
inline constexpr char kPasswordCaption[] = QT_TRANSLATE_NOOP("kiv", "Password");
inline constexpr char kSlogan[] = QT_TRANSLATE_NOOP(
    "kiv", "Quantum computers can not access encrypted and treated with even more.");
inline constexpr char kNewCaption[] = QT_TRANSLATE_NOOP("kiv", "New");
inline constexpr char kOpenCaption[] = QT_TRANSLATE_NOOP("kiv", "Open");
inline constexpr char kSaveAsCaption[] = QT_TRANSLATE_NOOP("kiv", "Save as");
inline constexpr char kConnected[] = QT_TRANSLATE_NOOP("kiv", "Connected");
// What assistive technology hears at the end of a file run.
inline constexpr char kRunFinishedAnnouncement[] = QT_TRANSLATE_NOOP("kiv", "File run finished");
inline constexpr char kRunFailedAnnouncement[] = QT_TRANSLATE_NOOP("kiv", "File run failed");
inline constexpr char kRunCancelledAnnouncement[] = QT_TRANSLATE_NOOP("kiv", "File run cancelled");

}  // namespace kiv
