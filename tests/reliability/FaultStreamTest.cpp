// The fault-injection streams are what the handler and job tests trust to
// produce a dying device at an exact byte; check that they do.

#include "tests/reliability/FailingInputStream.h"
#include "tests/reliability/FailingOutputStream.h"

#include <gtest/gtest.h>

#include <string>

TEST(FailingInputStream, DeliversExactlyTheBudgetThenFailsForGood)
{
    struct Case
    {
        std::size_t failAfter;
        std::size_t firstRead;
        std::size_t expectDelivered;
        wxStreamError expectError;
    };
    const std::string bytes = "0123456789";
    const Case kCases[] = {
        {0, 4, 0, wxSTREAM_READ_ERROR}, {3, 4, 3, wxSTREAM_READ_ERROR},
        {4, 4, 4, wxSTREAM_NO_ERROR},   {10, 12, 10, wxSTREAM_EOF},
        {100, 12, 10, wxSTREAM_EOF},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(testing::Message() << "fail after " << c.failAfter);
        FailingInputStream stream(bytes, c.failAfter);
        char buffer[16] = {};
        stream.Read(buffer, c.firstRead);
        EXPECT_EQ(stream.LastRead(), c.expectDelivered);
        EXPECT_EQ(std::string(buffer, stream.LastRead()), bytes.substr(0, c.expectDelivered));
        EXPECT_EQ(stream.GetLastError(), c.expectError);
        if (c.failAfter < bytes.size())
        {
            // The budget counts bytes delivered, so a rewind does not revive
            // a dead device.
            stream.SeekI(0);
            stream.Read(buffer, 1);
            EXPECT_EQ(stream.LastRead(), 0u);
            EXPECT_EQ(stream.GetLastError(), wxSTREAM_READ_ERROR);
        }
    }
}

TEST(FailingOutputStream, StoresWhatFitsThenFailsWritesAndClose)
{
    FailingOutputStream stream(5);
    stream.Write("abc", 3);
    EXPECT_TRUE(stream.IsOk());
    stream.Write("defgh", 5);
    EXPECT_EQ(stream.LastWrite(), 2u);
    EXPECT_EQ(stream.GetLastError(), wxSTREAM_WRITE_ERROR);
    EXPECT_EQ(stream.Bytes(), "abcde");
    stream.SeekO(0);
    stream.Write("x", 1);
    EXPECT_EQ(stream.LastWrite(), 0u);
    EXPECT_FALSE(stream.Close());

    FailingOutputStream roomy(100);
    roomy.Write("abcdef", 6);
    roomy.SeekO(2);
    roomy.Write("XY", 2);
    EXPECT_EQ(roomy.Bytes(), "abXYef");
    EXPECT_TRUE(roomy.Close());
}
