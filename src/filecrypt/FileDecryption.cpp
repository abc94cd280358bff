#include "filecrypt/FileDecryption.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>

#include "filecrypt/BlockCodec.h"
#include "filecrypt/BlockStream.h"
#include "filecrypt/ByteFile.h"
#include "filecrypt/ContainerFormat.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileKey.h"
#include "filecrypt/FilePasswordCheck.h"
#include "filecrypt/OperationReport.h"
#include "filecrypt/PrintableName.h"
#include "filecrypt/ProgressRhythm.h"

namespace kiv {

namespace report {
namespace {
std::string Number(std::int64_t value) {
    return std::to_string(value);
}
}  // namespace

ReportText EndsBeforeEntry(int entry) {
    return {QT_TRANSLATE_NOOP("kiv", " The encrypted file ends before entry %1"), {Number(entry)}};
}
ReportText EndsBeforeLastBlockOfEntry(int entry) {
    return {QT_TRANSLATE_NOOP("kiv", " The encrypted file ends before the last block of entry %1"),
            {Number(entry)}};
}
ReportText EndsBeforeLastBlockOf(const std::string& name) {
    return {QT_TRANSLATE_NOOP("kiv", " The encrypted file ends before the last block of %1"),
            {PrintableName(name)}};
}
ReportText BadNameLength(int entry, std::int64_t length) {
    return {QT_TRANSLATE_NOOP("kiv",
                              " Entry %1 has a name length of %2 bytes (0 to 255 are possible): "
                              "the encrypted file is damaged"),
            {Number(entry), Number(length)}};
}
ReportText BadSourceSize(int entry, const std::string& name, std::int64_t size) {
    return {QT_TRANSLATE_NOOP("kiv",
                              " Entry %1 \"%2\" has a size of %3 bytes: the encrypted file is "
                              "damaged there; the entry was not restored"),
            {Number(entry), PrintableName(name), Number(size)}};
}
ReportText NegativeFileCount(std::int64_t count) {
    return {QT_TRANSLATE_NOOP("kiv",
                              " The encrypted file has a file count of %1: it is damaged, "
                              "nothing was restored"),
            {Number(count)}};
}
ReportText EntrySkipped(EntryProblem problem, const std::string& name, int entry) {
    const char* templ = nullptr;
    switch (problem) {
        case EntryProblem::NoName:
            templ = QT_TRANSLATE_NOOP("kiv", " Entry %1 \"%2\" has no name; skipped");
            break;
        case EntryProblem::NulInName:
            templ =
                QT_TRANSLATE_NOOP("kiv", " Entry %1 \"%2\" has a NUL byte in its name; skipped");
            break;
        case EntryProblem::FolderInName:
            templ = QT_TRANSLATE_NOOP("kiv", " Entry %1 \"%2\" has a folder in its name; skipped");
            break;
        case EntryProblem::NamedAfterFolder:
            templ = QT_TRANSLATE_NOOP("kiv", " Entry %1 \"%2\" is named after a folder; skipped");
            break;
        case EntryProblem::IsContainer:
            templ = QT_TRANSLATE_NOOP(
                "kiv", " Entry %1 \"%2\" would replace the encrypted file itself; skipped");
            break;
        case EntryProblem::RestoredEarlier:
        case EntryProblem::None:
            templ = QT_TRANSLATE_NOOP(
                "kiv",
                " Entry %1 \"%2\" has the name of a file restored earlier in this run; skipped");
            break;
    }
    return {templ, {Number(entry), PrintableName(name)}};
}
ReportText NotAnEncryptedFile(std::int64_t count) {
    return {QT_TRANSLATE_NOOP(
                "kiv", " This is not an encrypted file: no password gives its header count of %1"),
            {Number(count)}};
}
ReportText EntriesNotRestored(int entry, std::int64_t fileCount) {
    if (entry >= fileCount)
        return {QT_TRANSLATE_NOOP("kiv", " Entry %1 was not restored"), {Number(entry)}};
    return {QT_TRANSLATE_NOOP("kiv", " Entries %1 to %2 were not restored"),
            {Number(entry), Number(fileCount)}};
}
ReportText ImplausibleEntry(const std::string& name, int entry, std::int64_t fileCount) {
    if (entry >= fileCount)
        return {QT_TRANSLATE_NOOP("kiv",
                                  " Entry %1 \"%2\" claims more blocks than the encrypted file "
                                  "holds: it was not restored"),
                {Number(entry), PrintableName(name)}};
    return {QT_TRANSLATE_NOOP("kiv",
                              " Entry %1 \"%2\" claims more blocks than the encrypted file holds: "
                              "it and the entries after it, up to entry %3, were not restored"),
            {Number(entry), PrintableName(name), Number(fileCount)}};
}
ReportText RestoredUnderAnotherName(const std::string& name, const std::string& written) {
    return {QT_TRANSLATE_NOOP("kiv",
                              " The password differs from the stored one, so \"%1\" was not "
                              "replaced: restored as \"%2\""),
            {PrintableName(name), PrintableName(written)}};
}
}  // namespace report

namespace {

// One restore: the container being read, the entered password's key and what has been restored.
// Each step returns false when the run ends, with result_ saying why.
class RestoreRun {
  public:
    RestoreRun(const std::string& password, const std::string& path, FileRunObserver& observer,
               const std::string& targetFolder, const Clock& clock, const FileRunSpeed& speed,
               FileStore& files)
        : password_(password),
          path_(path),
          folder_(targetFolder.empty() ? FolderOf(path) : targetFolder),
          observer_(observer),
          speed_(speed),
          files_(files),
          ws_(clock),
          key_(PrepareFileKey(ws_, password)),
          codec_(ws_, key_, speed.kernel) {}

