#include "filecrypt/FileDecryption.h"

#include <algorithm>
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
#include "filecrypt/ProgressRhythm.h"

namespace kiv {

namespace report {
std::string EndsEarly(const std::string& what) {
    return " The encrypted file ends before " + what;
}
std::string BadNameLength(int entry, std::int64_t length) {
    return " Entry " + std::to_string(entry) + " has a name length of " + std::to_string(length) +
           " bytes (0 to 255 are possible): the encrypted file is damaged";
}
std::string BadSourceSize(int entry, std::int64_t size) {
    return " Entry " + std::to_string(entry) + " has a size of " + std::to_string(size) +
           " bytes: the encrypted file is damaged";
}
std::string EntrySkipped(const std::string& name, int entry, const std::string& problem) {
    return " Entry " + std::to_string(entry) + " \"" + name + "\" " + problem + "; skipped";
}
std::string NotAnEncryptedFile(std::int64_t count) {
    return " This is not an encrypted file: no password gives its header count of " +
           std::to_string(count);
}
std::string EntriesNotRestored(int entry, std::int64_t fileCount) {
    if (entry >= fileCount) return " Entry " + std::to_string(entry) + " was not restored";
    return " Entries " + std::to_string(entry) + " to " + std::to_string(fileCount) +
           " were not restored";
}
std::string ImplausibleEntry(const std::string& name, int entry, std::int64_t fileCount) {
    std::string line = " Entry " + std::to_string(entry) + " \"" + name +
                       "\" claims more blocks than the encrypted file holds: ";
    line += entry >= fileCount ? "it was not restored"
                               : "it and the entries after it, up to entry " +
                                     std::to_string(fileCount) + ", were not restored";
    return line;
}
std::string RestoredUnderAnotherName(const std::string& name, const std::string& written) {
    return " The password differs from the stored one, so \"" + name +
           "\" was not replaced: restored as \"" + written + "\"";
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
            return true;
        }
        observer_.AddLine(report::kDecryptReadNotOpen);
        return Fail(FileRunStatus::Failed, FileRunFailure::SourceUnreadable, path_);
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
        if (read == HeaderRead::NoPasswordBlock)
            return Damaged(report::EndsEarly("its password block"));
        // Every differing byte asks again; Cancel each time goes on with the entered password.
        const auto block = DecodePasswordBlock(codec_, header);
        for (int j = 0; j < key_.blockLength; ++j) {
            if (block[j] == static_cast<std::uint8_t>(password_[static_cast<std::size_t>(j)]))
                continue;
            if (observer_.ConfirmStop(report::kPasswordWrong, report::kChangePassword))
                return RefusePassword();
            passwordUnconfirmed_ = true;
        }
        if (read == HeaderRead::NoFileCount) return Damaged(report::EndsEarly("its file count"));
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
                return DamagedAt(entry, report::EndsEarly("entry " + std::to_string(entry)));
            case EntryRead::BadNameLength:
                return DamagedAt(entry, report::BadNameLength(entry, stored.nameLength));
            case EntryRead::BadSourceSize:
                return DamagedAt(entry, report::BadSourceSize(entry, stored.sourceSize));
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
        if (const std::string problem = EntryProblem(stored.name); !problem.empty()) {
            observer_.AddLine(report::EntrySkipped(stored.name, entry, problem));
            ++result_.entriesSkipped;
            const std::int64_t bytes = blocks.StoredBytes(key_.ResidueBytes());
            if (in_.Skip(bytes) != bytes)
                return DamagedAt(
                    entry, report::EndsEarly("the last block of entry " + std::to_string(entry)));
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
        restoredNames_.insert(stored.name);
        if (const auto identity = files_.IdentityOf(folder_ + written))
            restoredFiles_.insert(*identity);
        observer_.AddLine(stored.name);
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

    // Why an entry may not be restored, or "" when it may. Targets are compared as files, not as
    // names: through a link or a second name the container or an earlier entry's file is the same.
    std::string EntryProblem(const std::string& name) const {
        if (std::string problem = StoredNameProblem(name); !problem.empty()) return problem;
        const std::optional<FileIdentity> existing = files_.IdentityOf(folder_ + name);
        if (existing == container_) return "would replace the encrypted file itself";
        if (restoredNames_.count(name) != 0 || (existing && restoredFiles_.count(*existing) != 0))
            return "has the name of a file restored earlier in this run";
        return {};
    }

    // Decodes one entry's blocks into its file beside the others; the file appears only whole.
    bool DecodeEntry(const std::string& name, const std::string& target,
                     const EntryBlocks& blocks) {
        // After an unconfirmed password the name was chosen because it was free, and it must
        // not become another file's replacement if somebody takes it meanwhile.
        const std::unique_ptr<FileStore::Output> file = files_.CreateOutput(
            target, passwordUnconfirmed_ ? ExistingFile::Keep : ExistingFile::Replace);
        if (!file) return Unwritable(target);
        observer_.SetFileRange(1,
                               static_cast<int>(std::min<std::int64_t>(blocks.count, INT32_MAX)));
        observer_.SetFileVisible(true);
        ByteWriter& out = file->Writer();
        const int length = codec_.BlockLength();
        const ProgressRhythm rhythm(blocks.count);
        BlockStream::Steps steps;
        steps.read = [&](std::uint8_t* into, std::size_t n) { return in_.Read(into, n) == n; };
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
                return Damaged(report::EndsEarly("the last block of " + name));
            case BlockStream::End::WriteFailed:
                return Unwritable(target);
            case BlockStream::End::Cancelled:
                return Fail(FileRunStatus::Cancelled, FileRunFailure::Cancelled, target);
        }
        if (!file->Commit()) return Unwritable(target);
        observer_.SetFileVisible(false);
        return true;
    }

    bool Fail(FileRunStatus status, FileRunFailure failure, const std::string& path) {
        result_.status = status;
        result_.failure = failure;
        result_.failurePath = path;
        return false;
    }
    // The container ends early or holds what no encryption writes; a read error is no damage.
    bool Damaged(const std::string& line) {
        observer_.AddLine(line);
        return Fail(
            FileRunStatus::Failed,
            in_.failed() ? FileRunFailure::SourceUnreadable : FileRunFailure::ContainerDamaged,
            path_);
    }
    // Damage met while reading entry: the cause, then which entries were not restored.
    bool DamagedAt(int entry, const std::string& line) {
        Damaged(line);
        observer_.AddLine(report::EntriesNotRestored(entry, fileCount_));
        return false;
    }
    bool Unwritable(const std::string& target) {
        observer_.AddLine(report::kDecryptWriteNotOpen);
        return Fail(FileRunStatus::Failed, FileRunFailure::OutputUnwritable, target);
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
    std::int64_t fileCount_ = 0;
    // Set when the user went on past a differing byte of the password block.
    bool passwordUnconfirmed_ = false;
    // What this run has written, by stored name and by file, so that no later entry replaces it.
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
