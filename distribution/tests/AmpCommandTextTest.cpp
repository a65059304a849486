#include <gtest/gtest.h>

#include "distribution/AmpCommandText.h"
#include "distribution/AmpResponseToGui.h"

namespace {

struct ParseCase {
    const char* text;
    int ok;
    const char* code;  // own mnemonic
    LONG value;
    int width;
    const char* subCode;  // nullptr: no sub-command
    LONG subValue;
    int subWidth;
};

}  // namespace

TEST(AmpCommandTextTest, ParsesCommandLinesOrRefusesThem)
{
    const ParseCase cases[] = {
        {"abc", 1, "ABC", 0, 0, nullptr, 0, 0},
        {"  ABC  ", 1, "ABC", 0, 0, nullptr, 0, 0},
        {"ABC 100", 1, "ABC", 100, 1, nullptr, 0, 0},
        {"ABC 0", 1, "ABC", 0, 1, nullptr, 0, 0},
        {"AB1", 1, "AB", 1, 1, nullptr, 0, 0},
        {"ABC $1F", 1, "ABC", 31, 1, nullptr, 0, 0},
        {"abc $1f", 1, "ABC", 31, 1, nullptr, 0, 0},
        {"ABC $FFFFFFFF", 1, "ABC", -1, 1, nullptr, 0, 0},
        {"ABC 4294967295", 1, "ABC", -1, 1, nullptr, 0, 0},
        {"ABC 200", 1, "ABC", 200, 2, nullptr, 0, 0},
        {"ABC 40000", 1, "ABC", 40000, 4, nullptr, 0, 0},
        {"ABC -128", 1, "ABC", -128, 2, nullptr, 0, 0},
        {"ABC -5", 1, "ABC", -5, 1, nullptr, 0, 0},
        {"ABC -2147483648", 1, "ABC", INT32_MIN, 4, nullptr, 0, 0},
        {"ABC\t7", 1, "ABC", 7, 1, nullptr, 0, 0},
        {"ABC 12AB", 1, "AB", 0, 0, "ABC", 12, 1},
        {"ABC 1 DEF", 1, "DEF", 0, 0, "ABC", 1, 1},
        {"XYZ 3 ABC -5", 1, "ABC", -5, 1, "XYZ", 3, 1},
        {"XYZ $1000 ABC 300", 1, "ABC", 300, 2, "XYZ", 4096, 2},
        // refusals
        {"", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"   ", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABCD 1", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC $", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC DEF", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC 1 DEF 2 GHI 3", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC 1;", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"@1:ABC", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"1 ABC", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC 1 DEF GHI", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC 1 2", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC DEF 1", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC -", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC --5", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC 1.5", 0, nullptr, 0, 0, nullptr, 0, 0},
        // beyond 32 bits: refused, never turned into -1
        {"ABC 4294967296", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC 99999999999999999999", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC $100000000", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"ABC -2147483649", 0, nullptr, 0, 0, nullptr, 0, 0},
        {"XYZ 4294967296 ABC 1", 0, nullptr, 0, 0, nullptr, 0, 0},
    };
    for (const auto& c : cases) {
        CCompoundAmpMsg message(7, 0, 0, 0);
        message.m_flag = 9;
        ASSERT_EQ(ParseAmpCommandText(message, c.text), c.ok) << "'" << c.text << "'";
        EXPECT_EQ(message.m_address, 7) << c.text;
        EXPECT_EQ(message.m_flag, 9) << c.text;
        if (!c.ok) {
            EXPECT_EQ(message.m_code, 0) << c.text;
            EXPECT_TRUE(message.m_subCommands.IsEmpty()) << c.text;
            continue;
        }
        EXPECT_EQ(message.m_code, MnemonicToCode(c.code)) << c.text;
        EXPECT_EQ(message.m_value, c.value) << c.text;
        EXPECT_EQ(message.m_width, c.width) << c.text;
        if (!c.subCode) {
            EXPECT_TRUE(message.m_subCommands.IsEmpty()) << c.text;
            continue;
        }
        ASSERT_EQ(message.m_subCommands.GetCount(), 1) << c.text;
        const CAmpCommand& sub = message.m_subCommands.GetHead();
        EXPECT_EQ(sub.m_code, MnemonicToCode(c.subCode)) << c.text;
        EXPECT_EQ(sub.m_value, c.subValue) << c.text;
        EXPECT_EQ(sub.m_width, c.subWidth) << c.text;
        EXPECT_EQ(sub.m_flag, 0) << c.text;
    }
}

TEST(AmpCommandTextTest, NullTextIsRefused)
{
    CCompoundAmpMsg message;
    EXPECT_EQ(ParseAmpCommandText(message, nullptr), 0);
}

TEST(AmpCommandTextTest, NotificationResponsePrintsItsTag)
{
    CAmpResponseToGui response;
    response.m_address = 3;
    response.m_code = static_cast<WORD>(MnemonicToCode("ABC"));
    response.m_jobId = 7;
    const CString plain = response.ToString();
    response.m_notification = 1;
    EXPECT_EQ(response.ToString(), plain + "<notification>");
    EXPECT_EQ(plain, "{JID=7}@3:ABC");
}
