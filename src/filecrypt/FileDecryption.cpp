#include "filecrypt/FileDecryption.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "filecrypt/BlockCodec.h"
#include "filecrypt/BlockStream.h"
#include "filecrypt/ByteFile.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileKey.h"
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
}  // namespace report

namespace {

FileRunResult Result(FileRunStatus status, int written = 0, int skipped = 0) {
    FileRunResult result;
    result.status = status;
    result.filesWritten = written;
    result.entriesSkipped = skipped;
    return result;
}

// Decodes one entry's blocks into target. Returns Completed, Failed (after its report line) or
// Cancelled; the target is committed only when complete.
FileRunStatus RestoreEntry(ByteReader& in, BlockCodec& codec, std::int64_t blockCount, int rest,
                           const std::string& name, const std::string& target,
                           FileRunObserver& observer, const FileRunSpeed& speed, FileStore& files) {
    const std::unique_ptr<FileStore::Output> file = files.CreateOutput(target);
    if (!file) {
        observer.AddLine(report::kDecryptWriteNotOpen);
        return FileRunStatus::Failed;
    }
    observer.SetFileRange(1, static_cast<int>(std::min<std::int64_t>(blockCount, INT32_MAX)));
    observer.SetFileVisible(true);
    ByteWriter& out = file->Writer();
    const int length = codec.BlockLength();
    const ProgressRhythm rhythm(blockCount);
    BlockStream::Steps steps;
    steps.read = [&](std::uint8_t* into, std::size_t n) { return in.Read(into, n) == n; };
    steps.code = [&](const std::uint8_t* coded, std::size_t count, std::uint8_t* plain) {
        codec.DecodeBlocks(coded, count, plain);
    };
    steps.concurrent = codec.ConcurrentDecoding();
    steps.write = [&](const std::uint8_t* data, std::size_t n) { return out.Write(data, n); };
    steps.progress = [&](std::int64_t first, std::int64_t last) {
        rhythm.Advance(first, last,
                       [&](std::int64_t m) { observer.SetFilePosition(static_cast<int>(m)); });
    };
    // The final block holds rest bytes; the remainder of it is noise.
    const BlockStream stream(blockCount, static_cast<std::size_t>(codec.ResidueBytes()),
                             static_cast<std::size_t>(length),
                             static_cast<std::size_t>(length - rest));
    switch (stream.Run(steps, speed, observer)) {
        case BlockStream::End::Completed:
            break;
        case BlockStream::End::ReadFailed:
            observer.AddLine(report::EndsEarly("the last block of " + name));
            return FileRunStatus::Failed;
        case BlockStream::End::WriteFailed:
            observer.AddLine(report::kDecryptWriteNotOpen);
            return FileRunStatus::Failed;
        case BlockStream::End::Cancelled:
            return FileRunStatus::Cancelled;
    }
    if (!file->Commit()) {
        observer.AddLine(report::kDecryptWriteNotOpen);
        return FileRunStatus::Failed;
    }
    observer.SetFileVisible(false);
    return FileRunStatus::Completed;
}

}  // namespace

