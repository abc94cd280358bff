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
#include <utility>
#include <vector>

#include "filecrypt/BlockCodec.h"
#include "filecrypt/ByteFile.h"
#include "filecrypt/ContainerFormat.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileKey.h"
#include "filecrypt/FilePasswordCheck.h"
#include "filecrypt/OperationReport.h"
#include "filecrypt/PrintableName.h"
#include "filecrypt/internal/BlockStream.h"
#include "filecrypt/internal/OutputBatch.h"
#include "filecrypt/internal/ProgressRhythm.h"
#include "runtime/SecretWipe.h"

namespace kiv {

namespace report {
namespace {
std::string Number(std::int64_t value) {
    return std::to_string(value);
}
}  // namespace

ReportText EndsBeforeEntry(int entry) {
    return {Message::EndsBeforeEntry, {Number(entry)}};
}
ReportText EndsBeforeLastBlockOfEntry(int entry) {
    return {Message::EndsBeforeLastBlockOfEntry, {Number(entry)}};
}
ReportText EndsBeforeLastBlockOf(const std::string& name) {
    return {Message::EndsBeforeLastBlockOf, {PrintableName(name)}};
}
ReportText BadNameLength(int entry, std::int64_t length) {
    return {Message::BadNameLength, {Number(entry), Number(length)}};
}
ReportText BadSourceSize(int entry, const std::string& name, std::int64_t size) {
    return {Message::BadSourceSize, {Number(entry), PrintableName(name), Number(size)}};
}
ReportText NegativeFileCount(std::int64_t count) {
    return {Message::NegativeFileCount, {Number(count)}};
}
ReportText EntrySkipped(EntryProblem problem, const std::string& name, int entry) {
    Message message = Message::EntryRestoredEarlier;
    switch (problem) {
        case EntryProblem::NoName:
            message = Message::EntryHasNoName;
            break;
        case EntryProblem::NulInName:
            message = Message::EntryNameHoldsNul;
            break;
        case EntryProblem::FolderInName:
            message = Message::EntryNameHoldsFolder;
            break;
        case EntryProblem::NamedAfterFolder:
            message = Message::EntryNamedAfterFolder;
            break;
        case EntryProblem::IsContainer:
            message = Message::EntryIsContainer;
            break;
        case EntryProblem::RestoredEarlier:
        case EntryProblem::None:
            message = Message::EntryRestoredEarlier;
            break;
    }
    return {message, {Number(entry), PrintableName(name)}};
}
ReportText NotAnEncryptedFile(std::int64_t count) {
    return {Message::NotAnEncryptedFile, {Number(count)}};
}
ReportText EntriesNotRestored(int entry, std::int64_t fileCount) {
    if (entry >= fileCount) return {Message::LastEntryNotRestored, {Number(entry)}};
    return {Message::EntriesNotRestored, {Number(entry), Number(fileCount)}};
}
ReportText ImplausibleEntry(const std::string& name, int entry, std::int64_t fileCount) {
    if (entry >= fileCount)
        return {Message::ImplausibleLastEntry, {Number(entry), PrintableName(name)}};
    return {Message::ImplausibleEntry, {Number(entry), PrintableName(name), Number(fileCount)}};
}
ReportText RestoredUnderAnotherName(const std::string& name, const std::string& written) {
    return {Message::RestoredUnderAnotherName, {PrintableName(name), PrintableName(written)}};
}
ReportText RestoredUnconfirmed(const std::string& name) {
    return {Message::RestoredUnconfirmed, {PrintableName(name)}};
}
ReportText ExistingReplaced(const std::string& name) {
    return {Message::ExistingReplaced, {PrintableName(name)}};
}
ReportText ExistingKeptBoth(const std::string& name, const std::string& written) {
    return {Message::ExistingKeptBoth, {PrintableName(name), PrintableName(written)}};
}
ReportText ExistingSkipped(const std::string& name, int entry) {
    return {Message::ExistingSkipped, {Number(entry), PrintableName(name)}};
}
ReportText ExistingSame(const std::string& name) {
    return {Message::ExistingSame, {PrintableName(name)}};
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
        RestoreAll();
        Settle();
        return result_;
    }

