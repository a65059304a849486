#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/TextHelpers.h"

namespace {

std::string Ints(const CList<int, int>& list)
{
    std::string text;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        text += std::to_string(list.GetNext(pos)) + " ";
    return text;
}

}  // namespace

TEST(TextHelpersTest, NumberFormatting)
{
    struct Case {
        CString got;
        const char* expected;
    };
    const Case cases[] = {
        {FormatDouble(1234.5678, 2), "1234.57"},
        {FormatDouble(2.5, -3), "2.5"},
        {FormatDouble(1234.5678, -3), "1.23e+03"},  // glibc writes two exponent digits
        {FormatDouble(-0.5, 0), "-0"},
        {FormatTimeSpan(61.05), "01:01.05"},
        {FormatTimeSpan(6000), "00:00.00"},
        {FormatTimeSpan(-61.05), "-01:01.05"},
        {FormatInt(-42), "-42"},
        {FormatBinary(0x1A5, 0), "10100101"},
        {FormatBinary(5, 1), "0000000000000101"},
        {FormatHex(0x1A5, 0), "a5"},
        {FormatHex(0xBEEF, 1), "beef"},
        {FormatHex(0x1F, 2), "0000001f"},
        {FormatBitList(0x80000005u), "0,2,31"},
        {FormatBitList(0), ""},
        {FormatRangeMessage("Gain", FALSE, 0, 1.5), "\"Gain\" must be in the range 0 to 1.5."},
        {FormatRangeMessage("Gain", TRUE, -1, 1e20),
         "\"Gain\" must be in the range -1 to 1e+20.  Entered value has been automatically adjusted to fit into that range."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected);
    // Readers take both exponent forms.
    EXPECT_DOUBLE_EQ(std::atof("1.23e+003"), std::atof(FormatDouble(1234.5678, -3)));
}

TEST(TextHelpersTest, IntegerLists)
{
    struct Case {
        const char* text;
        int result;
        const char* values;
    };
    const Case cases[] = {
        {"1, 3, 5-7", 1, "9 1 3 5 6 7 "},
        {"7-5", 1, "9 "},
        {"1,\t2\r\n,", 1, "9 1 2 "},
        {"3,3", 1, "9 3 3 "},
        {"", 1, "9 "},
        {"1,,2", 0, "9 "},
        {"-3", 0, "9 "},
        {"3-", 0, "9 "},
        {"1-2-3", 0, "9 "},
        {"1a", 0, "9 "},
        {"1,2,x", 0, "9 "},
        {"0-2000000000", 0, "9 "},
    };
    for (const Case& c : cases) {
        CList<int, int> values;
        values.AddTail(9);
        EXPECT_EQ(ParseIntegerList(c.text, values), c.result) << c.text;
        EXPECT_EQ(Ints(values), c.values) << c.text;
    }
}

TEST(TextHelpersTest, TaggedValues)
{
    const CString text =
        "<r><Name id=\"7\" kind=a.b id=\"8\">Motor <b>X</b></Name><Empty flag=\"1\"/><NameLong>z</NameLong><Bare/></r>";
    CString value = "old";
    CMapStringToString attributes;
    const int end = ExtractTaggedValue("Name", text, value, &attributes, 0);
    EXPECT_EQ(value, "Motor <b>X</b>");
    EXPECT_EQ(end, text.Find("<Empty"));
    CString id;
    EXPECT_TRUE(attributes.Lookup("id", id));
    EXPECT_EQ(id, "7");  // the first occurrence counts
    EXPECT_TRUE(attributes.Lookup("kind", id));
    EXPECT_EQ(id, "a.b");

    CMapStringToString emptyAttributes;
    EXPECT_EQ(ExtractTaggedValue("Empty", text, value, &emptyAttributes, 0), text.Find("<NameLong"));
    EXPECT_EQ(value, "");
    EXPECT_EQ(emptyAttributes.GetCount(), 1);
    EXPECT_EQ(ExtractTaggedValue("Bare", text, value, nullptr, 0), text.Find("</r>"));

    // From an offset past the first element, the prefix match finds the longer name.
    EXPECT_EQ(ExtractTaggedValue("Name", text, value, nullptr, end), -1);
    EXPECT_EQ(ExtractTaggedValue("NameL", text, value, nullptr, end), -1);

    struct Bad {
        const char* text;
    };
    const Bad bad[] = {{"<a x>1</a>"}, {"<a x=\"1>1</a>"}, {"<a>1"}, {"no tag"}, {"<a x=>1</a>"}, {"<a"}};
    for (const Bad& b : bad)
        EXPECT_EQ(ExtractTaggedValue("a", b.text, value, nullptr, 0), -1) << b.text;
    // A stray closing tag before the element is not taken for its end.
    EXPECT_EQ(ExtractTaggedValue("a", "</a><a>v</a>", value, nullptr, 0), 12);
    EXPECT_EQ(value, "v");
}

TEST(TextHelpersTest, HexAndNumberChecks)
{
    BYTE bytes[4] = {};
    EXPECT_EQ(HexToBytes("0aFf10", 4, bytes), 3);
    EXPECT_EQ(bytes[0], 0x0A);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[2], 0x10);
    EXPECT_EQ(HexToBytes("0102030405", 2, bytes), 2);  // never past the buffer
    EXPECT_EQ(HexToBytes("01g2", 4, bytes), -1);
    EXPECT_EQ(HexToBytes("012", 4, bytes), -1);

    struct Case {
        const char* text;
        int result;
        const char* trimmed;
    };
    const Case cases[] = {
        {"-12.5 \t\r\n", 1, "-12.5"}, {"-", 1, "-"}, {".", 1, "."}, {"", 0, ""}, {"  ", 0, ""},
        {"1.2.3", 0, "1.2.3"},       {"1-2", 0, "1-2"}, {"1 2", 0, "1 2"}, {"+1", 0, "+1"},
    };
    for (const Case& c : cases) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%s", c.text);
        EXPECT_EQ(TrimAndCheckNumber(buffer), c.result) << c.text;
        EXPECT_STREQ(buffer, c.trimmed);
    }
}

