#include "filecrypt/FileEncryption.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "filecrypt/AtomicOutputFile.h"
#include "filecrypt/BlockCodec.h"
#include "filecrypt/BlockStream.h"
#include "filecrypt/ByteFile.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileKey.h"
#include "filecrypt/OperationReport.h"
#include "filecrypt/ProgressRhythm.h"
#include "numeric/RandomGenerator.h"

namespace kiv {

std::string SourceTooLargeMessage(const std::string& path) {
    return "The file " + path +
           " is 2 GiB or larger; an encrypted file can only hold files below 2 GiB.";
}

std::string OutputIsSourceMessage(const std::string& path) {
    return "The encrypted file " + path +
           " would replace one of the files to encrypt. Please choose another name.";
}

namespace {

struct Source {
    std::string path;
    std::int64_t size = 0;
};

// Writes one source's entry: its name, its size as opened, its full blocks and the final block.
// Returns Completed, Failed (after its report line) or Cancelled.
FileRunStatus WriteEntry(const Source& source, CipherWorkspace& ws, const BlockCodec& codec,
                         ByteWriter& out, FileRunObserver& observer, const FileRunSpeed& speed) {
    ByteReader in;
    if (!in.Open(source.path) || in.Size() != source.size) {
        observer.AddLine(report::kEncryptReadNotOpen);
        return FileRunStatus::Failed;
    }
    const int length = codec.BlockLength();
    const int residueBytes = codec.ResidueBytes();
    const std::int64_t blocks = source.size / length;
    const int rest = static_cast<int>(source.size % length);
    observer.SetFileRange(1, static_cast<int>(std::min<std::int64_t>(blocks, INT32_MAX)));

    const std::string name = StoredNameOf(source.path);
    out.WriteInt32(static_cast<std::int32_t>(name.size()));
    out.Write(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
    out.WriteInt32(static_cast<std::int32_t>(source.size));

    const ProgressRhythm rhythm(blocks);
    BlockStream::Steps steps;
    steps.read = [&](std::uint8_t* into, std::size_t n) { return in.Read(into, n) == n; };
    steps.code = [&](const std::uint8_t* plain, std::size_t count, std::uint8_t* coded) {
        codec.EncodeBlocks(plain, count, coded);
    };
    steps.write = [&](const std::uint8_t* data, std::size_t n) { return out.Write(data, n); };
    steps.progress = [&](std::int64_t first, std::int64_t last) {
        rhythm.Advance(first, last,
                       [&](std::int64_t m) { observer.SetFilePosition(static_cast<int>(m)); });
    };
    const BlockStream stream(blocks, static_cast<std::size_t>(length),
                             static_cast<std::size_t>(residueBytes));
    switch (stream.Run(steps, speed, observer)) {
        case BlockStream::End::Completed:
            break;
        case BlockStream::End::ReadFailed:
            observer.AddLine(report::kEncryptReadNotOpen);
            return FileRunStatus::Failed;
        case BlockStream::End::WriteFailed:
            return FileRunStatus::Failed;
        case BlockStream::End::Cancelled:
            return FileRunStatus::Cancelled;
    }

    // The final block: the last bytes, then noise drawn after one seeding from the clock.
    std::uint8_t block[BlockCodec::kMaxBlock];
    std::uint8_t residues[BlockCodec::kMaxResidues];
    if (in.Read(block, static_cast<std::size_t>(rest)) != static_cast<std::size_t>(rest)) {
        observer.AddLine(report::kEncryptReadNotOpen);
        return FileRunStatus::Failed;
    }
    SeedRandom(ws.random, *ws.clock);
    for (int position = rest; position < length; ++position)
        block[position] = static_cast<std::uint8_t>(RandomBelow(ws.random, 213) + 41);
    codec.Encode(block, residues);
    if (!out.Write(residues, static_cast<std::size_t>(residueBytes))) return FileRunStatus::Failed;

    observer.AddLine(report::FileByteAmount(source.size));
    observer.AddLine(report::FileBytePart(blocks));
    observer.AddLine(report::OpenLongByte(length));
    observer.AddLine(report::CloseLongByte(codec.ResidueBytes() + 1));
    return FileRunStatus::Completed;
}

FileRunResult Result(FileRunStatus status) {
    FileRunResult result;
    result.status = status;
    return result;
}

}  // namespace

FileRunResult EncryptFiles(const std::string& password, const std::vector<std::string>& sources,
                           const std::string& output, FileRunObserver& observer, const Clock& clock,
                           const FileRunSpeed& speed) {
    if (password.size() < static_cast<std::size_t>(kShortestFilePassword) ||
        password.size() > static_cast<std::size_t>(kLongestFilePassword) ||
        password.find('\0') != std::string::npos) {
        observer.ShowMessage(kFilePasswordLength);
        return Result(FileRunStatus::Refused);
    }
    CipherWorkspace ws(clock);
    const FileKey key = PrepareFileKey(ws, password);
    if (!key.distinctModuli) {
        observer.ShowMessage(kRepeatedModuliFileMessage);
        return Result(FileRunStatus::Refused);
    }

    // Check before creating: every source opens, fits the format and is not the output.
    struct stat target {};
    const bool outputExists = stat(output.c_str(), &target) == 0;
    std::vector<Source> checked;
    for (const std::string& path : sources) {
        ByteReader in;
        if (!in.Open(path)) {
            observer.AddLine(report::kEncryptReadNotOpen);
            return Result(FileRunStatus::Failed);
        }
        if (in.Size() > std::numeric_limits<std::int32_t>::max()) {
            observer.ShowMessage(SourceTooLargeMessage(path));
            return Result(FileRunStatus::Refused);
        }
        if (outputExists && in.Device() == target.st_dev && in.Inode() == target.st_ino) {
            observer.ShowMessage(OutputIsSourceMessage(output));
            return Result(FileRunStatus::Refused);
        }
        checked.push_back({path, in.Size()});
    }

    AtomicOutputFile file;
    if (!file.Create(output)) {
        observer.AddLine(report::kEncryptWriteNotOpen);
        return Result(FileRunStatus::Failed);
    }
    ByteWriter out(file.fd());
    observer.SetOverallRange(1, 1000);
    observer.SetOverallVisible(true);

    const BlockCodec codec(ws, key, speed.kernel);
    out.WriteInt32(key.residueCount);
    std::uint8_t block[BlockCodec::kMaxBlock];
    std::uint8_t residues[BlockCodec::kMaxResidues];
    std::copy(password.begin(), password.end(), block);
    codec.Encode(block, residues);
    out.Write(residues, static_cast<std::size_t>(key.ResidueBytes()));
    out.WriteInt32(static_cast<std::int32_t>(checked.size()));

    const auto count = static_cast<std::int64_t>(checked.size());
    for (std::int64_t k = 0; k < count; ++k) {
        observer.SetFileVisible(true);
        observer.SetOverallPosition(static_cast<int>(k * 1000 / count));
        const FileRunStatus status =
            WriteEntry(checked[static_cast<std::size_t>(k)], ws, codec, out, observer, speed);
        if (status == FileRunStatus::Failed && out.failed())
            observer.AddLine(report::kEncryptWriteNotOpen);
        if (status != FileRunStatus::Completed) return Result(status);
        observer.SetFileVisible(false);
    }
    observer.SetOverallVisible(false);
    if (!out.Flush() || !file.Commit()) {
        observer.AddLine(report::kEncryptWriteNotOpen);
        return Result(FileRunStatus::Failed);
    }
    FileRunResult result;
    result.filesWritten = 1;
    return result;
}

}  // namespace kiv
