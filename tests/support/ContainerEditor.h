#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kiv::testing {

// Edits an encrypted file's bytes by the names of its fields, as filecrypt/ContainerFormat.h lays
// them out, for tests that damage a container where a reader must notice:
//
//     ContainerEditor edit(ReadAll(path), blockLength);
//     edit.Entry(2).SetSize(-1);
//     WriteAll(path, edit.Bytes());
//
// It reads the layout itself, not through the code under test. The block length (the password's
// length in bytes) is stored nowhere; it is needed only to step over an entry's blocks, so to
// find the entries after the first.
class ContainerEditor {
  public:
    // One entry's fields, where they stand in the bytes as they are now.
    class EntryEditor {
      public:
        std::size_t NameLengthOffset() const { return at_; }
        std::size_t NameOffset() const { return at_ + 4; }
        std::size_t SizeOffset() const;
        std::size_t BlocksOffset() const { return SizeOffset() + 4; }
        // Just past its last block: where the next entry starts.
        std::size_t EndOffset() const;

        std::int32_t NameLength() const;
        std::string Name() const;
        std::int32_t Size() const;
        // The stored blocks as a reader counts them: size / L + 1, none below 0.
        std::int64_t BlockCount() const;
        // The residue bytes of one block, counted from 0.
        std::string Block(std::int64_t index) const;

        EntryEditor& SetNameLength(std::int32_t length);
        // Other bytes of the same length in place of the name; its length field stays.
        EntryEditor& SetName(const std::string& name);
        EntryEditor& SetSize(std::int32_t size);
        // Takes its first count blocks out of the file.
        EntryEditor& RemoveBlocks(std::int64_t count);

      private:
        friend class ContainerEditor;
        EntryEditor(ContainerEditor& editor, std::size_t at) : editor_(&editor), at_(at) {}
        ContainerEditor* editor_;
        std::size_t at_;
    };

    explicit ContainerEditor(std::string bytes, int blockLength = 0);

    // The residue count d as stored, and the d - 1 bytes every block takes.
    int ResidueCount() const;
    int ResidueBytes() const { return ResidueCount() - 1; }
    std::size_t ResidueCountOffset() const { return 0; }
    std::size_t PasswordBlockOffset() const { return 4; }
    std::size_t FileCountOffset() const { return PasswordBlockOffset() + ResidueBytes(); }
    std::size_t EntriesOffset() const { return FileCountOffset() + 4; }
    std::int32_t FileCount() const;

    // From 1, as the reports count entries.
    EntryEditor Entry(int number);

    ContainerEditor& SetResidueCount(std::int32_t count);
    // Residue bytes in place of the password block's.
    ContainerEditor& SetPasswordBlock(const std::string& residues);
    ContainerEditor& SetFileCount(std::int32_t count);
    // Leaves the header with a file count of 0; AddEntry then appends entries and counts them.
    ContainerEditor& RemoveEntries();
    ContainerEditor& AddEntry(const std::string& name, std::int32_t size,
                              const std::string& blocks);

    const std::string& Bytes() const { return bytes_; }

    std::int32_t Int32At(std::size_t offset) const;
    ContainerEditor& SetInt32At(std::size_t offset, std::int32_t value);

  private:
    std::string bytes_;
    int blockLength_;
};

}  // namespace kiv::testing