TEST(TextHelpersTest, StringListsAndIdentifiers)
{
    CStringList list;
    list.AddTail("first");
    SplitToStringList(" a ,, b;  ;c ", ",;", list);
    CString joined = ">";
    JoinStringList(list, "|", joined);
    EXPECT_EQ(joined, ">first|a|b||c|");

    CStringArray a;
    CStringArray b;
    a.Add("x");
    b.Add("X");
    EXPECT_EQ(StringArraysEqual(a, b), 0);
    b[0] = "x";
    EXPECT_EQ(StringArraysEqual(a, b), 1);
    b.Add("y");
    EXPECT_EQ(StringArraysEqual(a, b), 0);

    struct Case {
        CString got;
        const char* expected;
    };
    const Case cases[] = {
        {MakeIdentifier(" 3 phase (A)"), "_3_phase_A"},
        {MakeIdentifier("Gain-2\tx"), "Gain2_x"},
        {MakeIdentifier("   "), ""},
        {InsertDigitGroupSeparators("1234567.89", ",", 3), "1,234,567.89"},
        {InsertDigitGroupSeparators("-1234", ",", 3), "-1,234"},
        {InsertDigitGroupSeparators("1234 V", ",", 3), "1,234 V"},
        {InsertDigitGroupSeparators("123", ",", 3), "123"},
        {InsertDigitGroupSeparators("abc", ",", 3), "abc"},
        {InsertDigitGroupSeparators("123456", "'", 0), "123456"},
        {RemoveAllSubstrings("aabb", "ab"), ""},
        {RemoveAllSubstrings("xaby", "ab"), "xy"},
        {RemoveAllSubstrings("abc", ""), "abc"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected);
    EXPECT_EQ(StartsLikeNumber("+5"), 1);
    EXPECT_EQ(StartsLikeNumber(".5"), 1);
    EXPECT_EQ(StartsLikeNumber("x5"), 0);
    EXPECT_EQ(StartsLikeNumber(""), 0);
}
