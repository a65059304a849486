// The two link test windows headless: the communication test window on the
// demo link, the multi-drop test against a simulated serial line on a pty.
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "comm/link/CommManager.h"
#include "comm/protocol/AmpCommand.h"
#include "comm/windows/MultiDropCommTestDlg.h"
#include "comm/windows/QvxCommTestDlg.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "framework/tests/TestFrame.h"
#include "platform/core/IniFile.h"
#include "platform/core/MessageBox.h"
#include "platform/io/SerialPortEnum.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/DemoEngine.h"
#include "testing/FakeTtyTree.h"
#include "testing/SimulatedSerialDrive.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"
#include "testing/WaitFor.h"
#include "testing/WindowShot.h"

namespace {

constexpr const char* kCommTestName = "COMMTEST";

CString Text(CWnd* dlg, int id)
{
    CString text;
    dlg->GetDlgItemText(id, text);
    return text;
}

void Type(CWnd* dlg, int id, const char* text)
{
    dlg->SetDlgItemText(id, "");
    kvtest::TypeText(dlg->GetDlgItem(id), text);
}

class CommTestDlgTest : public ::testing::Test, protected DemoEngine {
protected:
    void SetUp() override
    {
        Open();
        CQvxCommTestDlg::SetCommManager(&m_comm);
        m_frame.m_registry.RegisterGui(kCommTestName, RUNTIME_CLASS(CQvxCommTestDlg), kFamilyKreln | kFamilyTavro, 0);
        m_frame.StartTicking();
        AfxTakeScriptedMessageLog();
    }
    void TearDown() override
    {
        m_frame.StopTicking();
        m_frame.DestroyAllWindows();
        CQvxCommTestDlg::SetCommManager(nullptr);
        Close();
    }
    LONG Model(int address, const char* mnemonic) { return DemoEngine::Model(address, static_cast<WORD>(MnemonicToCode(mnemonic))); }
    static bool Wait(const std::function<bool()>& condition) { return AfxPumpMessagesUntil(condition, 10000); }
    static bool LogHas(CQvxCommTestDlg* dlg, const char* text) { return dlg->GetLog().Find(text) >= 0; }

    TestFrame m_frame;
};

}  // namespace