    FileRunResult Run() {
        ContainerHeader header;
        if (!OpenContainer() || !AcceptHeader(header)) return result_;
        observer_.SetOverallRange(1, 1000);
        observer_.SetOverallVisible(true);
        fileCount_ = header.fileCount;
        for (std::int64_t k = 0; k < header.fileCount; ++k) {
            observer_.SetOverallPosition(static_cast<int>(k * 1000 / header.fileCount));
            if (!RestoreEntry(static_cast<int>(k + 1))) return result_;
        }
        observer_.SetOverallVisible(false);
        return result_;
    }

  private:
    bool OpenContainer() {
        if (files_.OpenInput(path_, in_)) {
            container_ = FileIdentity(in_.Device(), in_.Inode());
            foldsCase_ = files_.FoldsLetterCase(folder_);
            // The container's name only counts where the restored files go beside it.
            const std::string containerFolder = FolderOf(path_);
            const auto folderOf = [&](const std::string& folder) {
                return files_.IdentityOf(folder.empty() ? "." : folder);
            };
            if (folder_ == containerFolder ||
                (folderOf(folder_) && folderOf(folder_) == folderOf(containerFolder)))
                containerName_ = Compared(StoredNameOf(path_));
            return true;
        }
        const int error = errno;
        observer_.AddLine(report::kDecryptReadNotOpen);
        return Fail(FileRunStatus::Failed, FileRunFailure::SourceUnreadable, path_, error);
    }

    // The checks that tie the container to the password, in the order the user meets them.
    bool AcceptHeader(ContainerHeader& header) {
        const HeaderRead read = ReadContainerHeader(in_, header);
        if (read == HeaderRead::NoResidueCount) return Damaged(report::kTooShortForHeader);
        if (read == HeaderRead::ImpossibleResidueCount)
            return Damaged(report::NotAnEncryptedFile(header.residueCount));
        if (header.residueCount != key_.residueCount) {
            observer_.ShowMessage(report::kPasswordLengthWrong);
            return RefusePassword();
        }
        if (read == HeaderRead::NoPasswordBlock) return Damaged(report::kEndsBeforePasswordBlock);
        // Every differing byte asks again; Cancel each time goes on with the entered password.
        const auto block = DecodePasswordBlock(codec_, header);
        for (int j = 0; j < key_.blockLength; ++j) {
            if (block[j] == static_cast<std::uint8_t>(password_[static_cast<std::size_t>(j)]))
                continue;
            if (observer_.ConfirmStop(report::kPasswordWrong, report::kChangePassword))
                return RefusePassword();
            passwordUnconfirmed_ = true;
        }
        if (read == HeaderRead::NoFileCount) return Damaged(report::kEndsBeforeFileCount);
        if (header.fileCount < 0) return Damaged(report::NegativeFileCount(header.fileCount));
        return true;
    }

