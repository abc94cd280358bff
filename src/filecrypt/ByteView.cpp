#include "filecrypt/ByteView.h"

#include <sys/mman.h>

#include "filecrypt/ByteFile.h"
#include "runtime/SecretWipe.h"

namespace kiv {

ByteView::~ByteView() {
    Release();
}

void ByteView::ReportFault() const {
    if (source_) source_->MarkFaulted(fileEnd_);
}

void ByteView::Release() {
    if (mapping_) munmap(mapping_, mappingLength_);
    mapping_ = nullptr;
    mappingLength_ = 0;
    // A copy may hold plain text.
    WipeBytes(copy_.get(), copied_);
    copied_ = 0;
    lent_.reset();
    data_ = nullptr;
    source_ = nullptr;
}

}  // namespace kiv