TEST(CommTestSplit, MnemonicEndsAtTheFirstValueCharacter)
{
    const struct {
        const char* text;
        const char* mnemonic;
        LONG value;
    } cases[] = {{"VRM2", "VRM", 2}, {"EN", "EN", 0}, {"CS -5", "CS", -5}, {"PTA 12", "PTA", 12}};
    for (const auto& c : cases) {
        CString mnemonic;
        LONG value = 99;
        CQvxCommTestDlg::SplitMnemonicValue(c.text, "-0123456789 ", mnemonic, value);
        EXPECT_EQ(mnemonic, c.mnemonic) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST_F(CommTestDlgTest, SendsReadsWritesAndBlocksAndLogsTheReplies)
{
    auto* dlg = static_cast<CQvxCommTestDlg*>(m_frame.m_registry.CreateGui(kCommTestName, nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Text(dlg, CQvxCommTestDlg::kLinkTextId) == "DEMO Drive"; }));
    ASSERT_EQ(dlg->GetDrive(), 1);

    Type(dlg, CQvxCommTestDlg::kMnemonicEditId, "ver");
    kvtest::Click(dlg->GetDlgItem(CQvxCommTestDlg::kGetId));
    ASSERT_TRUE(Wait([&] { return LogHas(dlg, "Cmd = VER; adr = 1; param = 416; time Sent = "); }));
    EXPECT_TRUE(LogHas(dlg, "System time Sent "));
    EXPECT_TRUE(std::regex_search(dlg->GetLog().GetString(), std::regex("CMtimeStamp = \\d+ \\r\\n")));

    Type(dlg, CQvxCommTestDlg::kSetEditId, "vrm2");
    kvtest::Click(dlg->GetDlgItem(CQvxCommTestDlg::kSetId));
    // The drive's echo carries the value that went out.
    ASSERT_TRUE(Wait([&] { return LogHas(dlg, "Cmd = VRM; adr = 1; param = 2;"); }));
    Type(dlg, CQvxCommTestDlg::kSetEditId, "en");
    kvtest::Click(dlg->GetDlgItem(CQvxCommTestDlg::kSetId));
    ASSERT_TRUE(Wait([&] { return LogHas(dlg, "Cmd = EN; adr = 1; param = 0;"); }));

    Type(dlg, CQvxCommTestDlg::kAddressEditId, "2");
    kvtest::Click(dlg->GetDlgItem(CQvxCommTestDlg::kGetFromAddressId));
    ASSERT_TRUE(Wait([&] { return LogHas(dlg, "Cmd = VER; adr = 2; param = 510;"); }));
    Type(dlg, CQvxCommTestDlg::kAddressEditId, "26");
    kvtest::Click(dlg->GetDlgItem(CQvxCommTestDlg::kGetFromAddressId));
    const auto boxes = AfxTakeScriptedMessageLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Find("between 0 and 25"), -1);

    // A combined read: CS read with a sub-command; the log gets its line.
    Type(dlg, CQvxCommTestDlg::kMnemonicEditId, "CS");
    Type(dlg, CQvxCommTestDlg::kSetEditId, "VRM 2");
    const int before = dlg->GetLog().GetLength();
    kvtest::Click(dlg->GetDlgItem(CQvxCommTestDlg::kSendComboId));
    ASSERT_TRUE(Wait([&] { return dlg->GetLog().GetLength() > before; }));

    // A raw block writes CS = 5 on drive 2 verbatim.
    const int cs = MnemonicToCode("CS");
    CString block;
    block.Format("22%02x%02x05dd", cs >> 8, cs & 0xFF);
    Type(dlg, CQvxCommTestDlg::kBlockEditId, block);
    kvtest::Click(dlg->GetDlgItem(CQvxCommTestDlg::kSendBlockId));
    ASSERT_TRUE(Wait([&] { return Model(2, "CS") == 5; }));
    Type(dlg, CQvxCommTestDlg::kBlockEditId, "zz");
    kvtest::Click(dlg->GetDlgItem(CQvxCommTestDlg::kSendBlockId));
    EXPECT_TRUE(LogHas(dlg, "ERROR: The outgoing block is not hexadecimal text."));
    Screenshot(dlg, "comm-test");

    kvtest::Click(dlg->GetDlgItem(CQvxCommTestDlg::kClearId));
    EXPECT_TRUE(dlg->GetLog().IsEmpty());
    EXPECT_EQ(Text(dlg, CQvxCommTestDlg::kLogEditId), "");
}

namespace {

constexpr int kRegister = 0x35E4;

class MultiDropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.ok());
        app.m_iniPath = home.File("kvsettings.ini");
        tree.AddPort("ttyUSB0", line.portPath());
        CSerialPortEnumerator::SetRoots(tree.classFolder().c_str(), tree.deviceFolder().c_str());
        line.AddDrive(1, 416);
        line.SetRegister(1, kRegister, 1, 1);
        line.Start();
        AfxTakeScriptedMessageLog();
        ASSERT_TRUE(dlg.Create(CMultiDropCommTestDlg::IDD, nullptr));
        dlg.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        if (dlg.GetSafeHwnd())
            dlg.DestroyWindow();
        line.Stop();
        CSerialPortEnumerator::SetRoots("", "");
    }
    // Clicks a button of the window from a helper thread once the line has seen enough requests.
    std::thread ClickWhen(int requests, UINT message, int id)
    {
        return std::thread([this, requests, message, id] {
            WaitFor([&] { return line.RequestCount() >= requests; }, std::chrono::seconds(20));
            dlg.PostMessage(message, id, 0);
        });
    }
    CString Setting(const char* key)
    {
        char text[300] = {};
        GetPrivateProfileString("SerialTest", key, "<none>", text, sizeof text, app.m_iniPath.c_str());
        return text;
    }

    TempDir home;
    TestAppServices app;
    FakeTtyTree tree{home.path() + "/sys"};
    SimulatedSerialDrive line;
    CMultiDropCommTestDlg dlg;
};

}  // namespace

