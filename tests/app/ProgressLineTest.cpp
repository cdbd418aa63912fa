#include "app/ProgressLine.h"

#include <gtest/gtest.h>

TEST(ProgressLine, SaysDoneTotalFailedTimesAndCurrentFile)
{
    struct Case
    {
        std::size_t done, total, failed;
        const char* current;
        double elapsed;
        std::size_t width;
        const char* expected;
    };
    const Case kCases[] = {
        // Nothing done yet: no estimate to give.
        {0, 10, 0, "a.jpg", 3, 80, "0/10 done, 0:03 elapsed: a.jpg"},
        // 2 of 10 in 20 s: 8 more at 10 s each.
        {2, 10, 0, "c.jpg", 20, 80, "2/10 done, 0:20 elapsed, ~1:20 left: c.jpg"},
        {5, 10, 2, "f.tif", 30, 80, "5/10 done, 2 failed, 0:30 elapsed, ~0:30 left: f.tif"},
        {1, 2, 0, "", 3600, 80, "1/2 done, 1:00:00 elapsed, ~1:00:00 left"},
        {10, 10, 1, "", 65, 80, "10/10 done, 1 failed, 1:05 elapsed"},
        // One column short of the terminal, so that it never wraps.
        {0, 10, 0, "a-long-name.jpg", 3, 20, "0/10 done, 0:03 ela"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(ProgressLine::Text(c.done, c.total, c.failed, c.current, c.elapsed, c.width),
                  wxString(c.expected));
}
