#include "filecrypt/FileEncryption.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>

#include "filecrypt/BlockCodec.h"
#include "filecrypt/ByteFile.h"
#include "filecrypt/ContainerFormat.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/FileKey.h"
#include "filecrypt/FilePasswordCheck.h"
#include "filecrypt/OperationReport.h"
#include "filecrypt/PartNames.h"
#include "filecrypt/PrintableName.h"
#include "filecrypt/SourceFeed.h"
#include "filecrypt/internal/BlockStream.h"
#include "filecrypt/internal/ProgressRhythm.h"

namespace kiv {

ReportText SourceTooLargeMessage(const std::string& path) {
    return {Message::SourceTooLarge, {PrintableName(path)}};
}

ReportText OutputIsSourceMessage(const std::string& path) {
    return {Message::OutputIsSource, {PrintableName(path)}};
}

ReportText SameNameMessage(const std::string& name) {
    return {Message::SameName, {PrintableName(name)}};
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
        result.failureText = WindowText(Message::NotRegularFile);
    } else if (error == 0 && failure == FileRunFailure::SourceUnreadable) {
        result.failureText = WindowText(Message::ChangedWhileRead);
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
// be a regular file, fit a container and not be the output. Each is looked at, not opened: it is
// opened once, when it is encrypted. Fills checked, or returns how the run ends.
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
    checked.reserve(paths.size());
    for (const std::string& path : paths) {
        if (parts.feed != nullptr && path == parts.fedPath) {
            checked.push_back({path, 0, 0, 0, StoredNameOf(path), true});
            continue;
        }
        FileFacts facts;
        if (!files.Examine(path, facts)) {
            const int error = errno;
            observer.AddLine(Message::EncryptReadNotOpen);
            return FailedOn(FileRunFailure::SourceUnreadable, path, error, files);
        }
        if (facts.size > kLargestEntry && parts.bound == 0) {
            observer.ShowMessage(SourceTooLargeMessage(path));
            return FileRunResult::Ended(FileRunStatus::Refused, FileRunFailure::SourceUnreadable,
                                        path);
        }
        // Only a source of the existing output's length can hold its bytes.
        ByteReader in;
        const bool holdsOutput = outputExists && facts.size == existing.Size() &&
                                 files.OpenInput(path, in) && existing.HoldsSameBytesAs(in);
        if (target && (facts.identity == *target || holdsOutput)) {
            observer.ShowMessage(OutputIsSourceMessage(output));
            return FileRunResult::Ended(FileRunStatus::Refused, FileRunFailure::OutputUnwritable,
                                        output);
        }
        const std::int64_t bound = parts.bound > 0 ? parts.bound : kLargestEntry;
        if (facts.size <= bound) {
            checked.push_back({path, facts.size, 0, facts.size, StoredNameOf(path)});
            continue;
        }
        // Each part is a range of the one source, which is still opened once, for its first part.
        const std::int64_t count = (facts.size + bound - 1) / bound;
        const std::string base = PartBase(StoredNameOf(path));
        for (std::int64_t k = 0; k < count; ++k)
            checked.push_back({path, std::min(bound, facts.size - k * bound), k * bound, facts.size,
                               PartName(base, k + 1, count)});
    }
    return std::nullopt;
}

// Writes one source's entry: its name, its size as opened, its full blocks and the final block.
// The source's first entry opens it into in; a later part reads on where the part before it
// stopped. Returns a Completed result, or how the run ends (after the entry's report line, if any).
FileRunResult WriteEntry(const Source& source, ByteReader& in, const std::string& output,
                         CipherWorkspace& ws, const BlockCodec& codec, ByteWriter& out,
                         FileRunObserver& observer, const FileRunSpeed& speed, FileStore& files) {
    // error: the system's error number, or 0 when the file changed under the run.
    const auto unreadable = [&](int error) {
        observer.AddLine(Message::EncryptReadNotOpen);
        return FailedOn(FileRunFailure::SourceUnreadable, source.path, error, files);
    };
    const auto unwritable = [&] {
        return FileRunResult::Ended(FileRunStatus::Failed, FileRunFailure::OutputUnwritable, output,
                                    out.error());
    };
    if (source.offset == 0) {
        in.Close();
        if (!files.OpenInput(source.path, in)) return unreadable(errno);
        if (in.Size() != source.fileSize) return unreadable(0);
    } else if (!in.IsOpen() || in.Position() != source.offset) {
        return unreadable(in.error());
    }
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
FileRunResult WriteFedSource(Source source, ByteReader& in, const SourceParts& parts,
                             const std::string& output, CipherWorkspace& ws,
                             const BlockCodec& codec, ByteWriter& out, FileRunObserver& observer,
                             const FileRunSpeed& speed, FileStore& files, std::int64_t& entries) {
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
            observer.AddLine(Message::EncryptReadNotOpen);
            return FailedOn(FileRunFailure::SourceUnreadable, source.path, error, files);
        }
        source.fileSize = source.size;
        if (number == 1 && last)
            return WriteEntry(source, in, output, ws, codec, out, observer, speed, files);
        source.name = PartName(base, number, mostParts - 1);
        nameAt.push_back(out.Written() + 4);
        const FileRunResult entry =
            WriteEntry(source, in, output, ws, codec, out, observer, speed, files);
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
    const auto refusePassword = [&](Message message) {
        observer.ShowMessage(message);
        return FileRunResult::Ended(FileRunStatus::Refused, FileRunFailure::PasswordRefused,
                                    output);
    };
    if (const auto refusal = FilePasswordRefusal(FileRunKind::Encryption, password))
        return refusePassword(*refusal);
    CipherWorkspace ws(clock);
    const FileKey key = PrepareFileKey(ws, password);
    if (!key.distinctModuli) return refusePassword(Message::RepeatedModuliFile);
    std::vector<Source> checked;
    if (auto ended = CheckSources(sources, output, observer, files, parts, checked)) return *ended;

    const auto unwritable = [&](int error) {
        observer.AddLine(Message::EncryptWriteNotOpen);
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
    // A fed source's size is known only as it arrives.
    if (std::none_of(checked.begin(), checked.end(), [](const Source& s) { return s.fed; })) {
        std::vector<std::int64_t> sizes;
        sizes.reserve(checked.size());
        for (const Source& source : checked)
            sizes.push_back(source.size);
        observer.SetRunSizes(std::move(sizes));
    }
    std::int64_t entries = count;
    int overall = -1;
    ByteReader in;  // the source being stored, over all of its parts
    for (std::int64_t k = 0; k < count; ++k) {
        observer.SetFileVisible(true);
        // Over many small files the bar's position changes only every few files.
        if (const auto position = static_cast<int>(k * 1000 / count); position != overall)
            observer.SetOverallPosition(overall = position);
        observer.EntryBegins();
        const Source& source = checked[static_cast<std::size_t>(k)];
        const FileRunResult entry =
            source.fed ? WriteFedSource(source, in, parts, output, ws, codec, out, observer, speed,
                                        files, entries)
                       : WriteEntry(source, in, output, ws, codec, out, observer, speed, files);
        // A source's plain bytes go from memory as soon as its last part is stored.
        if (source.offset + source.size == source.fileSize) in.Close();
        if (entry.status == FileRunStatus::Failed && out.failed())
            observer.AddLine(Message::EncryptWriteNotOpen);
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