    // Reads entry's fields and restores it, or skips it with a report line. False ends the run;
    // a damaged container then also says which entries were not restored.
    bool RestoreEntry(int entry) {
        EntryHeader stored;
        switch (ReadEntryHeader(in_, stored)) {
            case EntryRead::Complete:
                break;
            case EntryRead::Truncated:
                return DamagedAt(entry, report::EndsBeforeEntry(entry));
            case EntryRead::BadNameLength:
                return DamagedAt(entry, report::BadNameLength(entry, stored.nameLength));
            case EntryRead::BadSourceSize:
                return SkipDamagedEntry(entry, stored);
        }
        const EntryBlocks blocks = BlocksOf(stored.sourceSize, key_.blockLength);
        // The least file length that can hold this entry's blocks; computed in 64 bits so that a
        // damaged size cannot wrap around and pass.
        const std::int64_t least = blocks.StoredBytes(key_.ResidueBytes()) + entry;
        if (least > in_.Size()) {
            observer_.AddLine(report::ImplausibleEntry(stored.name, entry, fileCount_));
            observer_.SetOverallVisible(false);
            return Fail(FileRunStatus::Failed, FileRunFailure::ContainerDamaged, path_);
        }
        if (const EntryProblem problem = ProblemOf(stored.name); problem != EntryProblem::None) {
            observer_.AddLine(report::EntrySkipped(problem, stored.name, entry));
            ++result_.entriesSkipped;
            const std::int64_t bytes = blocks.StoredBytes(key_.ResidueBytes());
            if (in_.Skip(bytes) != bytes)
                return DamagedAt(entry, report::EndsBeforeLastBlockOfEntry(entry));
            return true;
        }
        // Bytes decoded with an unconfirmed password may be garbage: they never replace a file.
        std::string written = stored.name;
        for (int number = 2; passwordUnconfirmed_ && files_.NameTaken(folder_ + written); ++number)
            written = RestoredCopyName(stored.name, number);
        if (!DecodeEntry(stored.name, folder_ + written, blocks)) {
            if (result_.failure == FileRunFailure::ContainerDamaged ||
                result_.failure == FileRunFailure::SourceUnreadable)
                observer_.AddLine(report::EntriesNotRestored(entry, fileCount_));
            return false;
        }
        ++result_.filesWritten;
        restoredNames_.insert(Compared(stored.name));
        restoredNames_.insert(Compared(written));
        if (const auto identity = files_.IdentityOf(folder_ + written))
            restoredFiles_.insert(*identity);
        observer_.AddLine(ReportText::Value(stored.name));
        observer_.AddLine(report::OpenFileByteAmount(stored.sourceSize));
        observer_.AddLine(report::OpenFileBytePart(blocks.count));
        observer_.AddLine(report::DecryptOpenLongByte(key_.blockLength));
        observer_.AddLine(report::DecryptCloseLongByte(key_.residueCount));
        observer_.AddLine(report::CloseFileByteNo(least));
        observer_.AddLine(report::CloseFileByteYes(in_.Size()));
        if (written != stored.name) {
            observer_.AddLine(report::RestoredUnderAnotherName(stored.name, written));
            ++result_.entriesRenamed;
        }
        return true;
    }

