// The message catalogue: one row per text the window shows or kiv-cli prints.
//
//   KIV_MESSAGE(identity, window's text, kiv-cli's words, kiv-cli's exit status)
//
// - identity: the name code uses (Message::identity); never the words, which several share.
// - window's text: English, exactly as shown, every blank counting; marked with
//   QT_TRANSLATE_NOOP("kiv", ...) (QT_TRANSLATE_N_NOOP for one with a count "%n") so that
//   lupdate collects it; kCliOnly when the window never shows it.
// - kiv-cli's words: kWindowOnly when kiv-cli never prints it, kSameWords when it prints the
//   window's English words, or its own words for one password and a line on standard error;
//   without the "kiv-cli: " that starts a failure line.
// - exit status: kiv-cli's status when it says this message, as its line or within one;
//   kNoExitStatus for what it only reports (-v) or warns, and for window texts.
//
// Values go where %1, %2, ... stand (ReportText, FillTemplate). Adding a message is one row
// here; docs/errors.md and tests/data/messages.tsv are then made again from the catalogue.
// Read twice, by Message.h for the identities and by MessageCatalogue.h for the rows: no include
// guard.

// The password checks of the window's actions. Several differ only in their blanks: each action
// keeps its own. kiv-cli asks for one password, or the same one twice on a terminal.
KIV_MESSAGE(EncryptEditorMismatch, QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal"),
            "the two passwords differ", kExitPassword)
KIV_MESSAGE(DecryptEditorMismatch,
            QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal  "),
            "the two passwords differ", kExitPassword)
KIV_MESSAGE(EncryptClipboardMismatch,
            QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal"),
            "the two passwords differ", kExitPassword)
KIV_MESSAGE(DecryptClipboardMismatch,
            QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal "),
            "the two passwords differ", kExitPassword)
KIV_MESSAGE(PasswordTooShort,
            QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal or small than three "),
            kWindowOnly, kNoExitStatus)
// File runs: encryption uses one length text for both limits, a restore has two.
KIV_MESSAGE(EncryptFilesMismatch,
            QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal. "),
            "the two passwords differ", kExitPassword)
KIV_MESSAGE(RestoreMismatch, QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal "),
            "the two passwords differ", kExitPassword)
KIV_MESSAGE(FilePasswordLength,
            QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal or small than three "),
            "a file password must be 3 to 23 bytes long", kExitPassword)
KIV_MESSAGE(RestorePasswordTooShort,
            QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal or small than three  "),
            "a file password must be 3 to 23 bytes long; this one is shorter", kExitPassword)
KIV_MESSAGE(RestorePasswordTooLong,
            QT_TRANSLATE_NOOP("kiv", "Password 1 and Password 2 must equal or small than three "),
            "a file password must be 3 to 23 bytes long; this one is longer", kExitPassword)
// Before any file dialog: a password of a fitting length that the cipher still cannot use for
// files (two parts of a block would share one prime).
KIV_MESSAGE(UnusableFilePassword,
            QT_TRANSLATE_NOOP("kiv",
                              "This password cannot be used: choose another one; some passwords "
                              "with letters outside A–Z cannot"),
            kWindowOnly, kNoExitStatus)
// Instead of encrypting with a key whose moduli repeat.
KIV_MESSAGE(RepeatedModuli,
            QT_TRANSLATE_NOOP("kiv",
                              "This password cannot protect a text: two parts of every block "
                              "would share one prime, so the cipher text could never be "
                              "decrypted. Please choose another password."),
            "this password cannot protect a text: two parts of every block would share one "
            "prime, so the cipher text could never be decrypted; choose another password",
            kExitPassword)
KIV_MESSAGE(RepeatedModuliFile,
            QT_TRANSLATE_NOOP("kiv",
                              "This password cannot protect files: two parts of every block "
                              "would share one prime, so the encrypted file could never be "
                              "restored. Please choose another password."),
            "this password cannot protect files: two parts of every block would share one prime, "
            "so the encrypted file could never be restored; choose another password",
            kExitPassword)

// The text cores: a cipher text altered where it pairs its characters.
KIV_MESSAGE(MessageChangedOne, QT_TRANSLATE_NOOP("kiv", "Message changed not true one"),
            "a character outside the cipher-text alphabet (first of a pair)", kExitFailed)
KIV_MESSAGE(MessageChangedTwo, QT_TRANSLATE_NOOP("kiv", "Message changed not true two"),
            "a character outside the cipher-text alphabet (second of a pair)", kExitFailed)

