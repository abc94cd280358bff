#include "cli/FdStreamBuf.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <istream>
#include <ostream>
#include <string>

#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

// Small and large pieces, the large ones passing the buffer by, keep the bytes and their order
// both ways.
TEST(FdStreamBuf, SmallAndLargePiecesKeepTheBytesInOrder) {
    TempFolder folder;
    std::string bytes(400000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    const std::size_t pieces[] = {1, 70000, 3, 65536, 65535, 99000, 1000};  // the rest: 98925

    WriteAll(folder / "in", bytes);
    const int in = open((folder / "in").c_str(), O_RDONLY);
    const int out = open((folder / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(in, 0);
    ASSERT_GE(out, 0);
    {
        FdStreamBuf inBuffer(in), outBuffer(out);
        std::istream reading(&inBuffer);
        std::ostream writing(&outBuffer);
        std::string got, piece;
        for (const std::size_t size : pieces) {
            piece.assign(size, '\0');
            ASSERT_TRUE(reading.read(piece.data(), static_cast<std::streamsize>(size))) << size;
            got += piece;
            ASSERT_TRUE(writing.write(piece.data(), static_cast<std::streamsize>(size))) << size;
        }
        piece.assign(200000, '\0');
        reading.read(piece.data(), 200000);
        EXPECT_EQ(reading.gcount(), 98925);
        EXPECT_TRUE(reading.eof());
        got.append(piece, 0, 98925);
        EXPECT_TRUE(got == bytes);
        writing.write(piece.data(), 98925);
        ASSERT_TRUE(writing.flush());
    }
    close(in);
    close(out);
    EXPECT_TRUE(ReadAll(folder / "out") == bytes);
}

}  // namespace
}  // namespace kiv
