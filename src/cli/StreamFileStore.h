#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "filecrypt/DiskFileStore.h"
#include "filecrypt/FileStore.h"

namespace kiv {

// The files of a kiv-cli run, where some are its standard input or output: a file run names
// them by an alias ("-") and reads and writes everything else on the disk.
//
// A file run needs its input's length before its data (an encryption stores each size before
// the bytes; a restore checks each entry against the container's length), so standard input is
// first copied into an unnamed temporary file in TMPDIR (O_TMPFILE: no name, gone when kiv-cli
// ends, however it ends), or where the filesystem has none, into a file removed at once; then
// read from there. A TMPDIR where a removed file would stay while open (FUSE, network
// filesystems) is refused before anything is read: the copy is plain text. Outputs are written
// straight to the descriptor, in order, as they are produced: a run that fails after it began has
// written part of its output.
class StreamFileStore final : public FileStore {
  public:
    explicit StreamFileStore(FileStore& disk = DiskFileStore::Instance()) : disk_(disk) {}
    ~StreamFileStore() override;
    StreamFileStore(const StreamFileStore&) = delete;
    StreamFileStore& operator=(const StreamFileStore&) = delete;

    // Makes the temporary file for the input named alias, before anything is read (HoldInput
    // does so when this was not called). Returns "" or, when TMPDIR cannot hold it so that
    // nothing of it remains, what failed and why; nothing was created then.
    std::string PrepareInput(const std::string& alias);
    // Copies up to limit bytes of fd into the temporary file, to be read as alias; one byte
    // more than limit is kept, so that a run sees the input is too long. Returns "" or, when fd
    // cannot be read or the temporary file cannot be made or written, what failed and why.
    std::string HoldInput(int fd, const std::string& alias, std::int64_t limit);
    // Holds the next at most bound bytes of fd as the input alias, in place of what it held
    // (standard input stored in parts, one at a time), and says their number and whether any
    // byte follows. Returns "" or, when fd cannot be read or the bytes cannot be held, what
    // failed and why.
    std::string HoldPart(int fd, std::int64_t bound, std::int64_t& size, bool& last);
    // Sends the output named alias, or every output when alias is empty, to fd.
    void SendOutputsTo(int fd, const std::string& alias);
    // How many outputs sent to the descriptor were written whole.
    int Committed() const { return committed_; }
    // Whether path is written to the output descriptor.
    bool IsStreamed(const std::string& path) const;

    bool OpenInput(const std::string& path, ByteReader& reader) override;
    std::unique_ptr<Output> CreateOutput(const std::string& path, ExistingFile existing) override;
    std::optional<FileIdentity> IdentityOf(const std::string& path) const override;
    bool NameTaken(const std::string& path) const override;
    bool IsIrregular(const std::string& path) const override;
    // Asks the disk, unless every output goes to the output descriptor: then no folder is
    // written and none is probed.
    bool FoldsLetterCase(const std::string& folder) const override;
    bool Examine(const std::string& path, FileFacts& facts) override;
    // The disk's folder, unless every output goes to the output descriptor.
    std::unique_ptr<Folder> OpenFolder(const std::string& folder) override;

  private:
    FileStore& disk_;
    std::string inputAlias_;
    int held_ = -1;     // the temporary file holding standard input
    int pending_ = -1;  // the byte read past the part held, which starts the next
    std::string outputAlias_;
    int outputFd_ = -1;
    int committed_ = 0;
};

}  // namespace kiv