// The file runs' messages and their one question. kiv-cli says a message as the reason of its
// failure line.
KIV_MESSAGE(SourceTooLarge,
            QT_TRANSLATE_NOOP("kiv",
                              "The file %1 is 2 GiB or larger; an encrypted file can only hold "
                              "files below 2 GiB."),
            "the file %1 is 2 GiB or larger; an encrypted file can only hold files below 2 GiB.",
            kExitInputOutput)
KIV_MESSAGE(OutputIsSource,
            QT_TRANSLATE_NOOP("kiv",
                              "The encrypted file %1 would replace one of the files to encrypt. "
                              "Please choose another name."),
            "the encrypted file %1 would replace one of the files to encrypt. Please choose "
            "another name.",
            kExitUsage)
KIV_MESSAGE(SameName,
            QT_TRANSLATE_NOOP("kiv",
                              "Two of the files to encrypt are named \"%1\". An encrypted file "
                              "keeps only the names, so restoring it would give back just one of "
                              "them. Please rename one, or encrypt them separately."),
            "two of the files to encrypt are named \"%1\". An encrypted file keeps only the "
            "names, so restoring it would give back just one of them. Please rename one, or "
            "encrypt them separately.",
            kExitUsage)
KIV_MESSAGE(PasswordLengthWrong, QT_TRANSLATE_NOOP("kiv", " Password's length is wrong."),
            "wrong password: the file was encrypted with a password of another length",
            kExitPassword)
KIV_MESSAGE(PasswordWrong, QT_TRANSLATE_NOOP("kiv", "Password is wrong"), "wrong password",
            kExitPassword)
KIV_MESSAGE(ChangePassword, QT_TRANSLATE_NOOP("kiv", "Change Password"), kWindowOnly, kNoExitStatus)
// Why a run failed on a file where the system's error number says nothing or misleads: the
// reason after the file's path (FileRunResult::failureText).
KIV_MESSAGE(NotRegularFile, QT_TRANSLATE_NOOP("kiv", "Not a regular file"), kSameWords,
            kExitInputOutput)
KIV_MESSAGE(ChangedWhileRead, QT_TRANSLATE_NOOP("kiv", "The file changed length while it was read"),
            kSameWords, kExitInputOutput)

// The report list. kiv-cli prints it with -v. The labels of the two runs differ in their blanks;
// a figure follows its label directly, "%1" being the label's last two characters.
KIV_MESSAGE(InitialLine,
            QT_TRANSLATE_NOOP("kiv", "View  Encrypt File the Report  or Decrypt  File the Report"),
            kWindowOnly, kNoExitStatus)
