#include "support/ContainerEditor.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace kiv::testing {

namespace {

std::string Int32Bytes(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<char>(u >> shift));
    return bytes;
}

}  // namespace

ContainerEditor::ContainerEditor(std::string bytes, int blockLength)
    : bytes_(std::move(bytes)), blockLength_(blockLength) {}

std::int32_t ContainerEditor::Int32At(std::size_t offset) const {
    if (offset + 4 > bytes_.size())
        throw std::out_of_range("ContainerEditor: no four bytes at " + std::to_string(offset));
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value =
            value << 8 | static_cast<unsigned char>(bytes_[offset + static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(value);
}

ContainerEditor& ContainerEditor::SetInt32At(std::size_t offset, std::int32_t value) {
    Int32At(offset);  // throws where the file holds no such field
    bytes_.replace(offset, 4, Int32Bytes(value));
    return *this;
}

int ContainerEditor::ResidueCount() const {
    return Int32At(ResidueCountOffset());
}

std::int32_t ContainerEditor::FileCount() const {
    return Int32At(FileCountOffset());
}

ContainerEditor::EntryEditor ContainerEditor::Entry(int number) {
    std::size_t at = EntriesOffset();
    for (int k = 1; k < number; ++k)
        at = EntryEditor(*this, at).EndOffset();
    return EntryEditor(*this, at);
}

ContainerEditor& ContainerEditor::SetResidueCount(std::int32_t count) {
    return SetInt32At(ResidueCountOffset(), count);
}

ContainerEditor& ContainerEditor::SetPasswordBlock(const std::string& residues) {
    if (residues.size() != static_cast<std::size_t>(ResidueBytes()))
        throw std::invalid_argument("ContainerEditor: a password block of another length");
    bytes_.replace(PasswordBlockOffset(), residues.size(), residues);
    return *this;
}

ContainerEditor& ContainerEditor::SetFileCount(std::int32_t count) {
    return SetInt32At(FileCountOffset(), count);
}

ContainerEditor& ContainerEditor::RemoveEntries() {
    bytes_.resize(EntriesOffset());
    return SetFileCount(0);
}

ContainerEditor& ContainerEditor::AddEntry(const std::string& name, std::int32_t size,
                                           const std::string& blocks) {
    bytes_ += Int32Bytes(static_cast<std::int32_t>(name.size())) + name + Int32Bytes(size) + blocks;
    return SetFileCount(FileCount() + 1);
}

std::size_t ContainerEditor::EntryEditor::SizeOffset() const {
    return NameOffset() + static_cast<std::size_t>(std::max(NameLength(), 0));
}

std::int32_t ContainerEditor::EntryEditor::NameLength() const {
    return editor_->Int32At(NameLengthOffset());
}

std::string ContainerEditor::EntryEditor::Name() const {
    return editor_->bytes_.substr(NameOffset(), SizeOffset() - NameOffset());
}

std::int32_t ContainerEditor::EntryEditor::Size() const {
    return editor_->Int32At(SizeOffset());
}

std::int64_t ContainerEditor::EntryEditor::BlockCount() const {
    if (editor_->blockLength_ <= 0)
        throw std::logic_error("ContainerEditor: an entry's blocks need the block length");
    return std::max<std::int64_t>(Size() / editor_->blockLength_ + 1, 0);
}

std::size_t ContainerEditor::EntryEditor::EndOffset() const {
    return BlocksOffset() + static_cast<std::size_t>(BlockCount() * editor_->ResidueBytes());
}

std::string ContainerEditor::EntryEditor::Block(std::int64_t index) const {
    const auto width = static_cast<std::size_t>(editor_->ResidueBytes());
    return editor_->bytes_.substr(BlocksOffset() + static_cast<std::size_t>(index) * width, width);
}

ContainerEditor::EntryEditor& ContainerEditor::EntryEditor::SetNameLength(std::int32_t length) {
    editor_->SetInt32At(NameLengthOffset(), length);
    return *this;
}

ContainerEditor::EntryEditor& ContainerEditor::EntryEditor::SetName(const std::string& name) {
    if (name.size() != SizeOffset() - NameOffset())
        throw std::invalid_argument("ContainerEditor: a name of another length");
    editor_->bytes_.replace(NameOffset(), name.size(), name);
    return *this;
}

ContainerEditor::EntryEditor& ContainerEditor::EntryEditor::SetSize(std::int32_t size) {
    editor_->SetInt32At(SizeOffset(), size);
    return *this;
}

ContainerEditor::EntryEditor& ContainerEditor::EntryEditor::RemoveBlocks(std::int64_t count) {
    editor_->bytes_.erase(BlocksOffset(),
                          static_cast<std::size_t>(count * editor_->ResidueBytes()));
    return *this;
}

}  // namespace kiv::testing
