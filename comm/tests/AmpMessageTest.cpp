#include <gtest/gtest.h>

#include <map>

#include "comm/protocol/AmpErrors.h"
#include "comm/protocol/AmpQryCmdJobCm.h"
#include "comm/protocol/AmpResponseToDistMngrList.h"
#include "comm/link/DriveNameSource.h"

TEST(AmpMessageTest, MnemonicAndCodeConvertBothWays)
{
    struct Case { const char* text; int code; };
    const Case cases[] = {{"TSR", 21106}, {"tsr", 21106}, {"TsR", 21106}, {"TSRX", 21106}, {"OSA", 15969},
                          {"OSD", 15972}, {"PSD", 16996}, {"APE", 1541}, {"TRE", 21061}, {"CB", 98},
                          {"A1", 0}, {"", 0}, {"T-R", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(MnemonicToCode(c.text), c.code) << c.text;
    EXPECT_EQ(CodeToMnemonic(98), "CB");
    EXPECT_EQ(CodeToMnemonic(0), "");
    EXPECT_EQ(CodeToMnemonic(21106), "TSR");
    EXPECT_EQ(CodeToMnemonic((1 << 10) | 2), "A B");  // an inner blank stays
    EXPECT_EQ(CodeToMnemonic(27), "[");
}

TEST(AmpMessageTest, AutomaticWidthFollowsMagnitude)
{
    const std::pair<LONG, int> cases[] = {{0, 1},     {127, 1},   {128, 2},    {-127, 1},   {-128, 2},
                                          {32767, 2}, {32768, 4}, {-32768, 4}, {-32767, 2}, {INT32_MIN, 4}};
    for (const auto& [value, width] : cases)
        EXPECT_EQ(AutoValueWidth(value), width) << value;
}

TEST(AmpMessageTest, CommandTextInHexAndDecimal)
{
    EXPECT_EQ(CAmpCommand(21106, 300, 2).ToString(), "TSR $012c");
    EXPECT_EQ(CAmpCommand(21106, 0, 0).ToString(), "TSR");
    const CAmpCommand received(21106, 0xFF, 1);
    EXPECT_EQ(received.ToString(), "TSR $ff");
    EXPECT_EQ(received.ToString(kAmpTextDecimal), "TSR -1");
    EXPECT_EQ(received.GetValue(), -1);
    EXPECT_EQ(CAmpCommand(98, 0x8000, 2).GetValue(), -32768);
    EXPECT_EQ(CAmpMsg(3, 98, 5, 1).ToString(), "@3:CB $05");
    EXPECT_EQ(CAmpMsg(3, 98, 5, 1).ToString(kAmpTextNoAddress), "CB $05");
}

TEST(AmpMessageTest, CompoundTextAndFrameLength)
{
    CCompoundAmpMsg msg(2, 21106, 0, 0);
    msg.AddCommand(98, 200);
    msg.AddCommand(1541, 70000);
    EXPECT_EQ(msg.ToString(), "@2:TSR CB $00c8 APE $00011170");
    EXPECT_EQ(msg.ToString(kAmpTextNoAddress | kAmpTextDecimal), "TSR CB 200 APE 70000");
    EXPECT_EQ(msg.GetFrameLength(), 4 + 6 + 8);
}

namespace {
class FixedNames : public CDriveNameSource {
public:
    bool FindDriveName(int address, CString& name) const override
    {
        auto it = names.find(address);
        if (it == names.end())
            return false;
        name = it->second;
        return true;
    }
    std::map<int, CString> names{{1, "Axis X"}};
};
}  // namespace

TEST(AmpMessageTest, NamedDrivesShowTheirName)
{
    FixedNames names;
    CDriveNameSource::Install(&names);
    CCompoundAmpMsg named(1, 98, 0, 0);
    CCompoundAmpMsg unnamed(4, 98, 0, 0);
    EXPECT_EQ(named.ToString(), "Axis X:CB");
    EXPECT_EQ(unnamed.ToString(), "@4:CB");
    CDriveNameSource::Install(nullptr);
    EXPECT_EQ(named.ToString(), "@1:CB");
}

TEST(AmpMessageTest, ResponseTextCarriesJobErrorAndStatusTags)
{
    CAmpResponseToDistMngr r;
    r.m_address = 3;
    r.m_code = 21106;
    r.m_jobId = 7;
    r.m_error = AMP_ERR_RESPONSE_TIMEOUT;
    EXPECT_EQ(r.ToString(), "{JID=7}<ERROR:Timed-out waiting for response>@3:TSR<expired>");
    EXPECT_EQ(r.ToString(kAmpTextNoJobId), "<ERROR:Timed-out waiting for response>@3:TSR<expired>");
    r.m_error = AMP_ERR_DRIVE_OFFLINE;
    EXPECT_EQ(r.ToString(kAmpTextNoAddress | kAmpTextNoJobId), "<ERROR:Drive off-line>TSR<off-line>");
    r.m_error = 0;
    r.m_timeStamp = 0x12c;
    r.m_timeStampValid = 1;
    EXPECT_EQ(r.ToString(kAmpTextTimeStamp), "{JID=7}@3:TSR TSR $0000012c");
    EXPECT_EQ(r.ToString(kAmpTextTimeStamp | kAmpTextDecimal), "{JID=7}@3:TSR TSR 300");
    r.m_timeStampValid = 0;
    EXPECT_EQ(r.ToString(kAmpTextTimeStamp).Left(22), "{JID=7}@3:TSR  <KV Tim");
}

TEST(AmpMessageTest, ErrorTexts)
{
    EXPECT_EQ(GetAmpErrorString(768), "Comm not enabled");
    EXPECT_EQ(GetAmpErrorString(1024), "Duplicate job id");
    EXPECT_EQ(GetAmpErrorString(3), "Invalid error code");
}

TEST(AmpMessageTest, JobTextMarksScopeTraces)
{
    CAmpQryCmdJobCm job;
    job.m_address = 1;
    job.m_code = 15969;
    job.SetValue(0x2052, 4);
    job.m_jobId = 12;
    job.m_jobFlags = kJobBlockTransfer;
    EXPECT_EQ(job.ToString(), "{JID=12}@1:OSA $00002052<Scope trace>");
    EXPECT_EQ(job.ToString(kAmpTextNoAddress), "OSA $00002052<Scope trace>");
    job.m_jobFlags = 0;
    EXPECT_EQ(job.ToString(kAmpTextNoAddress), "OSA $00002052");
    job.m_jobFlags = kJobBlockTransfer;
    int reg = 0, high = 0, index = 0;
    EXPECT_EQ(DecodeBlockTransferQuery(job, reg, high, index), 2);
    EXPECT_EQ(reg, 0x5220);
    EXPECT_EQ(index, 0);
    job.m_code = 15972;
    job.SetValue(0x00030102, 4);
    EXPECT_EQ(DecodeBlockTransferQuery(job, reg, high, index), 1);
    EXPECT_EQ(high, 3);
    EXPECT_EQ(index, 3);
    job.m_code = 98;
    EXPECT_EQ(DecodeBlockTransferQuery(job, reg, high, index), 0);
}

TEST(AmpMessageTest, SubCommandListsCompareCodesPresenceAndValues)
{
    CAmpCommandList a, b;
    a.AddTail(CAmpCommand(98, 5, 1));
    b.AddTail(CAmpCommand(98, 5, 2));
    EXPECT_TRUE(a.IsEqual(b));  // widths may differ
    b.GetHead().SetRead();
    EXPECT_FALSE(a.IsEqual(b));
    b.Copy(a);
    EXPECT_TRUE(a.IsEqual(b));
    b.AddTail(CAmpCommand(1, 0, 0));
    EXPECT_FALSE(a.IsEqual(b));
}

TEST(AmpMessageTest, ResponseListPopsOldestFirst)
{
    CAmpResponseToDistMngrList list;
    CAmpResponseToDistMngr r;
    for (DWORD id = 1; id <= 3; ++id) {
        r.m_jobId = id;
        list.Append(r);
    }
    CAmpResponseToDistMngrList copy;
    copy.Copy(list);
    CAmpResponseToDistMngr out;
    ASSERT_TRUE(list.PopResponse(out));
    EXPECT_EQ(out.m_jobId, 1u);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(copy.GetCount(), 3);
    list.RemoveAll();
    EXPECT_FALSE(list.PopResponse(out));
}