// A line that is only a value, such as a path or a stored name: nothing to translate.
KIV_MESSAGE(Value, "%1", kSameWords, kNoExitStatus)
KIV_MESSAGE(EncryptWriteNotOpen, QT_TRANSLATE_NOOP("kiv", "Write File not Open "), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(EncryptReadNotOpen, QT_TRANSLATE_NOOP("kiv", "Read File not Open "), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(DecryptReadNotOpen, QT_TRANSLATE_NOOP("kiv", " Read File not Open "), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(DecryptWriteNotOpen, QT_TRANSLATE_NOOP("kiv", " Write File not Open "), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(FileByteAmount, QT_TRANSLATE_NOOP("kiv", "File Byte Amount = %1"), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(FileBytePart, QT_TRANSLATE_NOOP("kiv", "File Byte Part   = %1"), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(OpenLongByte, QT_TRANSLATE_NOOP("kiv", "Open Long Byte   = %1"), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(CloseLongByte, QT_TRANSLATE_NOOP("kiv", "Close Long Byte  = %1"), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(OpenFileByteAmount, QT_TRANSLATE_NOOP("kiv", "Open File Byte Amount = %1"), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(OpenFileBytePart, QT_TRANSLATE_NOOP("kiv", "Open File Byte Part   = %1"), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(DecryptOpenLongByte, QT_TRANSLATE_NOOP("kiv", "Open Long Byte        = %1"), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(DecryptCloseLongByte, QT_TRANSLATE_NOOP("kiv", "Close Long Byte       = %1"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(CloseFileByteNo, QT_TRANSLATE_NOOP("kiv", "Close File Byte no    = %1"), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(CloseFileByteYes, QT_TRANSLATE_NOOP("kiv", "Close File Byte yes   = %1"), kSameWords,
            kNoExitStatus)
// A damaged container, and the entries a restore did not restore.
KIV_MESSAGE(TooShortForHeader,
            QT_TRANSLATE_NOOP("kiv", " The file is too short to be an encrypted file"), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(EndsBeforePasswordBlock,
            QT_TRANSLATE_NOOP("kiv", " The encrypted file ends before its password block"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(EndsBeforeFileCount,
            QT_TRANSLATE_NOOP("kiv", " The encrypted file ends before its file count"), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(EndsBeforeEntry, QT_TRANSLATE_NOOP("kiv", " The encrypted file ends before entry %1"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(EndsBeforeLastBlockOfEntry,
            QT_TRANSLATE_NOOP("kiv", " The encrypted file ends before the last block of entry %1"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(EndsBeforeLastBlockOf,
            QT_TRANSLATE_NOOP("kiv", " The encrypted file ends before the last block of %1"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(BadNameLength,
            QT_TRANSLATE_NOOP("kiv",
                              " Entry %1 has a name length of %2 bytes (0 to 255 are possible): "
                              "the encrypted file is damaged"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(BadSourceSize,
            QT_TRANSLATE_NOOP("kiv",
                              " Entry %1 \"%2\" has a size of %3 bytes: the encrypted file is "
                              "damaged there; the entry was not restored"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(NegativeFileCount,
            QT_TRANSLATE_NOOP("kiv",
                              " The encrypted file has a file count of %1: it is damaged, nothing "
                              "was restored"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(EntryHasNoName, QT_TRANSLATE_NOOP("kiv", " Entry %1 \"%2\" has no name; skipped"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(EntryNameHoldsNul,
            QT_TRANSLATE_NOOP("kiv", " Entry %1 \"%2\" has a NUL byte in its name; skipped"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(EntryNameHoldsFolder,
            QT_TRANSLATE_NOOP("kiv", " Entry %1 \"%2\" has a folder in its name; skipped"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(EntryNamedAfterFolder,
            QT_TRANSLATE_NOOP("kiv", " Entry %1 \"%2\" is named after a folder; skipped"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(EntryIsContainer,
            QT_TRANSLATE_NOOP("kiv",
                              " Entry %1 \"%2\" would replace the encrypted file itself; skipped"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(EntryRestoredEarlier,
            QT_TRANSLATE_NOOP("kiv",
                              " Entry %1 \"%2\" has the name of a file restored earlier in this "
                              "run; skipped"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(NotAnEncryptedFile,
            QT_TRANSLATE_NOOP("kiv",
                              " This is not an encrypted file: no password gives its header count "
                              "of %1"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(LastEntryNotRestored, QT_TRANSLATE_NOOP("kiv", " Entry %1 was not restored"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(EntriesNotRestored, QT_TRANSLATE_NOOP("kiv", " Entries %1 to %2 were not restored"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(ImplausibleLastEntry,
            QT_TRANSLATE_NOOP("kiv",
                              " Entry %1 \"%2\" claims more blocks than the encrypted file holds: "
                              "it was not restored"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(ImplausibleEntry,
            QT_TRANSLATE_NOOP("kiv",
                              " Entry %1 \"%2\" claims more blocks than the encrypted file holds: "
                              "it and the entries after it, up to entry %3, were not restored"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(RestoredUnderAnotherName,
            QT_TRANSLATE_NOOP("kiv",
                              " The password differs from the stored one, so \"%1\" was not "
                              "replaced: restored as \"%2\""),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(RestoredUnconfirmed,
            QT_TRANSLATE_NOOP("kiv",
                              " The password differs from the stored one: \"%1\" was written "
                              "under its own name and is probably unreadable"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(ExistingReplaced,
            QT_TRANSLATE_NOOP("kiv", " \"%1\" held other content: replaced, as chosen"), kSameWords,
            kNoExitStatus)
KIV_MESSAGE(ExistingKeptBoth,
            QT_TRANSLATE_NOOP("kiv",
                              " \"%1\" holds other content and was kept, as chosen: restored as "
                              "\"%2\""),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(ExistingSkipped,
            QT_TRANSLATE_NOOP("kiv",
                              " Entry %1 \"%2\": the file of that name holds other content and "
                              "was kept, as chosen; not restored"),
            kSameWords, kNoExitStatus)
KIV_MESSAGE(ExistingSame,
            QT_TRANSLATE_NOOP("kiv", " \"%1\" already holds the same content: left as it was"),
            kSameWords, kNoExitStatus)
// What a kept copy's name gets before its extension, %1 standing for its number; kiv-cli always
// writes the English mark.
KIV_MESSAGE(RestoredCopyMark, QT_TRANSLATE_NOOP("kiv", " (restored %1)"), kSameWords, kNoExitStatus)

// Why a listing is incomplete: said after the encrypted file's name.
KIV_MESSAGE(ListingCannotOpen, QT_TRANSLATE_NOOP("kiv", "cannot be opened"), kSameWords,
            kExitFailed)
KIV_MESSAGE(ListingTooShort, QT_TRANSLATE_NOOP("kiv", "is too short to be an encrypted file"),
            kSameWords, kExitFailed)
KIV_MESSAGE(ListingImpossibleCount,
            QT_TRANSLATE_NOOP("kiv", "has a header count of %1, which no password gives"),
            kSameWords, kExitFailed)
KIV_MESSAGE(ListingNegativeCount,
            QT_TRANSLATE_NOOP("kiv", "is damaged: its file count, %1, is negative"), kSameWords,
            kExitFailed)
KIV_MESSAGE(ListingEntriesDoNotFill,
            QT_TRANSLATE_NOOP("kiv", "is damaged: its entries do not fill it exactly"), kSameWords,
            kExitFailed)

// The window's messages, questions and status line.
KIV_MESSAGE(LastSaveNotFound, QT_TRANSLATE_NOOP("kiv", "The last save has not been found"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(CantCreateKey, QT_TRANSLATE_NOOP("kiv", "Can't Create Key"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(QuickKeyTooShort, QT_TRANSLATE_NOOP("kiv", " Give cipher length equel  3 or big "),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(PasswordPrompt, QT_TRANSLATE_NOOP("kiv", "Enter the Password:"), kWindowOnly,
            kNoExitStatus)
// Above the start-up prompt: the file the password is asked for.
KIV_MESSAGE(PromptSubject, QT_TRANSLATE_NOOP("kiv", "File: %1"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(WindowCaption, QT_TRANSLATE_NOOP("kiv", "Protect the lives of your information"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(StoreWriteFailed, QT_TRANSLATE_NOOP("kiv", "Failed to set data for '%1'"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(TextFileFilter, QT_TRANSLATE_NOOP("kiv", "Text files (*.txt)|*.TXT"), kWindowOnly,
            kNoExitStatus)
// The last-save file after an editor encryption; shown by the exception display.
KIV_MESSAGE(CannotCreateFile, QT_TRANSLATE_NOOP("kiv", "Cannot create file %1"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(EncryptFilesFilter,
            QT_TRANSLATE_NOOP("kiv",
                              "All files (*.*)|*.*|Text files (*.txt)|*.txt|Word files "
                              "(*.doc)|*.doc|Excel files (*.xls)|*.xls|C++ files (*.cpp)|*.cpp|"
                              "Picture files (*.jpg)|*.jpg"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(RestoreFilter, QT_TRANSLATE_NOOP("kiv", "Kiv files (*.vrq)|*.vrq"), kWindowOnly,
            kNoExitStatus)
// Asked before a file encryption replaces an existing container; %1 is its path.
KIV_MESSAGE(ReplaceContainer,
            QT_TRANSLATE_NOOP("kiv", "%1 already exists.\nDo you want to replace it?"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(CancelCaption, QT_TRANSLATE_NOOP("kiv", "Cancel"), kWindowOnly, kNoExitStatus)
// After a run's failure line: the file concerned (%1) and the system's reason (%2), such as
// "No space left on device".
KIV_MESSAGE(FailureReasonLine, QT_TRANSLATE_NOOP("kiv", "%1: %2"), kWindowOnly, kNoExitStatus)
// The report list's last line after every run: how it ended and where its output is. %1 is the
// container of an encryption, or the folder of a restore; a restore counts its files (%2) and
// those it left out (%3). A cancelled or failed run leaves no half-written file.
KIV_MESSAGE(EncryptFinished, QT_TRANSLATE_NOOP("kiv", "Finished: the files are encrypted into %1"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(EncryptCancelled, QT_TRANSLATE_NOOP("kiv", "Cancelled: %1 was not written"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(EncryptNotFinished, QT_TRANSLATE_NOOP("kiv", "Not finished: %1 was not written"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(RestoreFinished,
            QT_TRANSLATE_NOOP("kiv", "Finished: files restored into %1: %2, not restored: %3"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(RestoreCancelled,
            QT_TRANSLATE_NOOP("kiv",
                              "Cancelled: files restored into %1: %2, the rest not restored"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(RestoreNotFinished,
            QT_TRANSLATE_NOOP("kiv",
                              "Not finished: files restored into %1: %2, the rest not restored"),
            kWindowOnly, kNoExitStatus)
// After the user went on past "Password is wrong": %1 is the restore's folder, %n the files
// written there; they are probably not what was stored.
KIV_MESSAGE(RestoreUnconfirmed,
            QT_TRANSLATE_N_NOOP("kiv",
                                "The password did not match: files written into %1: %n, probably "
                                "unreadable"),
            kWindowOnly, kNoExitStatus)
// The buttons of "Password is wrong" / "Change Password"; the first is the default and Escape's.
KIV_MESSAGE(StopButton, QT_TRANSLATE_NOOP("kiv", "Stop"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(RestoreAnywayButton, QT_TRANSLATE_NOOP("kiv", "Restore anyway"), kWindowOnly,
            kNoExitStatus)
// Asked once per restore, before anything is written, about the files in its folder (%1) that
// hold other content than it would write: how many (%n), their names (%2, one a line) and the
// name the first one's copy would get (%3). Escape and closing the box mean Skip.
KIV_MESSAGE(FilesInTheWay,
            QT_TRANSLATE_N_NOOP("kiv",
                                "Files in %1 hold other content than the restore would write: "
                                "%n\n\n%2\n\nReplace: these files are replaced and lost.\nKeep "
                                "both: each restored file gets a name such as \"%3\".\nSkip: "
                                "these files are left as they are and not restored."),
            kWindowOnly, kNoExitStatus)
// The names beyond the first few, which only the report list then shows.
KIV_MESSAGE(MoreFilesInTheWay, QT_TRANSLATE_N_NOOP("kiv", "… and more: %n"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(FilesInTheWayCaption, QT_TRANSLATE_NOOP("kiv", "Files already there"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(ReplaceButton, QT_TRANSLATE_NOOP("kiv", "Replace"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(KeepBothButton, QT_TRANSLATE_NOOP("kiv", "Keep both"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(SkipButton, QT_TRANSLATE_NOOP("kiv", "Skip"), kWindowOnly, kNoExitStatus)
// Asked when the window is closed while a file run is going, with a button for each answer.
KIV_MESSAGE(CloseDuringRun,
            QT_TRANSLATE_NOOP("kiv", "A file run is still going.\nStop it and close the window?"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(StopAndClose, QT_TRANSLATE_NOOP("kiv", "Stop the run and close"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(KeepRunning, QT_TRANSLATE_NOOP("kiv", "Keep running"), kWindowOnly, kNoExitStatus)
// Said below the progress bars after a clipboard action; %n is the number of converted parts
// (the lines and table cells between tabs and line ends).
KIV_MESSAGE(ClipboardEncrypted,
            QT_TRANSLATE_N_NOOP("kiv", "The clipboard now holds the encrypted text (%n parts)"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(ClipboardDecrypted,
            QT_TRANSLATE_N_NOOP("kiv", "The clipboard now holds the decrypted text (%n parts)"),
            kWindowOnly, kNoExitStatus)
// Said below the progress bars when a clipboard action found no text to convert (an image, or
// nothing at all); the clipboard is left as it was.
KIV_MESSAGE(ClipboardNothingEncrypted,
            QT_TRANSLATE_NOOP("kiv", "The clipboard holds no text: nothing was encrypted"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(ClipboardNothingDecrypted,
            QT_TRANSLATE_NOOP("kiv", "The clipboard holds no text: nothing was decrypted"),
            kWindowOnly, kNoExitStatus)
// Said when a drop in "Use File" mode holds a folder; nothing is started.
KIV_MESSAGE(FoldersRefused, QT_TRANSLATE_NOOP("kiv", "folders cannot be encrypted; choose files"),
            kWindowOnly, kNoExitStatus)
// Said once the password for the file the window was started with is given: %1 is the button's
// caption, %2 the file.
KIV_MESSAGE(PressToRestore, QT_TRANSLATE_NOOP("kiv", "Press %1 to restore %2"), kWindowOnly,
            kNoExitStatus)
// The same, when the window starts in another mode: the button shows only in "Use File" mode, %1.
KIV_MESSAGE(ChooseModeToRestore, QT_TRANSLATE_NOOP("kiv", "Choose %1, then press %2 to restore %3"),
            kWindowOnly, kNoExitStatus)
// What assistive technology hears at the end of a file run.
KIV_MESSAGE(RunFinishedAnnouncement, QT_TRANSLATE_NOOP("kiv", "File run finished"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(RunFailedAnnouncement, QT_TRANSLATE_NOOP("kiv", "File run failed"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(RunCancelledAnnouncement, QT_TRANSLATE_NOOP("kiv", "File run cancelled"), kWindowOnly,
            kNoExitStatus)

// The captions of the window's controls and menu.
KIV_MESSAGE(RememberMe, QT_TRANSLATE_NOOP("kiv", "Remember me"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(UseText, QT_TRANSLATE_NOOP("kiv", "Use Text"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(UseCopy, QT_TRANSLATE_NOOP("kiv", "Use Copy"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(UseFile, QT_TRANSLATE_NOOP("kiv", "Use File"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(EncryptEditorCaption, QT_TRANSLATE_NOOP("kiv", "Encrypt  Text editor"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(DecryptEditorCaption, QT_TRANSLATE_NOOP("kiv", "Decrypt  Text editor"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(EncryptCopyCaption, QT_TRANSLATE_NOOP("kiv", "Encrypt  Copy  Paste"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(DecryptCopyCaption, QT_TRANSLATE_NOOP("kiv", "Decrypt  Copy Paste"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(EncryptFilesCaption, QT_TRANSLATE_NOOP("kiv", "Encrypt  File data"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(DecryptFilesCaption, QT_TRANSLATE_NOOP("kiv", "Decrypt  File data"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(PasswordCaption, QT_TRANSLATE_NOOP("kiv", "Password"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(Slogan,
            QT_TRANSLATE_NOOP("kiv",
                              "Quantum computers can not access encrypted and treated with even "
                              "more."),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(NewCaption, QT_TRANSLATE_NOOP("kiv", "New"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(OpenCaption, QT_TRANSLATE_NOOP("kiv", "Open"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(SaveAsCaption, QT_TRANSLATE_NOOP("kiv", "Save as"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(Connected, QT_TRANSLATE_NOOP("kiv", "Connected"), kWindowOnly, kNoExitStatus)

// What assistive technology says of the controls: names and descriptions.
KIV_MESSAGE(Password1Name, QT_TRANSLATE_NOOP("kiv", "Password 1"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(Password2Name, QT_TRANSLATE_NOOP("kiv", "Password 2"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(Password2Description, QT_TRANSLATE_NOOP("kiv", "The same password again"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(EditorName, QT_TRANSLATE_NOOP("kiv", "Text editor"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(EditorDescription,
            QT_TRANSLATE_NOOP("kiv", "Each line is encrypted or decrypted on its own"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(ReportName, QT_TRANSLATE_NOOP("kiv", "Report"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(FileProgressName, QT_TRANSLATE_NOOP("kiv", "File progress"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(OverallProgressName, QT_TRANSLATE_NOOP("kiv", "Overall progress"), kWindowOnly,
            kNoExitStatus)
KIV_MESSAGE(DateName, QT_TRANSLATE_NOOP("kiv", "Date"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(TimeName, QT_TRANSLATE_NOOP("kiv", "Time"), kWindowOnly, kNoExitStatus)
KIV_MESSAGE(PasswordLabelDescription, QT_TRANSLATE_NOOP("kiv", "Shows or hides the passwords"),
            kWindowOnly, kNoExitStatus)
KIV_MESSAGE(SloganDescription,
            QT_TRANSLATE_NOOP("kiv", "Decrypts a cipher text pasted into Password 1"), kWindowOnly,
            kNoExitStatus)

// kiv-cli's own lines. A failure line names the file it concerns: %1 is then the file's name
// made printable and in single quotes, or "standard input" or "standard output".
KIV_MESSAGE(StandardInput, kCliOnly, "standard input", kNoExitStatus)
KIV_MESSAGE(StandardOutput, kCliOnly, "standard output", kNoExitStatus)
KIV_MESSAGE(CannotRead, kCliOnly, "cannot read %1", kExitInputOutput)
KIV_MESSAGE(CannotWrite, kCliOnly, "cannot write %1", kExitInputOutput)
KIV_MESSAGE(ContainerDamaged, kCliOnly, "%1 is damaged or not an encrypted file", kExitFailed)
KIV_MESSAGE(PasswordRefused, kCliOnly, "the password was refused", kExitPassword)
KIV_MESSAGE(RunCancelled, kCliOnly, "cancelled while working on %1; nothing was left half-written",
            kExitFailed)
KIV_MESSAGE(NotEveryFileWritten, kCliOnly, "not every file could be written for %1", kExitFailed)
KIV_MESSAGE(OneEntryNotRestored, kCliOnly,
            "%1 of the files stored in %2 was not restored: its name is unsafe or taken (-v "
            "shows which)",
            kExitFailed)
KIV_MESSAGE(EntriesNotRestoredByName, kCliOnly,
            "%1 of the files stored in %2 were not restored: their names are unsafe or taken (-v "
            "shows which)",
            kExitFailed)
KIV_MESSAGE(ListedNameHoldsNul, kCliOnly,
            "%1: entry %2 \"%3\" has a NUL byte in its name; not listed", kExitFailed)
KIV_MESSAGE(CannotHoldStandardInput, kCliOnly,
            "cannot hold standard input in a temporary file in TMPDIR: %1", kExitInputOutput)
KIV_MESSAGE(TemporaryFolderKeepsRemovedFiles, kCliOnly,
            "cannot hold standard input in a temporary file in TMPDIR: %1 keeps a file removed "
            "while open under another name, as FUSE and network filesystems do; set TMPDIR to a "
            "folder on a local disk",
            kExitInputOutput)
// The password.
KIV_MESSAGE(TerminalPasswordPrompt, kCliOnly, "Password: ", kNoExitStatus)
KIV_MESSAGE(TerminalRepeatPrompt, kCliOnly, "Repeat password: ", kNoExitStatus)
KIV_MESSAGE(CannotReadPasswordFile, kCliOnly, "cannot read password file '%1': %2",
            kExitInputOutput)
KIV_MESSAGE(CannotReadPasswordDescriptor, kCliOnly, "cannot read password from descriptor %1: %2",
            kExitInputOutput)
KIV_MESSAGE(CannotReadPasswordTerminal, kCliOnly, "cannot read the password from the terminal",
            kExitInputOutput)
KIV_MESSAGE(PasswordVariableUnset, kCliOnly,
            "no password was given: the environment variable %1 is not set", kExitPassword)
KIV_MESSAGE(NoTerminalForPassword, kCliOnly,
            "no terminal to ask for the password: use --password-file, --password-fd or "
            "--password-env",
            kExitPassword)
KIV_MESSAGE(NoPasswordGiven, kCliOnly, "no password was given", kExitPassword)
KIV_MESSAGE(PasswordsDiffer, kCliOnly, "the two passwords differ", kExitPassword)
KIV_MESSAGE(PasswordHoldsNul, kCliOnly, "the password holds a NUL byte, which no password may hold",
            kExitPassword)
KIV_MESSAGE(TextPasswordTooShort, kCliOnly, "the password must be at least 3 characters long",
            kExitPassword)
KIV_MESSAGE(TextPasswordCut, kCliOnly,
            "warning: only the first 17 bytes of a text password count; any password that shares "
            "them opens these texts",
            kNoExitStatus)
// The text commands: a line handed back or too long, a block left out, and why.
KIV_MESSAGE(LineTooLongToEncrypt, kCliOnly,
            "line %1: not encrypted, an empty line stands in its place: longer than 64 MiB (%2 "
            "bytes)",
            kExitFailed)
KIV_MESSAGE(LineTooLongToDecrypt, kCliOnly,
            "line %1: not decrypted, an empty line stands in its place: longer than %2 "
            "characters, the cipher text of a 64 MiB line for this password",
            kExitFailed)
KIV_MESSAGE(LineWrittenBack, kCliOnly, "line %1: written back unchanged: %2", kExitFailed)
KIV_MESSAGE(NotCipherTextForPassword, kCliOnly, "not a cipher text for this password", kExitFailed)
KIV_MESSAGE(TooShortForCipherText, kCliOnly, "too short to be a cipher text for this password",
            kExitFailed)
KIV_MESSAGE(BlockLeftOut, kCliOnly, "line %1: block %2 of %3 was left out: %4", kExitFailed)
KIV_MESSAGE(CharacterOutsideAlphabet, kCliOnly, "character %1 is outside the cipher-text alphabet",
            kExitFailed)
KIV_MESSAGE(TextEndsInsideBlock, kCliOnly, "the text ends inside this block", kExitFailed)
KIV_MESSAGE(FailsCipherCheck, kCliOnly,
            "it fails the cipher's check: altered, or not made with this password", kExitFailed)
// The command service.
KIV_MESSAGE(NoRuntimeFolder, kCliOnly, "no runtime folder for the command service: %1", kExitFailed)
KIV_MESSAGE(ServiceUnreachable, kCliOnly, "cannot reach the command service \"%1\" at %2: %3",
            kExitFailed)
KIV_MESSAGE(ServiceDidNotAnswer, kCliOnly, "the command service \"%1\" did not answer", kExitFailed)
KIV_MESSAGE(TopicRefused, kCliOnly, "the command service \"%1\" answered %2 to the topic \"%3\"",
            kExitFailed)
// The command line.
KIV_MESSAGE(UsageHint, kCliOnly, "Try 'kiv-cli --help' for more information.", kExitUsage)
KIV_MESSAGE(NoCommand, kCliOnly, "no command given", kExitUsage)
KIV_MESSAGE(UnknownCommand, kCliOnly, "unknown command '%1'", kExitUsage)
KIV_MESSAGE(UnknownOption, kCliOnly, "unknown option '%1'", kExitUsage)
KIV_MESSAGE(UnexpectedArgument, kCliOnly, "unexpected argument '%1'", kExitUsage)
KIV_MESSAGE(OptionNeedsValue, kCliOnly, "option '%1' needs a value", kExitUsage)
KIV_MESSAGE(FlagTakesNoValue, kCliOnly, "option '%1' takes no value", kExitUsage)
// A usage error (%1) with the name the mistyped word (%2) was most likely meant for.
KIV_MESSAGE(DidYouMean, kCliOnly, "%1; did you mean '%2'?", kExitUsage)
// After a usage error within a command (%1), instead of UsageHint.
KIV_MESSAGE(CommandUsageHint, kCliOnly, "Try 'kiv-cli help %1' for more information.", kExitUsage)
// --password-fd 0 beside a container or a file read from standard input (%1 says which).
KIV_MESSAGE(PasswordFdClash, kCliOnly,
            "--password-fd 0 reads the password from standard input, which holds %1", kExitUsage)
KIV_MESSAGE(GiveEither, kCliOnly, "give either %1 or %2", kExitUsage)
KIV_MESSAGE(NotDescriptorNumber, kCliOnly, "needs a descriptor number, not '%1'", kExitUsage)
KIV_MESSAGE(ArgumentMissing, kCliOnly, "an argument is missing", kExitUsage)
KIV_MESSAGE(NoFileToEncrypt, kCliOnly, "no file to encrypt given", kExitUsage)
KIV_MESSAGE(NoEncryptedFile, kCliOnly, "no encrypted file given", kExitUsage)
KIV_MESSAGE(NoTopic, kCliOnly, "no topic given", kExitUsage)
KIV_MESSAGE(StandardInputTwice, kCliOnly, "standard input (\"-\") can be given only once",
            kExitUsage)
KIV_MESSAGE(StandardInputNeedsName, kCliOnly,
            "standard input (\"-\") needs --name NAME to be stored under", kExitUsage)
KIV_MESSAGE(NameWithoutStandardInput, kCliOnly,
            "--name names standard input, which is not among the files", kExitUsage)
KIV_MESSAGE(NameCannotBeStored, kCliOnly, "'%1' cannot be stored: %2", kExitUsage)
KIV_MESSAGE(NameIsEmpty, kCliOnly, "it is empty", kExitUsage)
KIV_MESSAGE(NameIsFolder, kCliOnly, "it names a folder", kExitUsage)
KIV_MESSAGE(NameHoldsSlash, kCliOnly, "it holds a \"/\"", kExitUsage)
KIV_MESSAGE(NameTooLong, kCliOnly, "it is longer than 255 bytes", kExitUsage)
KIV_MESSAGE(StandardInputNeedsOutput, kCliOnly, "standard input needs -o OUT", kExitUsage)
KIV_MESSAGE(SeveralFilesNeedOutput, kCliOnly, "several files need -o OUT", kExitUsage)
KIV_MESSAGE(OutputIsTerminal, kCliOnly,
            "standard output is a terminal: redirect it, or give -o with a file", kExitUsage)
KIV_MESSAGE(NotAFolder, kCliOnly, "'%1' is not a folder", kExitUsage)
KIV_MESSAGE(NotAServiceName, kCliOnly, "'%1' cannot be a service name", kExitUsage)
// dde: nothing listens at the places looked in (%1).
KIV_MESSAGE(NoWindowRunning, kCliOnly, "no window is running: nothing listens at %1", kExitNoWindow)
// A file in the way of an output (%1): refused without -f or -n, kept with -n.
KIV_MESSAGE(OutputExists, kCliOnly, "'%1' exists: give -f to replace it, or -n to keep it",
            kExitFailed)
KIV_MESSAGE(KeptExisting, kCliOnly, "'%1' exists and is kept", kNoExitStatus)
// decrypt-file -e NAME: no container given holds a file of that name.
KIV_MESSAGE(NotStored, kCliOnly, "no stored file is named '%1'", kExitFailed)
// After a restore to files: the file %1 was stored in %2 parts; %3 is the command to join them.
KIV_MESSAGE(JoinParts, kCliOnly,
            "'%1' was stored in %2 parts, restored as its parts; join them: %3", kNoExitStatus)
// decrypt-text's summary after its first few failure lines: %1 lines of %2 failed, for a wrong
// password when nearly every line failed the cipher's check.
KIV_MESSAGE(TextLinesFailed, kCliOnly, "%1 of %2 lines were not decrypted whole", kExitFailed)
KIV_MESSAGE(TextPasswordWrong, kCliOnly, "%1 of %2 lines were not decrypted: wrong password",
            kExitPassword)
KIV_MESSAGE(TopicHoldsLineBreak, kCliOnly, "a topic cannot hold a line break", kExitUsage)
// What ends kiv-cli from within: memory, or a fault of its own, which its message (%1) names.
KIV_MESSAGE(OutOfMemory, kCliOnly, "out of memory", kExitStopped)
KIV_MESSAGE(Fault, kCliOnly, "%1", kExitStopped)
KIV_MESSAGE(UnexpectedFault, kCliOnly, "stopped by an unexpected error", kExitStopped)
