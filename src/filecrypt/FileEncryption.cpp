#include "filecrypt/FileEncryption.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>
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
#include "filecrypt/PartNames.h"
#include "filecrypt/PrintableName.h"
#include "filecrypt/ProgressRhythm.h"
#include "filecrypt/SourceFeed.h"

namespace kiv {

ReportText SourceTooLargeMessage(const std::string& path) {
    return {
        QT_TRANSLATE_NOOP(
            "kiv",
            "The file %1 is 2 GiB or larger; an encrypted file can only hold files below 2 GiB."),
        {PrintableName(path)}};
}

ReportText OutputIsSourceMessage(const std::string& path) {
    return {QT_TRANSLATE_NOOP("kiv",
                              "The encrypted file %1 would replace one of the files to encrypt. "
                              "Please choose another name."),
            {PrintableName(path)}};
}

ReportText SameNameMessage(const std::string& name) {
    return {QT_TRANSLATE_NOOP(
                "kiv",
                "Two of the files to encrypt are named \"%1\". An encrypted file keeps only the "
                "names, so restoring it would give back just one of them. Please rename one, or "
                "encrypt them separately."),
            {PrintableName(name)}};
}

namespace {

// A run that failed on path for the system's error (0: none). The EINVAL of a FIFO, device or
// socket opened or created says nothing of why, and a source read without an error number
// changed its length under the run: both are said in words of the run's own.
FileRunResult FailedOn(FileRunFailure failure, const std::string& path, int error,
                       const FileStore& files) {
    FileRunResult result = FileRunResult::Ended(FileRunStatus::Failed, failure, path, error);
    if (error == EINVAL && files.IsIrregular(path)) {
        result.failureError = 0;
        result.failureText = report::kNotRegularFile;
    } else if (error == 0 && failure == FileRunFailure::SourceUnreadable) {
        result.failureText = report::kChangedWhileRead;
    }
    return result;
}

// One entry to write: size bytes of the file at path from offset on, stored as name.
struct Source {
    std::string path;
    std::int64_t size = 0;
    std::int64_t offset = 0;
    std::int64_t fileSize = 0;  // as the file was when checked
    std::string name;
    bool fed = false;  // arrives from the feed; size and name are known only when it does
};

// whole, cut at a character's start where its part names would pass the longest stored name.
std::string PartBase(const std::string& whole) {
    const std::size_t room = kLongestStoredName - PartName("", 1, 1).size();
    if (whole.size() <= room) return whole;
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(whole[cut]) & 0xC0) == 0x80)
        --cut;
    return whole.substr(0, cut);
}

// Checks every source before anything is created: no two may share a stored name, and each must
// open, fit a container and not be the output. Fills checked, or returns how the run ends.
std::optional<FileRunResult> CheckSources(const std::vector<std::string>& paths,
                                          const std::string& output, FileRunObserver& observer,
                                          FileStore& files, const SourceParts& parts,
                                          std::vector<Source>& checked) {
    // A restore writes every entry under its stored name into one folder.
    std::set<std::string> names;
    for (const std::string& path : paths) {
        if (names.insert(StoredNameOf(path)).second) continue;
        observer.ShowMessage(SameNameMessage(StoredNameOf(path)));
        return FileRunResult::Ended(FileRunStatus::Refused, FileRunFailure::OutputUnwritable,
                                    output);
    }
    // The output is known as a source by its identity, or, where names show none (another
    // spelling in a folder that ignores letter case, a FUSE view of the source's folder), by
    // holding the source's bytes: a copy refused costs another name, a source replaced is lost.
    const std::optional<FileIdentity> target = files.IdentityOf(output);
    ByteReader existing;
    const bool outputExists = target && files.OpenInput(output, existing);
    for (const std::string& path : paths) {
        if (parts.feed != nullptr && path == parts.fedPath) {
            checked.push_back({path, 0, 0, 0, StoredNameOf(path), true});
            continue;
        }
        ByteReader in;
        if (!files.OpenInput(path, in)) {
            const int error = errno;
            observer.AddLine(report::kEncryptReadNotOpen);
            return FailedOn(FileRunFailure::SourceUnreadable, path, error, files);
        }
        if (in.Size() > kLargestEntry && parts.bound == 0) {
            observer.ShowMessage(SourceTooLargeMessage(path));
            return FileRunResult::Ended(FileRunStatus::Refused, FileRunFailure::SourceUnreadable,
                                        path);
        }
        if (target && (FileIdentity(in.Device(), in.Inode()) == *target ||
                       (outputExists && existing.HoldsSameBytesAs(in)))) {
            observer.ShowMessage(OutputIsSourceMessage(output));
            return FileRunResult::Ended(FileRunStatus::Refused, FileRunFailure::OutputUnwritable,
                                        output);
        }
        const std::int64_t bound = parts.bound > 0 ? parts.bound : kLargestEntry;
        if (in.Size() <= bound) {
            checked.push_back({path, in.Size(), 0, in.Size(), StoredNameOf(path)});
            continue;
        }
        const std::int64_t count = (in.Size() + bound - 1) / bound;
        const std::string base = PartBase(StoredNameOf(path));
        for (std::int64_t k = 0; k < count; ++k)
            checked.push_back({path, std::min(bound, in.Size() - k * bound), k * bound, in.Size(),
                               PartName(base, k + 1, count)});
    }
    return std::nullopt;
}

