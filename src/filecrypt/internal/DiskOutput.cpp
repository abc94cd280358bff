#include "filecrypt/internal/DiskOutput.h"

#include <sys/stat.h>

#include <cerrno>

namespace kiv {

bool DiskOutput::Create(const std::string& path, ExistingFile existing) {
    return file_.Create(path, existing) && Opened();
}

bool DiskOutput::Create(int folder, const std::string& folderPath, const std::string& name,
                        ExistingFile existing, const AtomicOutputFile::Found* found) {
    return file_.Create(folder, folderPath, name, existing, found) && Opened();
}

bool DiskOutput::Opened() {
    writer_ = std::make_unique<ByteWriter>(file_.fd());
    // The file keeps its identity under whatever name it gets.
    struct stat info {};
    if (fstat(file_.fd(), &info) == 0) identity_ = FileIdentity(info.st_dev, info.st_ino);
    return true;
}

bool DiskOutput::Commit() {
    return Flushed() && file_.Commit();
}

bool DiskOutput::Complete() {
    if (!Flushed()) return false;
    // Its buffer is not held while the output waits.
    writer_.reset();
    file_.Finish();
    return true;
}

bool DiskOutput::Flushed() {
    // A completed output has nothing left to flush.
    if (!writer_ || writer_->Flush()) return true;
    errno = writer_->error();
    file_.Discard();
    return false;
}

}  // namespace kiv
