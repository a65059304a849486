#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "trazel/Trazel.h"

namespace {
struct TimeCase {
    double seconds;
    int mode;
    int digits;
    const char* text;
};

const TimeCase kTimeCases[] = {
    {1.25, 0, 2, "1.25"},
    {2.0, 0, 0, "2"},
    {-1.5, 0, 1, "-1.5"},
    {65.25, 1, 2, "01:05.25"},
    {-65, 1, 0, "-01:05"},
    {3725.5, 1, 1, "02:05.5"},  // minutes within the hour only
    {0.125, 1, 3, "00:00.125"},
    {3725.5, 2, 1, "01:02:05.5"},
    {3725, 2, 0, "01:02:05"},
    {-3725.5, 2, 2, "-01:02:05.50"},
    {3725.5, 3, 0, "01:02:05:15"},  // 30 frames a second
    {3725.5, 3, 4, "01:02:05:15"},  // frames take no digit count
    {3725, 4, 0, "01:02:05"},
    {65, 4, 0, "01:05"},
    {5.5, 4, 1, "5.5"},
    {4000, 5, 0, "1 hour 6 mins"},
    {7260, 5, 0, "2 hours 1 min"},
    {3600, 5, 0, "1 hour 0 mins"},
    {150, 5, 0, "2 mins"},
    {60, 5, 0, "about a minute"},
    {30, 5, 0, "less than a minute"},
    {1.5, 2, 12, "00:00:01.500000000"},  // at most nine fraction digits fit
    {1.0, 7, 0, ""},
};
}  // namespace

TEST(TimeTextTest, EveryModeAndDigitCount)
{
    for (const TimeCase& c : kTimeCases)
        EXPECT_EQ(std::string(CTrazel::ConvertTimeText(c.seconds, c.mode, c.digits).GetString()), c.text)
            << c.seconds << " s, mode " << c.mode << ", " << c.digits << " digits";
}

TEST(TimeTextTest, FormattedValuesByTimeFormatOrPrintfFormat)
{
    struct Case {
        double value;
        const char* format;
        int digits;
        const char* text;
    } cases[] = {
        {1.5, "%.3f", 0, "1.500"},
        {65.5, "TF_S", 1, "65.5"},
        {65.5, "TF_MS", 1, "01:05.5"},
        {3725.5, "TF_HMS", 1, "01:02:05.5"},
        {65.5, "tf_ms", 1, "tf_ms"},  // names are case-sensitive; without a conversion it prints as it stands
        {2.0, "%g V", 0, "2 V"},
        {0.25, "%+08.2e", 0, "+2.50e-01"},
        {100.0, "%d%%", 1, "100.0"},      // would read an int: fixed notation instead
        {1.0, "%Lf", 2, "1.00"},          // would read a long double
        {3.0, "%s", 2, "3.00"},           // would read a text pointer
        {3.0, "%f %f", 1, "3.0"},         // would read a second value
        {3.0, "%*f", 1, "3.0"},           // would read a width
        {3.0, "%.2f%", 1, "3.0"},         // a dangling percent sign
        {3.0, nullptr, 1, ""},
    };
    for (const Case& c : cases) {
        char out[CTrazel::kFormattedValSize];
        CTrazel::GetFormattedVal(c.value, c.format, c.digits, out);
        EXPECT_STREQ(out, c.text) << (c.format ? c.format : "(null)");
    }
}

TEST(TimeTextTest, LongTextsAreCutToTheBuffer)
{
    char out[CTrazel::kFormattedValSize + 8];
    std::memset(out, 'x', sizeof out);
    CTrazel::GetFormattedVal(1.0, "%400.1f", 0, out);
    EXPECT_EQ(std::strlen(out), static_cast<size_t>(CTrazel::kFormattedValSize - 1));
    EXPECT_EQ(out[CTrazel::kFormattedValSize], 'x') << "nothing written past the buffer";
}