TEST(MultiDropFrames, TheCheckByteGoesWhereTheHeadersWidthPutsIt)
{
    std::vector<BYTE> request = {0x03, 0x35, 0xE4, 0xFC, 0xFF, 0xFF, 0xFF, 0xFF};
    CMultiDropCommTestDlg::SetFrameAddress(request, 1, false);
    EXPECT_EQ(request, (std::vector<BYTE>{0x01, 0x35, 0xE4, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}));
    std::vector<BYTE> answer = {0x23, 0x67, 0x01, 0xDC};
    CMultiDropCommTestDlg::SetFrameAddress(answer, 1, true);
    EXPECT_EQ(answer, (std::vector<BYTE>{0x21, 0x67, 0x01, 0xDE}));
    std::vector<BYTE> shortOne = {0x83, 0x01};  // width 4 but two bytes: the last byte
    CMultiDropCommTestDlg::SetFrameAddress(shortOne, 2, false);
    EXPECT_EQ(shortOne, (std::vector<BYTE>{0x82, 0x7D}));
    EXPECT_EQ(FormatHexBytes(answer.data(), 4), "216701de");
}

TEST_F(MultiDropTest, OpensWithTheDefaultsAndComEntriesMapToTheEnumeratedPorts)
{
    auto* com = static_cast<CComboBox*>(dlg.GetDlgItem(CMultiDropCommTestDlg::kComComboId));
    ASSERT_EQ(com->GetCount(), 256);
    CString text;
    com->GetLBText(255, text);
    EXPECT_EQ(text, "COM256");
    EXPECT_EQ(com->GetCurSel(), 0);
    EXPECT_EQ(static_cast<CComboBox*>(dlg.GetDlgItem(CMultiDropCommTestDlg::kDriveComboId))->GetCurSel(), 1);
    EXPECT_EQ(Text(&dlg, CMultiDropCommTestDlg::kTxEditId), "0335e4fcffffffff");
    EXPECT_EQ(Text(&dlg, CMultiDropCommTestDlg::kRxEditId), "236701dc");
    EXPECT_EQ(CMultiDropCommTestDlg::DevicePathOf(1), (tree.deviceFolder() + "/ttyUSB0").c_str());
    EXPECT_EQ(CMultiDropCommTestDlg::DevicePathOf(3), "/dev/ttyS2");
}

TEST_F(MultiDropTest, RunsCountsAndStopsOnTheStopButton)
{
    std::thread stopper = ClickWhen(25, WM_COMMAND, CMultiDropCommTestDlg::kStopId);
    kvtest::Click(dlg.GetDlgItem(CMultiDropCommTestDlg::kStartId));
    stopper.join();
    EXPECT_FALSE(dlg.IsTestRunning());
    const CString log = Text(&dlg, CMultiDropCommTestDlg::kLogId);
    EXPECT_EQ(log.Find("*** Test Started\r\n"), 0);
    EXPECT_NE(log.Find("*** Test Stopped\r\n"), -1);
    EXPECT_EQ(log.Find("Failed"), -1);
    EXPECT_TRUE(std::regex_match(Text(&dlg, CMultiDropCommTestDlg::kCounterId).GetString(),
                                 std::regex("Count=[1-9][0-9]*0, Avg MS=[0-9]+, Max MS=[0-9]+")))
        << Text(&dlg, CMultiDropCommTestDlg::kCounterId);
    const auto requests = line.TakeRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0], (std::vector<uint8_t>{0x01, 0x35, 0xE4, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Setting("TXData"), "0335e4fcffffffff") << "the settings were saved at the start";
    Screenshot(&dlg, "multi-drop-running");
}

