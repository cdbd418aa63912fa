#include "job/ByteOutputStream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/wfstream.h>

namespace
{

// Encoders patch offsets behind them and align ahead of the end; the bytes
// in memory must be what a file stream would have left on disk.
template <typename Stream> void WritePatchedLayout(Stream& stream)
{
    stream.Write("header--", 8);
    stream.SeekO(3, wxFromEnd);
    stream.Write("AB", 2);
    stream.SeekO(12, wxFromStart);
    stream.Write("after-gap", 9);
    stream.SeekO(2, wxFromStart);
    stream.Write("xy", 2);
    stream.SeekO(-4, wxFromCurrent);
    stream.Write("<", 1);
    stream.SeekO(0, wxFromEnd);
    stream.Write("!", 1);
}

TEST(ByteOutputStream, LeavesTheBytesAFileStreamLeavesOnDisk)
{
    TempDir folder;
    const wxString path = folder.File(wxT("layout.bin"));
    {
        wxFileOutputStream file(path);
        ASSERT_TRUE(file.IsOk());
        WritePatchedLayout(file);
    }
    ByteOutputStream memory;
    WritePatchedLayout(memory);

    const std::string onDisk = ReadFileBytes(path);
    ASSERT_EQ(onDisk.size(), 22u);
    EXPECT_EQ(memory.Bytes(), onDisk);
    EXPECT_EQ(memory.GetLength(), 22);
    EXPECT_EQ(memory.TellO(), 22);
    EXPECT_EQ(memory.SeekO(-1, wxFromStart), wxInvalidOffset);
}

} // namespace