// Writes one source's entry: its name, its size as opened, its full blocks and the final block.
// Returns a Completed result, or how the run ends (after the entry's report line, if any).
FileRunResult WriteEntry(const Source& source, const std::string& output, CipherWorkspace& ws,
                         const BlockCodec& codec, ByteWriter& out, FileRunObserver& observer,
                         const FileRunSpeed& speed, FileStore& files) {
    // error: the system's error number, or 0 when the file changed under the run.
    const auto unreadable = [&](int error) {
        observer.AddLine(report::kEncryptReadNotOpen);
        return FailedOn(FileRunFailure::SourceUnreadable, source.path, error, files);
    };
    const auto unwritable = [&] {
        return FileRunResult::Ended(FileRunStatus::Failed, FileRunFailure::OutputUnwritable, output,
                                    out.error());
    };
    ByteReader in;
    if (!files.OpenInput(source.path, in)) return unreadable(errno);
    if (in.Size() != source.fileSize) return unreadable(0);
    if (source.offset > 0 && !in.Seek(source.offset)) return unreadable(in.error());
    const int length = codec.BlockLength();
    const EntryBlocks blocks = BlocksOf(source.size, length);
    const std::int64_t full = blocks.count - 1;
    observer.SetFileRange(1, static_cast<int>(std::min<std::int64_t>(full, INT32_MAX)));
    WriteEntryHeader(out, source.name, static_cast<std::int32_t>(source.size));

    const ProgressRhythm rhythm(full);
    BlockStream::Steps steps;
    steps.read = [&](std::size_t n, ByteView& view) { return in.View(n, view) == n; };
    steps.code = [&](const std::uint8_t* plain, std::size_t count, std::uint8_t* coded) {
        codec.EncodeBlocks(plain, count, coded);
    };
    steps.write = [&](const std::uint8_t* data, std::size_t n) { return out.Write(data, n); };
    steps.progress = [&](std::int64_t first, std::int64_t last) {
        rhythm.Advance(first, last,
                       [&](std::int64_t m) { observer.SetFilePosition(static_cast<int>(m)); });
    };
    const auto residueBytes = static_cast<std::size_t>(codec.ResidueBytes());
    const BlockStream stream(full, static_cast<std::size_t>(length), residueBytes);
    switch (stream.Run(steps, speed, observer)) {
        case BlockStream::End::Completed:
            break;
        case BlockStream::End::ReadFailed:
            return unreadable(in.error());
        case BlockStream::End::WriteFailed:
            return unwritable();
        case BlockStream::End::Cancelled:
            return FileRunResult::Ended(FileRunStatus::Cancelled, FileRunFailure::Cancelled,
                                        output);
    }

    std::uint8_t block[BlockCodec::kMaxBlock];
    std::uint8_t residues[BlockCodec::kMaxResidues];
    const auto rest = static_cast<std::size_t>(blocks.rest);
    if (in.Read(block, rest) != rest) return unreadable(in.error());
    FillFinalBlockNoise(ws, block, blocks.rest, length);
    codec.Encode(block, residues);
    if (!out.Write(residues, residueBytes)) return unwritable();

    observer.AddLine(report::FileByteAmount(source.size));
    observer.AddLine(report::FileBytePart(full));
    observer.AddLine(report::OpenLongByte(length));
    observer.AddLine(report::CloseLongByte(codec.ResidueBytes() + 1));
    return FileRunResult();
}

