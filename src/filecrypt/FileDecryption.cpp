#include "filecrypt/FileDecryption.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

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
#include "runtime/SecretWipe.h"

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
ReportText RestoredUnconfirmed(const std::string& name) {
    return {QT_TRANSLATE_NOOP("kiv",
                              " The password differs from the stored one: \"%1\" was written "
                              "under its own name and is probably unreadable"),
            {PrintableName(name)}};
}
ReportText ExistingReplaced(const std::string& name) {
    return {QT_TRANSLATE_NOOP("kiv", " \"%1\" held other content: replaced, as chosen"),
            {PrintableName(name)}};
}
ReportText ExistingKeptBoth(const std::string& name, const std::string& written) {
    return {QT_TRANSLATE_NOOP("kiv",
                              " \"%1\" holds other content and was kept, as chosen: restored as "
                              "\"%2\""),
            {PrintableName(name), PrintableName(written)}};
}
ReportText ExistingSkipped(const std::string& name, int entry) {
    return {QT_TRANSLATE_NOOP("kiv",
                              " Entry %1 \"%2\": the file of that name holds other content and "
                              "was kept, as chosen; not restored"),
            {Number(entry), PrintableName(name)}};
}
ReportText ExistingSame(const std::string& name) {
    return {QT_TRANSLATE_NOOP("kiv", " \"%1\" already holds the same content: left as it was"),
            {PrintableName(name)}};
}
}  // namespace report

namespace {

// What lies at an entry's target when the restore looks before writing.
enum class InTheWay { Same, Differs, NotAFile };

// One restore: the container being read, the entered password's key and what has been restored.
// Each step returns false when the run ends, with result_ saying why.
class RestoreRun {
  public:
    RestoreRun(const std::string& password, const std::string& path, FileRunObserver& observer,
               const std::string& targetFolder, const Clock& clock, const FileRunSpeed& speed,
               FileStore& files, const std::function<bool(int, const std::string&)>& wanted)
        : password_(password),
          path_(path),
          folder_(targetFolder.empty() ? FolderOf(path) : targetFolder),
          observer_(observer),
          speed_(speed),
          files_(files),
          wanted_(wanted),
          ws_(clock),
          key_(PrepareFileKey(ws_, password)),
          codec_(ws_, key_, speed.kernel),
          copyMark_(observer.CopyMark()) {}