FileRunResult DecryptFiles(const std::string& password, const std::string& path,
                           FileRunObserver& observer, const std::string& targetFolder,
                           const Clock& clock, const FileRunSpeed& speed, FileStore& files) {
    if (password.size() < static_cast<std::size_t>(kShortestFilePassword) ||
        password.size() > static_cast<std::size_t>(kLongestFilePassword) ||
        password.find('\0') != std::string::npos) {
        observer.ShowMessage(password.size() < static_cast<std::size_t>(kShortestFilePassword)
                                 ? kRestorePasswordTooShort
                                 : kRestorePasswordTooLong);
        return Result(FileRunStatus::Refused);
    }
    CipherWorkspace ws(clock);
    const FileKey key = PrepareFileKey(ws, password);

    ByteReader in;
    if (!files.OpenInput(path, in)) {
        observer.AddLine(report::kDecryptReadNotOpen);
        return Result(FileRunStatus::Failed);
    }
    const std::int64_t total = in.Size();
    BlockCodec codec(ws, key, speed.kernel);

    std::int32_t residueCount = 0;
    if (!ReadInt32(in, residueCount)) {
        observer.AddLine(report::kTooShortForHeader);
        return Result(FileRunStatus::Failed);
    }
    if (residueCount != key.residueCount) {
        observer.ShowMessage(report::kPasswordLengthWrong);
        observer.ShowPasswordBox();
        observer.SetOverallVisible(false);
        return Result(FileRunStatus::Stopped);
    }

    std::uint8_t residues[BlockCodec::kMaxResidues];
    std::uint8_t block[BlockCodec::kMaxBlock];
    const auto residueBytes = static_cast<std::size_t>(key.ResidueBytes());
    if (in.Read(residues, residueBytes) != residueBytes) {
        observer.AddLine(report::EndsEarly("its password block"));
        return Result(FileRunStatus::Failed);
    }
    codec.Decode(residues, block);
    for (int j = 0; j < key.blockLength; ++j) {
        if (block[j] == static_cast<std::uint8_t>(password[static_cast<std::size_t>(j)])) continue;
        if (observer.ConfirmStop(report::kPasswordWrong, report::kChangePassword)) {
            observer.ShowPasswordBox();
            observer.SetOverallVisible(false);
            return Result(FileRunStatus::Stopped);
        }
    }

    const std::string folder = targetFolder.empty() ? FolderOf(path) : targetFolder;
    const std::string containerName = StoredNameOf(path);
    std::int32_t fileCount = 0;
    if (!ReadInt32(in, fileCount)) {
        observer.AddLine(report::EndsEarly("its file count"));
        return Result(FileRunStatus::Failed);
    }
    observer.SetOverallRange(1, 1000);
    observer.SetOverallVisible(true);

    int written = 0;
    int skipped = 0;
    for (std::int64_t k = 0; k < fileCount; ++k) {
        observer.SetOverallPosition(static_cast<int>(k * 1000 / fileCount));
        const int entry = static_cast<int>(k + 1);
        std::int32_t nameLength = 0;
        if (!ReadInt32(in, nameLength)) {
            observer.AddLine(report::EndsEarly("entry " + std::to_string(entry)));
            return Result(FileRunStatus::Failed, written, skipped);
        }
        if (nameLength < 0 || nameLength > 255) {
            observer.AddLine(report::BadNameLength(entry, nameLength));
            return Result(FileRunStatus::Failed, written, skipped);
        }
        std::string name(static_cast<std::size_t>(nameLength), '\0');
        std::int32_t sourceSize = 0;
        if (in.Read(reinterpret_cast<std::uint8_t*>(name.data()), name.size()) != name.size() ||
            !ReadInt32(in, sourceSize)) {
            observer.AddLine(report::EndsEarly("entry " + std::to_string(entry)));
            return Result(FileRunStatus::Failed, written, skipped);
        }
        if (sourceSize < 0) {
            observer.AddLine(report::BadSourceSize(entry, sourceSize));
            return Result(FileRunStatus::Failed, written, skipped);
        }
        const std::int64_t blockCount = sourceSize / key.blockLength + 1;
        const int rest = sourceSize % key.blockLength;
        // The least file length that can hold this entry's blocks; computed in 64 bits so that a
        // damaged size cannot wrap around and pass.
        const std::int64_t least = static_cast<std::int64_t>(residueBytes) * blockCount + entry;
        if (least > total) {
            observer.SetOverallVisible(false);
            return Result(FileRunStatus::Failed, written, skipped);
        }

        if (const std::string problem = StoredNameProblem(name, containerName); !problem.empty()) {
            observer.AddLine(report::EntrySkipped(name, entry, problem));
            ++skipped;
            const std::int64_t bytes = blockCount * static_cast<std::int64_t>(residueBytes);
            if (in.Skip(bytes) != bytes) {
                observer.AddLine(
                    report::EndsEarly("the last block of entry " + std::to_string(entry)));
                return Result(FileRunStatus::Failed, written, skipped);
            }
            continue;
        }

        const FileRunStatus status =
            RestoreEntry(in, codec, blockCount, rest, name, folder + name, observer, speed, files);
        if (status != FileRunStatus::Completed) return Result(status, written, skipped);
        ++written;
        observer.AddLine(name);
        observer.AddLine(report::OpenFileByteAmount(sourceSize));
        observer.AddLine(report::OpenFileBytePart(blockCount));
        observer.AddLine(report::DecryptOpenLongByte(key.blockLength));
        observer.AddLine(report::DecryptCloseLongByte(key.residueCount));
        observer.AddLine(report::CloseFileByteNo(least));
        observer.AddLine(report::CloseFileByteYes(total));
    }
    observer.SetOverallVisible(false);
    return Result(FileRunStatus::Completed, written, skipped);
}

}  // namespace kiv