  private:
    void RestoreAll() {
        ContainerHeader header;
        if (!OpenContainer() || !AcceptHeader(header)) return;
        observer_.SetOverallRange(1, 1000);
        observer_.SetOverallVisible(true);
        fileCount_ = header.fileCount;
        // After an unconfirmed password nothing is replaced anyway: there is nothing to ask.
        if (!passwordUnconfirmed_ && observer_.AsksBeforeReplacing() && !AskAboutFilesInTheWay())
            return;
        int overall = -1;
        for (std::int64_t k = 0; k < header.fileCount; ++k) {
            // Over many small files the bar's position changes only every few files.
            const auto position = static_cast<int>(k * 1000 / header.fileCount);
            if (position != overall) observer_.SetOverallPosition(overall = position);
            observer_.EntryBegins();
            if (!RestoreEntry(static_cast<int>(k + 1))) return;
        }
        // The last files get their names, and their entries' lines are said, before the bar goes.
        if (CommitWaiting()) observer_.SetOverallVisible(false);
    }

    bool OpenContainer() {
        if (files_.OpenInput(path_, in_)) {
            container_ = FileIdentity(in_.Device(), in_.Inode());
            foldsCase_ = files_.FoldsLetterCase(folder_);
            target_ = files_.OpenFolder(folder_);
            // Where other spellings of a name may lead to one file (and only the files' identities
            // tell so), each file is named before the next entry is looked at: alone.
            batch_ = std::make_unique<OutputBatch>(*target_, foldsCase_ ? 1 : speed_.batchFiles,
                                                   speed_.batchBytes);
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
        Say(Message::DecryptReadNotOpen);
        return Fail(FileRunStatus::Failed, FileRunFailure::SourceUnreadable, path_, error);
    }

    // The checks that tie the container to the password, in the order the user meets them.
    bool AcceptHeader(ContainerHeader& header) {
        const HeaderRead read = ReadContainerHeader(in_, header);
        if (read == HeaderRead::NoResidueCount) return Damaged(Message::TooShortForHeader);
        if (read == HeaderRead::ImpossibleResidueCount)
            return Damaged(report::NotAnEncryptedFile(header.residueCount));
        if (header.residueCount != key_.residueCount) {
            observer_.ShowMessage(Message::PasswordLengthWrong);
            return RefusePassword();
        }
        if (read == HeaderRead::NoPasswordBlock) return Damaged(Message::EndsBeforePasswordBlock);
        // One question, however many bytes differ: its answer holds for the whole run.
        auto block = DecodePasswordBlock(codec_, header);
        const bool confirmed = std::equal(password_.begin(), password_.end(), block.begin(),
                                          [](char entered, std::uint8_t decoded) {
                                              return static_cast<std::uint8_t>(entered) == decoded;
                                          });
        // Decoded with the right password, the block is the password: not left on the stack.
        WipeBytes(block.data(), block.size());
        if (!confirmed) {
            if (observer_.ConfirmStop(WindowText(Message::PasswordWrong),
                                      WindowText(Message::ChangePassword)))
                return RefusePassword();
            passwordUnconfirmed_ = true;
            result_.passwordUnconfirmed = true;
        }
        if (read == HeaderRead::NoFileCount) return Damaged(Message::EndsBeforeFileCount);
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
            Say(report::ImplausibleEntry(stored.name, entry, fileCount_));
            observer_.SetOverallVisible(false);
            return Fail(FileRunStatus::Failed, FileRunFailure::ContainerDamaged, path_);
        }
        // An entry not asked for is passed over before its name is looked up: it costs neither a
        // look at the folder nor a batch's commit.
        if (wanted_ && !wanted_(entry, stored.name)) {
            const std::int64_t bytes = blocks.StoredBytes(key_.ResidueBytes());
            if (in_.Skip(bytes) != bytes)
                return DamagedAt(entry, report::EndsBeforeLastBlockOfEntry(entry));
            return true;
        }
        NameFacts facts;
        if (StoredNameProblem(stored.name) == EntryProblem::None) {
            facts = target_->Look(stored.name);
            // A link may lead to a file that waits, nameless, in a batch: once the batches have
            // their names, the link is looked at again.
            if (facts.link && (!batch_->Empty() || batch_->Committing())) {
                if (!CommitWaiting()) return false;
                facts = target_->Look(stored.name);
            }
        }
        if (const EntryProblem problem = ProblemOf(stored.name, facts);
            problem != EntryProblem::None) {
            Say(report::EntrySkipped(problem, stored.name, entry));
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
                Say(report::ExistingSkipped(stored.name, entry));
                ++result_.entriesDeclined;
                return true;
            }
        }
        // The file's place in the batch while it waits there, else -1.
        int waiting = -1;
        std::optional<FileIdentity> identity;
        if (plan.write == Write::Decode &&
            !DecodeEntry(stored.name, plan.written, blocks, stored.sourceSize, plan.existing,
                         waiting, identity)) {
            if (result_.failure == FileRunFailure::ContainerDamaged ||
                result_.failure == FileRunFailure::SourceUnreadable)
                Say(report::EntriesNotRestored(entry, fileCount_));
            return false;
        }
        // A waiting file counts once it has its name.
        if (waiting < 0) ++result_.filesWritten;
        restoredNames_.insert(Compared(stored.name));
        restoredNames_.insert(Compared(plan.written));
        if (!identity) {
            if (const auto found = target_->Look(plan.written).file) identity = found->identity;
        }
        if (identity) restoredFiles_.insert(*identity);
        Say(ReportText::Value(stored.name), waiting);
        Say(report::OpenFileByteAmount(stored.sourceSize), waiting);
        Say(report::OpenFileBytePart(blocks.count), waiting);
        Say(report::DecryptOpenLongByte(key_.blockLength), waiting);
        Say(report::DecryptCloseLongByte(key_.residueCount), waiting);
        Say(report::CloseFileByteNo(least), waiting);
        Say(report::CloseFileByteYes(in_.Size()), waiting);
        if (plan.note) Say(*plan.note, waiting);
        if (passwordUnconfirmed_ && plan.written != stored.name) ++result_.entriesRenamed;
        return !batch_->Full() || HandOver();
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
    // A file restored earlier in the run may still wait, nameless, for the name it will take.
    std::string FreeCopyName(const std::string& name) const {
        std::string written = name;
        for (int number = 2;
             restoredNames_.count(Compared(written)) != 0 || target_->Look(written).taken; ++number)
            written = RestoredCopyName(name, number, copyMark_);
        return written;
    }

