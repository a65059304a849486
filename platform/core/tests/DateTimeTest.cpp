#include <gtest/gtest.h>

#include "platform/core/DateTime.h"

TEST(DateTimeTest, TypedFormsParseToTheirDayAndTimeAndFormatBack)
{
    struct Case {
        const char* text;
        int y, mo, d, h, mi, s;
        const char* shown;
    };
    const Case cases[] = {
        {"12/10/2026", 2026, 12, 10, 0, 0, 0, "12/10/2026"},
        {"2026-01-05 13:00", 2026, 1, 5, 13, 0, 0, "1/5/2026 1:00:00 PM"},
        {"1/2/2024 9:30 PM", 2024, 1, 2, 21, 30, 0, "1/2/2024 9:30:00 PM"},
        {" 2000/2/29 12:00:01 am ", 2000, 2, 29, 0, 0, 1, "2/29/2000 12:00:01 AM"},
        {"12:00:01", 1899, 12, 30, 12, 0, 1, "12:00:01 PM"},
    };
    for (const Case& c : cases) {
        COleDateTime date;
        ASSERT_TRUE(date.ParseDateTime(c.text)) << c.text;
        EXPECT_EQ(date.GetYear(), c.y) << c.text;
        EXPECT_EQ(date.GetMonth(), c.mo) << c.text;
        EXPECT_EQ(date.GetDay(), c.d) << c.text;
        EXPECT_EQ(date.GetHour(), c.h) << c.text;
        EXPECT_EQ(date.GetMinute(), c.mi) << c.text;
        EXPECT_EQ(date.GetSecond(), c.s) << c.text;
        EXPECT_EQ(date.Format(), c.shown) << c.text;
    }
    EXPECT_EQ(COleDateTime(1899, 12, 30, 0, 0, 0).m_dt, 0.0);
    EXPECT_EQ(COleDateTime(1900, 1, 1, 12, 0, 0).m_dt, 2.5);
    EXPECT_TRUE(COleDateTime(2020, 1, 1, 0, 0, 0) < COleDateTime(2020, 1, 1, 0, 0, 1));
}

TEST(DateTimeTest, NumbersWordsAndImpossibleDaysAreNotDates)
{
    for (const char* text : {"", "10", "12.5", "abc", "2/30/2021", "13/1/2020", "2020-01-01 25:00", "1/2/2020 x",
                             "12:61", "0:00 PM", "1/2/20"}) {
        COleDateTime date;
        EXPECT_FALSE(date.ParseDateTime(text)) << text;
        EXPECT_EQ(date.GetStatus(), COleDateTime::invalid) << text;
        EXPECT_EQ(date.Format(), "") << text;
    }
}