    FileRunResult Run() {
        ContainerHeader header;
        if (!OpenContainer() || !AcceptHeader(header)) return result_;
        observer_.SetOverallRange(1, 1000);
        observer_.SetOverallVisible(true);
        fileCount_ = header.fileCount;
        // After an unconfirmed password nothing is replaced anyway: there is nothing to ask.
        if (!passwordUnconfirmed_ && observer_.AsksBeforeReplacing() && !AskAboutFilesInTheWay())
            return result_;
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
        // One question, however many bytes differ: its answer holds for the whole run.
        auto block = DecodePasswordBlock(codec_, header);
        const bool confirmed = std::equal(password_.begin(), password_.end(), block.begin(),
                                          [](char entered, std::uint8_t decoded) {
                                              return static_cast<std::uint8_t>(entered) == decoded;
                                          });
        // Decoded with the right password, the block is the password: not left on the stack.
        WipeBytes(block.data(), block.size());
        if (!confirmed) {
            if (observer_.ConfirmStop(report::kPasswordWrong, report::kChangePassword))
                return RefusePassword();
            passwordUnconfirmed_ = true;
            result_.passwordUnconfirmed = true;
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
        if (wanted_ && !wanted_(entry, stored.name)) {
            const std::int64_t bytes = blocks.StoredBytes(key_.ResidueBytes());
            if (in_.Skip(bytes) != bytes)
                return DamagedAt(entry, report::EndsBeforeLastBlockOfEntry(entry));
            return true;
        }
        if (const EntryProblem problem = ProblemOf(stored.name); problem != EntryProblem::None) {
            observer_.AddLine(report::EntrySkipped(problem, stored.name, entry));
            ++result_.entriesSkipped;
            const std::int64_t bytes = blocks.StoredBytes(key_.ResidueBytes());
            if (in_.Skip(bytes) != bytes)
                return DamagedAt(entry, report::EndsBeforeLastBlockOfEntry(entry));
            return true;
        }
        const EntryPlan plan = PlanFor(stored.name);
        if (plan.write != Write::Decode) {
            const std::int64_t bytes = blocks.StoredBytes(key_.ResidueBytes());
            if (in_.Skip(bytes) != bytes)
                return DamagedAt(entry, report::EndsBeforeLastBlockOfEntry(entry));
            if (plan.write == Write::Decline) {
                observer_.AddLine(report::ExistingSkipped(stored.name, entry));
                ++result_.entriesDeclined;
                return true;
            }
        } else if (!DecodeEntry(stored.name, folder_ + plan.written, blocks, plan.existing)) {
            if (result_.failure == FileRunFailure::ContainerDamaged ||
                result_.failure == FileRunFailure::SourceUnreadable)
                observer_.AddLine(report::EntriesNotRestored(entry, fileCount_));
            return false;
        }
        ++result_.filesWritten;
        restoredNames_.insert(Compared(stored.name));
        restoredNames_.insert(Compared(plan.written));
        if (const auto identity = files_.IdentityOf(folder_ + plan.written))
            restoredFiles_.insert(*identity);
        observer_.AddLine(ReportText::Value(stored.name));
        observer_.AddLine(report::OpenFileByteAmount(stored.sourceSize));
        observer_.AddLine(report::OpenFileBytePart(blocks.count));
        observer_.AddLine(report::DecryptOpenLongByte(key_.blockLength));
        observer_.AddLine(report::DecryptCloseLongByte(key_.residueCount));
        observer_.AddLine(report::CloseFileByteNo(least));
        observer_.AddLine(report::CloseFileByteYes(in_.Size()));
        if (plan.note) observer_.AddLine(*plan.note);
        if (passwordUnconfirmed_ && plan.written != stored.name) ++result_.entriesRenamed;
        return true;
    }

    // What becomes of an entry that may be restored: decoded into a file (which, under what
    // name, replacing or not), left as the same file in the way, or declined by the user.
    enum class Write { Decode, LeaveSame, Decline };
    struct EntryPlan {
        Write write = Write::Decode;
        std::string written;
        ExistingFile existing = ExistingFile::Replace;
        std::optional<ReportText> note;  // said after the entry's lines
    };
    EntryPlan PlanFor(const std::string& name) const {
        EntryPlan plan{Write::Decode, name, ExistingFile::Replace, std::nullopt};
        if (passwordUnconfirmed_) {
            // Bytes decoded with an unconfirmed password may be garbage: they never replace a
            // file, and a file under its own name is not taken for the stored one.
            plan.written = FreeCopyName(name);
            plan.existing = ExistingFile::Keep;
            plan.note = plan.written == name ? report::RestoredUnconfirmed(name)
                                             : report::RestoredUnderAnotherName(name, plan.written);
            return plan;
        }
        if (!looked_) return plan;
        const auto found = inTheWay_.find(Compared(name));
        if (found == inTheWay_.end()) {
            // The name was free when the run looked: whatever has taken it since stays.
            plan.existing = ExistingFile::Keep;
        } else if (found->second == InTheWay::Same) {
            plan.write = Write::LeaveSame;
            plan.note = report::ExistingSame(name);
        } else if (choice_ == ExistingFileChoice::Skip) {
            plan.write = Write::Decline;
        } else if (choice_ == ExistingFileChoice::KeepBoth) {
            plan.written = FreeCopyName(name);
            plan.existing = ExistingFile::Keep;
            if (plan.written != name) plan.note = report::ExistingKeptBoth(name, plan.written);
        } else {
            plan.note = report::ExistingReplaced(name);
        }
        return plan;
    }

    // The first name from name on that nothing in the folder holds: name itself, or a copy's.
    std::string FreeCopyName(const std::string& name) const {
        std::string written = name;
        for (int number = 2; files_.NameTaken(folder_ + written); ++number)
            written = RestoredCopyName(name, number, copyMark_);
        return written;
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
    // A name chosen because it was free is created to keep (existing): it must not become
    // another file's replacement if somebody takes it meanwhile.
    bool DecodeEntry(const std::string& name, const std::string& target, const EntryBlocks& blocks,
                     ExistingFile existing) {
        const std::unique_ptr<FileStore::Output> file = files_.CreateOutput(target, existing);
        if (!file) return Unwritable(target, errno);
        ByteWriter& out = file->Writer();
        switch (StreamEntry(
            blocks, [&](const std::uint8_t* data, std::size_t n) { return out.Write(data, n); })) {
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

    // Decodes the blocks of the entry the container is at, handing the plain bytes to write in
    // order, with the file bar showing how far it got.
    BlockStream::End StreamEntry(
        const EntryBlocks& blocks,
        const std::function<bool(const std::uint8_t*, std::size_t)>& write) {
        observer_.SetFileRange(1,
                               static_cast<int>(std::min<std::int64_t>(blocks.count, INT32_MAX)));
        observer_.SetFileVisible(true);
        const int length = codec_.BlockLength();
        const ProgressRhythm rhythm(blocks.count);
        BlockStream::Steps steps;
        steps.read = [&](std::size_t n, ByteView& view) { return in_.View(n, view) == n; };
        steps.code = [&](const std::uint8_t* coded, std::size_t count, std::uint8_t* plain) {
            codec_.DecodeBlocks(coded, count, plain);
        };
        steps.concurrent = codec_.ConcurrentDecoding();
        steps.write = write;
        steps.progress = [&](std::int64_t first, std::int64_t last) {
            rhythm.Advance(first, last,
                           [&](std::int64_t m) { observer_.SetFilePosition(static_cast<int>(m)); });
        };
        // The final block holds rest bytes; the remainder of it is noise.
        const BlockStream stream(blocks.count, static_cast<std::size_t>(codec_.ResidueBytes()),
                                 static_cast<std::size_t>(length),
                                 static_cast<std::size_t>(length - blocks.rest));
        return stream.Run(steps, speed_, observer_);
    }

    // Before anything is written: finds the files in the way, tells those that already hold
    // what their entry would write from the others, and asks once what becomes of the others.
    // Only what a restore would reach is looked at: the entries up to the first damage that ends
    // a restore, safe names, the first entry of each name. The restore then reads the container
    // again and meets its damage in its own order. False when the run ends here.
    bool AskAboutFilesInTheWay() {
        looked_ = true;
        const std::int64_t entriesStart = in_.Position();
        std::vector<std::string> differing;
        for (std::int64_t k = 0; k < fileCount_; ++k) {
            EntryHeader stored;
            const EntryRead read = ReadEntryHeader(in_, stored);
            if (read == EntryRead::Truncated || read == EntryRead::BadNameLength) break;
            const EntryBlocks blocks = BlocksOf(stored.sourceSize, key_.blockLength);
            const std::int64_t bytes =
                std::max<std::int64_t>(blocks.count, 0) * key_.ResidueBytes();
            if (read == EntryRead::Complete && bytes + k + 1 > in_.Size()) break;
            const std::int64_t next = in_.Position() + bytes;
            if (read == EntryRead::Complete && ProblemOf(stored.name) == EntryProblem::None &&
                inTheWay_.count(Compared(stored.name)) == 0 &&
                files_.NameTaken(folder_ + stored.name)) {
                const std::optional<InTheWay> found = CompareWithFileInTheWay(stored, blocks);
                if (result_.status == FileRunStatus::Cancelled) return false;
                if (!found) break;
                if (*found != InTheWay::NotAFile) inTheWay_[Compared(stored.name)] = *found;
                if (*found == InTheWay::Differs) differing.push_back(stored.name);
                // The comparison may have stopped anywhere in the entry's blocks.
                if (!in_.Seek(next) || in_.Position() != next) break;
            } else if (in_.Skip(bytes) != bytes) {
                break;
            }
        }
        if (!in_.Seek(entriesStart)) {
            observer_.AddLine(report::kDecryptReadNotOpen);
            return Fail(FileRunStatus::Failed, FileRunFailure::SourceUnreadable, path_,
                        in_.error());
        }
        if (differing.empty()) return true;
        choice_ = observer_.ChooseForExisting(folder_, differing);
        // A run cancelled while the question waited may have nothing left to decode.
        if (observer_.CancelRequested())
            return Fail(FileRunStatus::Cancelled, FileRunFailure::Cancelled, path_);
        return true;
    }

    // What lies at an entry's target: the same bytes, others, or what no restore replaces (a
    // folder, a device), which the restore then refuses as always. A file that cannot be read
    // counts as different. Nothing when the container fails before the entry's end; the run
    // ends when it was cancelled meanwhile.
    std::optional<InTheWay> CompareWithFileInTheWay(const EntryHeader& stored,
                                                    const EntryBlocks& blocks) {
        const std::string target = folder_ + stored.name;
        ByteReader existing;
        if (!files_.OpenInput(target, existing))
            return errno == EISDIR || errno == EINVAL ? InTheWay::NotAFile : InTheWay::Differs;
        if (existing.Size() != stored.sourceSize) return InTheWay::Differs;
        bool same = true;
        const BlockStream::End end =
            StreamEntry(blocks, [&](const std::uint8_t* data, std::size_t n) {
                compared_.resize(std::max(compared_.size(), n));
                same = existing.Read(compared_.data(), n) == n &&
                       (n == 0 || std::memcmp(compared_.data(), data, n) == 0);
                return same;
            });
        observer_.SetFileVisible(false);
        WipeBytes(compared_.data(), compared_.size());
        switch (end) {
            case BlockStream::End::Completed:
            case BlockStream::End::WriteFailed:
                return same ? InTheWay::Same : InTheWay::Differs;
            case BlockStream::End::ReadFailed:
                return std::nullopt;
            case BlockStream::End::Cancelled:
                Fail(FileRunStatus::Cancelled, FileRunFailure::Cancelled, target);
                return std::nullopt;
        }
        return std::nullopt;
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
    const std::function<bool(int, const std::string&)>& wanted_;
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
    // What a kept copy's name gets (RestoredCopyName), in the observer's language.
    const std::string copyMark_;
    // Whether the files in the way were looked at before the restore, and what was found there,
    // by name as compared in the folder; the user's one answer about those that differ.
    bool looked_ = false;
    std::map<std::string, InTheWay> inTheWay_;
    ExistingFileChoice choice_ = ExistingFileChoice::Skip;
    std::vector<std::uint8_t> compared_;  // a piece of a file in the way, held to compare
    // What this run has written, by name as compared in the folder and by file, so that no later
    // entry replaces it.
    std::set<std::string> restoredNames_;
    std::set<FileIdentity> restoredFiles_;
    FileRunResult result_;
};

}  // namespace

FileRunResult DecryptFiles(const std::string& password, const std::string& path,
                           FileRunObserver& observer, const std::string& targetFolder,
                           const Clock& clock, const FileRunSpeed& speed, FileStore& files,
                           const std::function<bool(int, const std::string&)>& wanted) {
    if (const char* refusal = FilePasswordRefusal(FileRunKind::Restore, password)) {
        observer.ShowMessage(refusal);
        return FileRunResult::Ended(FileRunStatus::Refused, FileRunFailure::PasswordRefused, path);
    }
    return RestoreRun(password, path, observer, targetFolder, clock, speed, files, wanted).Run();
}

}  // namespace kiv