// Writes the fed source as one entry, or, when it does not fit one, as parts that arrive one at a
// time; their names get the count of parts once the last has come. Adds the parts beyond the
// first to entries.
FileRunResult WriteFedSource(Source source, const SourceParts& parts, const std::string& output,
                             CipherWorkspace& ws, const BlockCodec& codec, ByteWriter& out,
                             FileRunObserver& observer, const FileRunSpeed& speed, FileStore& files,
                             std::int64_t& entries) {
    const std::int64_t bound = parts.bound > 0 ? parts.bound : kLargestEntry;
    std::int64_t mostParts = 1;
    for (int digit = 0; digit < kPartDigits; ++digit)
        mostParts *= 10;
    const std::string base = PartBase(source.name);
    std::vector<std::int64_t> nameAt;
    for (std::int64_t number = 1;; ++number) {
        bool last = false;
        // Names are written before the count is known, in kPartDigits digits.
        if (number == mostParts || !parts.feed->NextPart(bound, source.size, last)) {
            const int error = number == mostParts ? EFBIG : errno;
            observer.AddLine(report::kEncryptReadNotOpen);
            return FailedOn(FileRunFailure::SourceUnreadable, source.path, error, files);
        }
        source.fileSize = source.size;
        if (number == 1 && last)
            return WriteEntry(source, output, ws, codec, out, observer, speed, files);
        source.name = PartName(base, number, mostParts - 1);
        nameAt.push_back(out.Written() + 4);
        const FileRunResult entry =
            WriteEntry(source, output, ws, codec, out, observer, speed, files);
        if (entry.status != FileRunStatus::Completed) return entry;
        if (last) break;
    }
    const auto count = static_cast<std::int64_t>(nameAt.size());
    for (std::int64_t k = 0; k < count; ++k) {
        const std::string name = PartName(base, k + 1, count);
        if (!out.WriteAt(nameAt[static_cast<std::size_t>(k)],
                         reinterpret_cast<const std::uint8_t*>(name.data()), name.size()))
            return FileRunResult::Ended(FileRunStatus::Failed, FileRunFailure::OutputUnwritable,
                                        output, out.error());
    }
    entries += count - 1;
    return FileRunResult();
}

}  // namespace

FileRunResult EncryptFiles(const std::string& password, const std::vector<std::string>& sources,
                           const std::string& output, FileRunObserver& observer, const Clock& clock,
                           const FileRunSpeed& speed, FileStore& files, const SourceParts& parts) {
    const auto refusePassword = [&](const char* message) {
        observer.ShowMessage(message);
        return FileRunResult::Ended(FileRunStatus::Refused, FileRunFailure::PasswordRefused,
                                    output);
    };
    if (const char* refusal = FilePasswordRefusal(FileRunKind::Encryption, password))
        return refusePassword(refusal);
    CipherWorkspace ws(clock);
    const FileKey key = PrepareFileKey(ws, password);
    if (!key.distinctModuli) return refusePassword(kRepeatedModuliFileMessage);
    std::vector<Source> checked;
    if (auto ended = CheckSources(sources, output, observer, files, parts, checked)) return *ended;

    const auto unwritable = [&](int error) {
        observer.AddLine(report::kEncryptWriteNotOpen);
        return FailedOn(FileRunFailure::OutputUnwritable, output, error, files);
    };
    const std::unique_ptr<FileStore::Output> file =
        files.CreateOutput(output, ExistingFile::Replace);
    if (!file) return unwritable(errno);
    ByteWriter& out = file->Writer();
    observer.SetOverallRange(1, 1000);
    observer.SetOverallVisible(true);
    const BlockCodec codec(ws, key, speed.kernel);
    WriteContainerHeader(out, codec, password, static_cast<std::int32_t>(checked.size()));
    const std::int64_t fileCountAt = out.Written() - 4;

    const auto count = static_cast<std::int64_t>(checked.size());
    std::int64_t entries = count;
    for (std::int64_t k = 0; k < count; ++k) {
        observer.SetFileVisible(true);
        observer.SetOverallPosition(static_cast<int>(k * 1000 / count));
        const Source& source = checked[static_cast<std::size_t>(k)];
        const FileRunResult entry =
            source.fed ? WriteFedSource(source, parts, output, ws, codec, out, observer, speed,
                                        files, entries)
                       : WriteEntry(source, output, ws, codec, out, observer, speed, files);
        if (entry.status == FileRunStatus::Failed && out.failed())
            observer.AddLine(report::kEncryptWriteNotOpen);
        if (entry.status != FileRunStatus::Completed) return entry;
        observer.SetFileVisible(false);
    }
    observer.SetOverallVisible(false);
    if (entries != count) {
        const auto u = static_cast<std::uint32_t>(entries);
        const std::uint8_t field[4] = {
            static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
            static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
        if (!out.WriteAt(fileCountAt, field, 4)) return unwritable(out.error());
    }
    if (!out.Flush()) return unwritable(out.error());
    if (!file->Commit()) return unwritable(errno);
    FileRunResult result;
    result.filesWritten = 1;
    return result;
}

}  // namespace kiv
