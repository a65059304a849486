#include <gtest/gtest.h>

#include "platform/core/String.h"

TEST(StringTest, FormatHandlesShortAndLongOutput)
{
    CString s;
    s.Format("%s=%d $%04x %.2f", "TSR", -5, 300, 1.5);
    EXPECT_EQ(s, "TSR=-5 $012c 1.50");
    const std::string longText(1000, 'x');
    s.Format("[%s]", longText.c_str());
    EXPECT_EQ(s.GetLength(), 1002);
    s.AppendFormat("%d", 7);
    EXPECT_EQ(s.Right(2), "]7");
}

TEST(StringTest, ExtractionClampsOutOfRangeArguments)
{
    const CString s("Korvane");
    EXPECT_EQ(s.Mid(3), "vane");
    EXPECT_EQ(s.Mid(3, 2), "va");
    EXPECT_EQ(s.Mid(-2, 3), "Kor");
    EXPECT_EQ(s.Mid(10), "");
    EXPECT_EQ(s.Mid(5, 100), "ne");
    EXPECT_EQ(s.Mid(2, -1), "");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Left(100), "Korvane");
    EXPECT_EQ(s.Right(4), "vane");
    EXPECT_EQ(s.Right(100), "Korvane");
}

TEST(StringTest, SearchingFindsOrReportsMinusOne)
{
    const CString s("a.b.c");
    EXPECT_EQ(s.Find('.'), 1);
    EXPECT_EQ(s.Find('.', 2), 3);
    EXPECT_EQ(s.Find('.', 5), -1);
    EXPECT_EQ(s.Find("b.c"), 2);
    EXPECT_EQ(s.Find("zz"), -1);
    EXPECT_EQ(s.ReverseFind('.'), 3);
    EXPECT_EQ(s.ReverseFind('z'), -1);
    EXPECT_EQ(s.FindOneOf("cb"), 2);
}

TEST(StringTest, EditingOperations)
{
    CString s("  Hello World  ");
    s.Trim();
    EXPECT_EQ(s, "Hello World");
    EXPECT_EQ(s.Replace("o", "00"), 2);
    EXPECT_EQ(s, "Hell00 W00rld");
    EXPECT_EQ(s.Remove('0'), 4);
    EXPECT_EQ(s, "Hell Wrld");
    s.Insert(4, 'o');
    s.Insert(100, "!");
    EXPECT_EQ(s, "Hello Wrld!");
    s.Delete(0, 6);
    EXPECT_EQ(s, "Wrld!");
    s.MakeUpper();
    EXPECT_EQ(s, "WRLD!");
    s.MakeLower().MakeReverse();
    EXPECT_EQ(s, "!dlrw");
    CString t("xxabcxx");
    EXPECT_EQ(t.Trim('x'), "abc");
    CString u("--a--");
    EXPECT_EQ(u.TrimLeft("-"), "a--");
    EXPECT_EQ(CString("abc").Replace("", "x"), 0);
}

TEST(StringTest, CompareAndTokenize)
{
    EXPECT_EQ(CString("abc").Compare("abd"), -1);
    EXPECT_EQ(CString("abc").CompareNoCase("ABC"), 0);
    EXPECT_EQ(CString("b").Compare("a"), 1);
    const CString line(",one,,two;three");
    int pos = 0;
    EXPECT_EQ(line.Tokenize(",;", pos), "one");
    EXPECT_EQ(line.Tokenize(",;", pos), "two");
    EXPECT_EQ(line.Tokenize(",;", pos), "three");
    EXPECT_EQ(line.Tokenize(",;", pos), "");
    EXPECT_EQ(pos, -1);
}

TEST(StringTest, BufferAccessFollowsTheTerminator)
{
    CString s;
    char* buf = s.GetBuffer(16);
    std::snprintf(buf, 16, "abc");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 3);
    EXPECT_EQ(s, "abc");
}