    // A size below 0 is damage that no encryption writes, but the entry still has a length:
    // size div L + 1 blocks, none when that is below 1, as the layout counts them. So the next
    // entry can be found, and only this one is lost. It is not restored (not even as an empty
    // file, which would replace a file of its name); the run goes on and ends as damaged.
    bool SkipDamagedEntry(int entry, const EntryHeader& stored) {
        Say(report::BadSourceSize(entry, stored.name, stored.sourceSize));
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
    // facts: what a look at the name in the target folder found.
    EntryProblem ProblemOf(const std::string& name, const NameFacts& facts) const {
        if (const EntryProblem problem = StoredNameProblem(name); problem != EntryProblem::None)
            return problem;
        std::optional<FileIdentity> existing;
        if (facts.file) existing = facts.file->identity;
        if (existing == container_ || (containerName_ && *containerName_ == Compared(name)) ||
            (facts.file && HoldsContainerBytes(name, *facts.file)))
            return EntryProblem::IsContainer;
        if (restoredNames_.count(Compared(name)) != 0 ||
            (existing && restoredFiles_.count(*existing) != 0))
            return EntryProblem::RestoredEarlier;
        return EntryProblem::None;
    }

    // Only a file of the container's length, or of a length its store does not say, is read.
    bool HoldsContainerBytes(const std::string& name, const FileFacts& file) const {
        if (file.size >= 0 && file.size != in_.Size()) return false;
        ByteReader candidate;
        return target_->OpenInput(name, candidate) && in_.HoldsSameBytesAs(candidate);
    }

    // A name as the target folder compares names.
    std::string Compared(const std::string& name) const {
        return foldsCase_ ? FoldedName(name) : name;
    }

    // Decodes one entry's blocks into its file written as written beside the others; the file
    // appears only whole: committed alone, or waiting in the batch (waiting: its place there,
    // else -1). A name chosen because it was free is created to keep (existing): it must not
    // become another file's replacement if somebody takes it meanwhile. identity: the file's,
    // where its store tells.
    bool DecodeEntry(const std::string& name, const std::string& written, const EntryBlocks& blocks,
                     std::int64_t size, ExistingFile existing, int& waiting,
                     std::optional<FileIdentity>& identity) {
        const std::string target = folder_ + written;
        std::unique_ptr<FileStore::Output> file = target_->CreateOutput(written, existing);
        // Each waiting file holds a descriptor: when the process has none left, the batch gets
        // its names first.
        if (!file && (errno == EMFILE || errno == ENFILE) && !batch_->Empty()) {
            if (!CommitWaiting()) return false;
            file = target_->CreateOutput(written, existing);
        }
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
        identity = file->Identity();
        if (file->Batchable()) {
            if (!file->Complete()) return Unwritable(target, errno);
            waiting = static_cast<int>(batch_->Size());
            batch_->Add(std::move(file), size);
            waitingTargets_.push_back(target);
        } else {
            // Files get their names in the order of their entries: those waiting first.
            if (!CommitWaiting()) return false;
            if (!file->Commit()) return Unwritable(target, out.failed() ? out.error() : errno);
        }
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
        steps.plainOut = true;
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
            // A name nothing has costs one look: at it, not at the container.
            NameFacts facts;
            if (read == EntryRead::Complete && StoredNameProblem(stored.name) == EntryProblem::None)
                facts = target_->Look(stored.name);
            if (facts.taken && ProblemOf(stored.name, facts) == EntryProblem::None &&
                inTheWay_.count(Compared(stored.name)) == 0) {
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
            Say(Message::DecryptReadNotOpen);
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
        if (!target_->OpenInput(stored.name, existing))
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
        result_.failureText = irregular ? WindowText(Message::NotRegularFile) : nullptr;
        return false;
    }
    // The container ends early or holds what no encryption writes; a read error is no damage.
    bool Damaged(const ReportText& line) {
        Say(line);
        if (!in_.failed())
            return Fail(FileRunStatus::Failed, FileRunFailure::ContainerDamaged, path_);
        Fail(FileRunStatus::Failed, FileRunFailure::SourceUnreadable, path_, in_.error());
        // A read that failed without an error number met the end of a file cut meanwhile.
        if (in_.error() == 0) result_.failureText = WindowText(Message::ChangedWhileRead);
        return false;
    }
    // Damage met while reading entry: the cause, then which entries were not restored.
    bool DamagedAt(int entry, const ReportText& line) {
        Damaged(line);
        Say(report::EntriesNotRestored(entry, fileCount_));
        return false;
    }
    bool Unwritable(const std::string& target, int error) {
        Say(Message::DecryptWriteNotOpen);
        return Fail(FileRunStatus::Failed, FileRunFailure::OutputUnwritable, target, error);
    }

    // A report line held while files wait; after: how many were waiting when it was held.
    struct HeldLine {
        ReportText line;
        int owner;
        std::size_t after;
    };

    // Says a report line, or, while files wait in the batch, holds it until they have their
    // names, so that the lines come in the order of the entries and none tells of a file that
    // is not there. owner: the waiting file whose entry the line reports, else -1.
    void Say(const ReportText& line, int owner = -1) {
        if (owner < 0 && (batch_ == nullptr || (batch_->Empty() && !batch_->Committing()))) {
            observer_.AddLine(line);
            return;
        }
        held_.push_back({line, owner, batch_->Size()});
    }

    // The files waiting in the batch, with the lines held for them and their paths.
    struct Waiting {
        std::vector<HeldLine> held;
        std::vector<std::string> targets;
    };

    // Says the lines held for a batch that was committed with the outcome given. On a failure
    // the run ends there: nothing of the batch remains (but the files before a replacement
    // that failed), the lines of its entries are not said, and the failure is the file's that
    // failed.
    bool Conclude(const OutputBatch::Outcome& outcome, const Waiting& waiting) {
        result_.filesWritten += static_cast<int>(outcome.placed);
        for (const HeldLine& held : waiting.held) {
            if (outcome.complete ||
                (held.owner >= 0 ? static_cast<std::size_t>(held.owner) < outcome.placed
                                 : held.after <= outcome.failed))
                observer_.AddLine(held.line);
        }
        if (outcome.complete) return true;
        // What came after the failed file is left out with it.
        batch_->Drop();
        held_.clear();
        waitingTargets_.clear();
        return Unwritable(waiting.targets[outcome.failed], outcome.error);
    }

    Waiting TakeWaiting() {
        Waiting waiting{std::move(held_), std::move(waitingTargets_)};
        held_.clear();
        waitingTargets_.clear();
        return waiting;
    }

    // Waits for the batch committed in the background, if there is one, and says its lines.
    bool Collect() {
        if (batch_ == nullptr || !batch_->Committing()) return true;
        const OutputBatch::Outcome outcome = batch_->Wait();
        return Conclude(outcome, std::exchange(committing_, Waiting()));
    }

    // Hands the full batch to be committed in the background while the next one is written;
    // the one handed over before is concluded first, so that lines stay in entry order.
    bool HandOver() {
        // Where only identities tell two names apart, the next entry looks at this one's name.
        if (foldsCase_) return CommitWaiting();
        if (!Collect()) return false;
        committing_ = TakeWaiting();
        batch_->CommitInBackground();
        return true;
    }

    // Names the files waiting in the batch, after those committed in the background, and says
    // the lines held for them.
    bool CommitWaiting() {
        if (!Collect()) return false;
        if (batch_ == nullptr) return true;
        // With no file waiting, what is held tells of entries that wrote nothing.
        if (batch_->Empty()) return Conclude(OutputBatch::Outcome(), TakeWaiting());
        const OutputBatch::Outcome outcome = batch_->Commit();
        return Conclude(outcome, TakeWaiting());
    }

    // After the entries: the files still waiting get their names, since they are whole, unless
    // the run was cancelled, which leaves nothing of those not yet being named; and the names
    // given are made last.
    void Settle() {
        if (batch_ == nullptr) return;
        if (result_.status != FileRunStatus::Cancelled) {
            CommitWaiting();
        } else {
            // A batch being committed is completed; the one being written is left out.
            Collect();
            batch_->Drop();
            for (const HeldLine& held : held_)
                if (held.owner < 0) observer_.AddLine(held.line);
            held_.clear();
            waitingTargets_.clear();
        }
        batch_->Finish();
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
    // The folder the files are restored into, and the batch of those waiting for their names.
    std::unique_ptr<FileStore::Folder> target_;
    std::unique_ptr<OutputBatch> batch_;
    std::vector<HeldLine> held_;
    std::vector<std::string> waitingTargets_;  // the waiting files' paths, in the batch's order
    Waiting committing_;                       // those of the batch committed in the background
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
    if (const auto refusal = FilePasswordRefusal(FileRunKind::Restore, password)) {
        observer.ShowMessage(*refusal);
        return FileRunResult::Ended(FileRunStatus::Refused, FileRunFailure::PasswordRefused, path);
    }
    return RestoreRun(password, path, observer, targetFolder, clock, speed, files, wanted).Run();
}

}  // namespace kiv