    // A size below 0 is damage that no encryption writes, but the entry still has a length:
    // size div L + 1 blocks, none when that is below 1, as the layout counts them. So the next
    // entry can be found, and only this one is lost. It is not restored (not even as an empty
    // file, which would replace a file of its name); the run goes on and ends as damaged.
    bool SkipDamagedEntry(int entry, const EntryHeader& stored) {
        observer_.AddLine(report::BadSourceSize(entry, stored.name, stored.sourceSize));
        const EntryBlocks blocks = BlocksOf(stored.sourceSize, key_.blockLength);
        const std::int64_t bytes = std::max<std::int64_t>(blocks.count, 0) * key_.ResidueBytes();
        if (in_.Skip(bytes) != bytes)
            return DamagedAt(entry, report::EndsBeforeLastBlockOfEntry(entry));
        Fail(FileRunStatus::Failed, FileRunFailure::ContainerDamaged, path_);
        return true;
    }

    // Why an entry may not be restored, or None when it may. Targets are compared as files and
    // as names: through a link or a second name the container or an earlier entry's file is the
    // same file, and in a folder that ignores letter case, where identities may not hold from
    // one lookup to the next, so is every name that differs from it only in case. The folder
    // itself may be the container's under a name that shows nothing of it (another spelling
    // where every lookup makes up an identity, a FUSE view of it with a device of its own), so
    // a file about to be replaced that holds the container's bytes is taken for the container.
    EntryProblem ProblemOf(const std::string& name) const {
        if (const EntryProblem problem = StoredNameProblem(name); problem != EntryProblem::None)
            return problem;
        const std::optional<FileIdentity> existing = files_.IdentityOf(folder_ + name);
        if (existing == container_ || (containerName_ && *containerName_ == Compared(name)) ||
            (existing && HoldsContainerBytes(folder_ + name)))
            return EntryProblem::IsContainer;
        if (restoredNames_.count(Compared(name)) != 0 ||
            (existing && restoredFiles_.count(*existing) != 0))
            return EntryProblem::RestoredEarlier;
        return EntryProblem::None;
    }

    bool HoldsContainerBytes(const std::string& target) const {
        ByteReader candidate;
        return files_.OpenInput(target, candidate) && in_.HoldsSameBytesAs(candidate);
    }

    // A name as the target folder compares names.
    std::string Compared(const std::string& name) const {
        return foldsCase_ ? FoldedName(name) : name;
    }

    // Decodes one entry's blocks into its file beside the others; the file appears only whole.
    bool DecodeEntry(const std::string& name, const std::string& target,
                     const EntryBlocks& blocks) {
        // After an unconfirmed password the name was chosen because it was free, and it must
        // not become another file's replacement if somebody takes it meanwhile.
        const std::unique_ptr<FileStore::Output> file = files_.CreateOutput(
            target, passwordUnconfirmed_ ? ExistingFile::Keep : ExistingFile::Replace);
        if (!file) return Unwritable(target, errno);
        observer_.SetFileRange(1,
                               static_cast<int>(std::min<std::int64_t>(blocks.count, INT32_MAX)));
        observer_.SetFileVisible(true);
        ByteWriter& out = file->Writer();
        const int length = codec_.BlockLength();
        const ProgressRhythm rhythm(blocks.count);
        BlockStream::Steps steps;
        steps.read = [&](std::size_t n, ByteView& view) { return in_.View(n, view) == n; };
        steps.code = [&](const std::uint8_t* coded, std::size_t count, std::uint8_t* plain) {
            codec_.DecodeBlocks(coded, count, plain);
        };
        steps.concurrent = codec_.ConcurrentDecoding();
        steps.write = [&](const std::uint8_t* data, std::size_t n) { return out.Write(data, n); };
        steps.progress = [&](std::int64_t first, std::int64_t last) {
            rhythm.Advance(first, last,
                           [&](std::int64_t m) { observer_.SetFilePosition(static_cast<int>(m)); });
        };
        // The final block holds rest bytes; the remainder of it is noise.
        const BlockStream stream(blocks.count, static_cast<std::size_t>(codec_.ResidueBytes()),
                                 static_cast<std::size_t>(length),
                                 static_cast<std::size_t>(length - blocks.rest));
        switch (stream.Run(steps, speed_, observer_)) {
            case BlockStream::End::Completed:
                break;
            case BlockStream::End::ReadFailed:
                return Damaged(report::EndsBeforeLastBlockOf(name));
            case BlockStream::End::WriteFailed:
                return Unwritable(target, out.error());
            case BlockStream::End::Cancelled:
                return Fail(FileRunStatus::Cancelled, FileRunFailure::Cancelled, target);
        }
        if (!file->Commit()) return Unwritable(target, out.failed() ? out.error() : errno);
        observer_.SetFileVisible(false);
        return true;
    }

