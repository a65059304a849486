#include <gtest/gtest.h>

#include <string>

#include "foundation/ParamParse.h"

TEST(ParamParseTest, ReadsTypedItemsSeparatedByBlanksAndCommas)
{
    char c = 0;
    short s = 0;
    int i = 0;
    long l = 0;
    float f = 0;
    double d = 0;
    CString text;
    EXPECT_EQ(CParamParse::ParseParams("Set (300 ,, -3.9  3.9,-7 2.5 1e-3, \"a b,c\") trailing",
                                       {c, s, i, l, f, d, text}),
              0);
    EXPECT_EQ(c, 44);  // low byte of 300
    EXPECT_EQ(s, -3);
    EXPECT_EQ(i, 3);
    EXPECT_EQ(l, -7);
    EXPECT_FLOAT_EQ(f, 2.5f);
    EXPECT_DOUBLE_EQ(d, 0.001);
    EXPECT_EQ(text, "a b,c");
}

TEST(ParamParseTest, MalformedListsGiveTheirCodeAndText)
{
    struct Case {
        const char* text;
        int expected;  // int targets
        int code;
        const char* message;
    };
    const Case cases[] = {
        {"Cmd 1, 2", 1, 2, "'(' expected"},
        {"Cmd(1, 2", 1, 3, "')' expected"},
        {"Cmd)1(", 1, 2, "'(' expected"},
        {"Cmd()", 1, 4, "unexpected end of line"},
        {"Cmd(1)", 2, 6, "missing parameters"},
        {"Cmd(1,)", 2, 4, "unexpected end of line"},
        {"Cmd(1,2)", 1, 7, "too many parameters"},
        {"Cmd(abc)", 1, 7, "too many parameters"},
        {"Cmd()", 0, 0, "unknown"},
        {"Cmd(  , )", 0, 0, "unknown"},
        {"Cmd(1)", 0, 7, "too many parameters"},
    };
    for (const Case& c : cases) {
        int a = 0;
        int b = 0;
        const CParamParse::Target all[] = {a, b};
        const int code = CParamParse::ParseParams(c.text, all, c.expected);
        EXPECT_EQ(code, c.code) << c.text;
        EXPECT_EQ(CParamParse::GetErrorString(code), c.message) << c.text;
    }
}

TEST(ParamParseTest, TextItemsNeedBothQuotesAndFitTheBuffer)
{
    CString text = "before";
    struct Case {
        std::string line;
        int code;
    };
    const std::string longest(CParamParse::kMaxTextLength, 'x');
    const Case cases[] = {
        {"T(\"abc)", 8},
        {"T(abc\")", 8},
        {"T(\"" + longest + "x\")", 8},
        {"T(\"" + longest + "\")", 0},
        {"T(\"\")", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CParamParse::ParseParams(c.line.c_str(), {text}), c.code) << c.line.size();
    EXPECT_EQ(text, "");
    EXPECT_EQ(CParamParse::GetErrorString(8), "'\"'expected");
}

TEST(ParamParseTest, FilledTargetsKeepTheirValuesAfterAnError)
{
    int first = 0;
    int second = 5;
    int unknown = 0;
    const CParamParse::Target targets[] = {first, CParamParse::Target::ByCode(7, &unknown), second};
    EXPECT_EQ(CParamParse::ParseParams("X(12, 13, 14)", targets, 3), 5);
    EXPECT_EQ(CParamParse::GetErrorString(5), "unknown type");
    EXPECT_EQ(first, 12);
    EXPECT_EQ(second, 5);
    EXPECT_EQ(CParamParse::GetErrorString(1), "out of memory");
    EXPECT_EQ(CParamParse::GetErrorString(99), "unknown");
}

TEST(ParamParseTest, NumbersOutsideTheIntegerRangeSaturate)
{
    int big = 0;
    int notANumber = 7;
    EXPECT_EQ(CParamParse::ParseParams("X(1e30, nan)", {big, notANumber}), 0);
    EXPECT_EQ(big, 2147483647);
    EXPECT_EQ(notANumber, 0);
}