TEST_F(MultiDropTest, MismatchAndTimeoutAreLoggedAndTallied)
{
    line.SetRegister(1, kRegister, 2, 1);
    kvtest::Click(dlg.GetDlgItem(CMultiDropCommTestDlg::kStartId));
    CString log = Text(&dlg, CMultiDropCommTestDlg::kLogId);
    EXPECT_NE(log.Find("#001 ("), -1);
    EXPECT_NE(log.Find("ms): [TX=0135e4feffffffff] Failed after 1 cycles- Mismatch Error\r\n"
                       "RX Expected:216701de(4 bytes) Rx Actual:216702de(4 bytes) (t="),
              -1)
        << log;
    EXPECT_NE(log.Find("-------------------------\r\n*** Test Stopped\r\n"), -1);
    EXPECT_EQ(Text(&dlg, CMultiDropCommTestDlg::kCounterId), "Count=1");

    line.drive(1).silent = true;
    kvtest::Click(dlg.GetDlgItem(CMultiDropCommTestDlg::kStartId));
    log = Text(&dlg, CMultiDropCommTestDlg::kLogId);
    std::cmatch match;
    ASSERT_TRUE(std::regex_search(log.GetString(), match,
                                  std::regex("#002 \\(\\d+ ms\\): \\[TX=0135e4feffffffff\\] Failed after 1 cycles- "
                                             "Timeout Error\\r\\nRX Expected:216701de\\(4 bytes\\) Rx Actual:\\(0 "
                                             "bytes\\) \\(t=(\\d+) ms")))
        << log;
    EXPECT_GE(std::stoi(match[1].str()), CMultiDropCommTestDlg::kTimeoutMs) << "the wait, not a stale time";
    EXPECT_EQ(Text(&dlg, CMultiDropCommTestDlg::kFailureListId),
              "TX=0135e4feffffffff, RXExpected=216701de:\r\n - 1\r\n216702de - 1\r\n-----------------------------\r\n");
    Screenshot(&dlg, "multi-drop-failures");
}

TEST_F(MultiDropTest, InvalidHexStopsBeforeAnythingIsSent)
{
    for (const char* bad : {"", "zz01", "123"}) {
        dlg.SetDlgItemText(CMultiDropCommTestDlg::kTxEditId, bad);
        kvtest::Click(dlg.GetDlgItem(CMultiDropCommTestDlg::kStartId));
    }
    dlg.SetDlgItemText(CMultiDropCommTestDlg::kTxEditId, "0335e4fcffffffff");
    dlg.SetDlgItemText(CMultiDropCommTestDlg::kRxEditId, CString('a', 510));
    kvtest::Click(dlg.GetDlgItem(CMultiDropCommTestDlg::kStartId));
    const CString log = Text(&dlg, CMultiDropCommTestDlg::kLogId);
    EXPECT_EQ(log, "*** Invalid hexadecimal data in TX or Expected RX\r\n"
                   "*** Invalid hexadecimal data in TX or Expected RX\r\n"
                   "*** Invalid hexadecimal data in TX or Expected RX\r\n"
                   "*** Invalid hexadecimal data in TX or Expected RX\r\n");
    EXPECT_EQ(line.RequestCount(), 0);
}

TEST_F(MultiDropTest, ClosingDuringATestStopsItAndKeepsTheSettings)
{
    dlg.SetDlgItemText(CMultiDropCommTestDlg::kRxEditId, "236701dc");
    kvtest::PickItem(dlg.GetDlgItem(CMultiDropCommTestDlg::kDriveComboId), 1);
    dlg.CheckDlgButton(CMultiDropCommTestDlg::kContinuousId, 1);
    std::thread closer = ClickWhen(5, WM_CLOSE, 0);
    kvtest::Click(dlg.GetDlgItem(CMultiDropCommTestDlg::kStartId));
    closer.join();
    EXPECT_FALSE(dlg.GetSafeHwnd()) << "closed once the test had ended";
    EXPECT_EQ(Setting("ExpectedRXData"), "236701dc");
    EXPECT_EQ(Setting("RunContinuously"), "1");
    EXPECT_EQ(Setting("DriveAddr"), "1");
    EXPECT_EQ(Setting("COMPort"), "1");
}