    // error: the system's error number behind the failure, or 0. The EINVAL of a FIFO, device
    // or socket opened or created is said in words of the run's own.
    bool Fail(FileRunStatus status, FileRunFailure failure, const std::string& path,
              int error = 0) {
        result_.status = status;
        result_.failure = failure;
        result_.failurePath = path;
        const bool irregular = error == EINVAL && files_.IsIrregular(path);
        result_.failureError = irregular ? 0 : error;
        result_.failureText = irregular ? report::kNotRegularFile : nullptr;
        return false;
    }
    // The container ends early or holds what no encryption writes; a read error is no damage.
    bool Damaged(const ReportText& line) {
        observer_.AddLine(line);
        if (!in_.failed())
            return Fail(FileRunStatus::Failed, FileRunFailure::ContainerDamaged, path_);
        Fail(FileRunStatus::Failed, FileRunFailure::SourceUnreadable, path_, in_.error());
        // A read that failed without an error number met the end of a file cut meanwhile.
        if (in_.error() == 0) result_.failureText = report::kChangedWhileRead;
        return false;
    }
    // Damage met while reading entry: the cause, then which entries were not restored.
    bool DamagedAt(int entry, const ReportText& line) {
        Damaged(line);
        observer_.AddLine(report::EntriesNotRestored(entry, fileCount_));
        return false;
    }
    bool Unwritable(const std::string& target, int error) {
        observer_.AddLine(report::kDecryptWriteNotOpen);
        return Fail(FileRunStatus::Failed, FileRunFailure::OutputUnwritable, target, error);
    }
    bool RefusePassword() {
        observer_.ShowPasswordBox();
        observer_.SetOverallVisible(false);
        return Fail(FileRunStatus::Stopped, FileRunFailure::PasswordRefused, path_);
    }

    const std::string& password_;
    const std::string& path_;
    const std::string folder_;
    FileRunObserver& observer_;
    const FileRunSpeed& speed_;
    FileStore& files_;
    CipherWorkspace ws_;
    const FileKey key_;
    BlockCodec codec_;
    ByteReader in_;
    FileIdentity container_;
    // The container's name as compared in the target folder, when it lies there.
    std::optional<std::string> containerName_;
    // Whether the target folder takes names that differ only in letter case for one file.
    bool foldsCase_ = false;
    std::int64_t fileCount_ = 0;
    // Set when the user went on past a differing byte of the password block.
    bool passwordUnconfirmed_ = false;
    // What this run has written, by name as compared in the folder and by file, so that no later
    // entry replaces it.
    std::set<std::string> restoredNames_;
    std::set<FileIdentity> restoredFiles_;
    FileRunResult result_;
};

}  // namespace

FileRunResult DecryptFiles(const std::string& password, const std::string& path,
                           FileRunObserver& observer, const std::string& targetFolder,
                           const Clock& clock, const FileRunSpeed& speed, FileStore& files) {
    if (const char* refusal = FilePasswordRefusal(FileRunKind::Restore, password)) {
        observer.ShowMessage(refusal);
        return FileRunResult::Ended(FileRunStatus::Refused, FileRunFailure::PasswordRefused, path);
    }
    return RestoreRun(password, path, observer, targetFolder, clock, speed, files).Run();
}

}  // namespace kiv
