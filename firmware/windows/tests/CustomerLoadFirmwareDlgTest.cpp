// The customer's update window used as a user would: ports from a fake tty
// tree leading to the simulated boot loader, update files chosen or dropped,
// runs that succeed, fail and run again.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "FirmwareWindowTestSupport.h"
#include "firmware/windows/CustomerLoadFirmwareDlg.h"
#include "platform/core/Clock.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DropFiles.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/CustomerLoadFirmwareIds.h"
#include "testing/WindowShot.h"

using namespace fwwin;

namespace {

// The window with the protocol's pauses shortened; it can look at itself mid-run.
class TestCustomerDlg : public CCustomerLoadFirmwareDlg {
public:
    TestCustomerDlg() { GetProgrammer().SetPauseScale(0); }
    void ReportProgress(int position, CString text) override
    {
        CCustomerLoadFirmwareDlg::ReportProgress(position, text);
        if (onProgress)
            onProgress(position);
    }
    void ReportAction(CString text) override
    {
        CCustomerLoadFirmwareDlg::ReportAction(text);
        actions.push_back(text.GetString());
    }
    std::function<void(int)> onProgress;
    std::vector<std::string> actions;
};

class CustomerLoadFirmwareTest : public FirmwareWindowTest {
protected:
    static CString Text(CWnd* dialog, int id)
    {
        CString text;
        dialog->GetDlgItemText(id, text);
        return text;
    }
    static CComboBox* Ports(CWnd* d) { return static_cast<CComboBox*>(d->GetDlgItem(IDC_CFW_PORT)); }
    static bool Enabled(CWnd* d, int id) { return d->GetDlgItem(id)->IsWindowEnabled() != FALSE; }
    std::string WorkFolder() const { return dir.File("documents/Korvane/__FwUpdate"); }
    // Closes the window, keeping its status lines to look at afterwards.
    void CloseKeepingLines(TestCustomerDlg& dialog)
    {
        lines = StatusLines(dialog.GetStatusBox());
        kvtest::CloseWindow(&dialog);
    }
    std::vector<StatusLine> lines;
};

}  // namespace

TEST_F(CustomerLoadFirmwareTest, AnExportedFileLoadsAndUpdatesTheDrive)
{
    const std::string file = MakeUpdateFile("QvxUpdate_QX-100.qfu");
    TestCustomerDlg dialog;
    RecordingLink link;
    dialog.SetLinkControl(&link);
    bool shot = false;
    dialog.onProgress = [&](int position) {
        // The engine reports by time and a simulated drive is quick: the firmware stage's
        // first report is shown once more at its half to look at the bars mid-stage.
        if (!shot && dialog.GetProgress().GetFinished() > 0) {
            shot = true;
            dialog.ReportProgress(dialog.GetProgress().GetStageSize() / 2, CString());
            EXPECT_FALSE(IsDragAcceptFiles(&dialog)) << "no drops while running";
            EXPECT_FALSE(dialog.GetDlgItem(IDC_CFW_START)->IsWindowEnabled());
            EXPECT_FALSE(dialog.GetDlgItem(IDC_CFW_PORT)->IsWindowEnabled());
            EXPECT_TRUE(dialog.GetDlgItem(IDC_CFW_STAGE_BAR)->IsWindowEnabled());
            EXPECT_EQ(link.open, 0) << "the link is closed while the port is used";
            Screenshot(&dialog, "customer_firmware_running");
            dialog.ReportProgress(position, CString());
        }
    };
    kvtest::OnNextModal([&](CWnd* d) {
        EXPECT_EQ(Text(d, 0), "");
        CString title;
        d->GetWindowText(title);
        EXPECT_EQ(title, "Update Drive Firmware");
        EXPECT_FALSE(d->GetDlgItem(IDC_CFW_DEBUG)->IsWindowVisible());
        ASSERT_EQ(Ports(d)->GetCount(), 1);
        CString name;
        Ports(d)->GetLBText(0, name);
        EXPECT_EQ(name, "Drive Boot Port (ttyUSB0)");
        EXPECT_FALSE(Enabled(d, IDC_CFW_SELECT_FILE)) << "no port chosen yet";
        EXPECT_FALSE(Enabled(d, IDC_CFW_START));
        EXPECT_FALSE(Enabled(d, IDC_CFW_PART_VALUE));
        EXPECT_FALSE(Enabled(d, IDC_CFW_OPERATION));

        ASSERT_TRUE(kvtest::PickItem(Ports(d), 0));
        EXPECT_TRUE(Enabled(d, IDC_CFW_SELECT_FILE));
        EXPECT_FALSE(Enabled(d, IDC_CFW_START));
        kvtest::QueueFileDialogAnswer(file.c_str());
        kvtest::Click(d->GetDlgItem(IDC_CFW_SELECT_FILE));
        EXPECT_TRUE(dialog.IsFileLoaded());
        EXPECT_EQ(Text(d, IDC_CFW_PART_VALUE), " QX-100");
        EXPECT_EQ(Text(d, IDC_CFW_PROCESSOR_VALUE), " F28377:CPU1");
        EXPECT_TRUE(Enabled(d, IDC_CFW_START));
        EXPECT_TRUE(Enabled(d, IDC_CFW_PART_VALUE));
        Screenshot(d, "customer_firmware_loaded");

        kvtest::Click(d->GetDlgItem(IDC_CFW_START));
        ExpectFlashed(1);
        EXPECT_EQ(Text(d, IDC_CFW_STAGE_PERCENT), "100%");
        EXPECT_EQ(Text(d, IDC_CFW_OVERALL_PERCENT), "100%");
        EXPECT_TRUE(Enabled(d, IDC_CFW_START)) << "a run ends with the file still loaded";
        EXPECT_TRUE(IsDragAcceptFiles(d));
        CloseKeepingLines(dialog);
    });
    dialog.DoModal();
    EXPECT_TRUE(shot);
    EXPECT_EQ(link.calls, (std::vector<std::string>{"close", "reopen"}));
    EXPECT_FALSE(std::filesystem::exists(WorkFolder())) << "closing deletes the working folder";

    ASSERT_GE(lines.size(), 8u);
    auto line = [&](const std::string& text) {
        for (const StatusLine& l : lines)
            if (l.text == text)
                return l;
        ADD_FAILURE() << "no line " << text;
        return StatusLine{};
    };
    struct Expected {
        const char* text;
        COLORREF colour;
        int style;
    };
    const Expected expected[] = {
        {"Please select serial port...", RGB(50, 100, 240), 3},
        {"Please select firmware update file...", RGB(50, 100, 240), 3},
        {"Firmware update file loaded successfully.", RGB(0, 0, 0), 0},
        {"Click 'Start Update' when ready...", RGB(0, 200, 0), 3},
        {"Upgrading FW for drive: QX-100.", RGB(0, 0, 0), 1},
        {"Processor = F28377:CPU1.", RGB(0, 0, 255), 0},
        {"CPU1 Firmware load complete.", RGB(0, 0, 255), 0},
        {"FW update successful.", RGB(0, 0, 0), 1},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.text);
        const StatusLine l = line(e.text);
        EXPECT_EQ(l.colour, e.colour);
        EXPECT_EQ(l.style, e.style);
    }
    EXPECT_EQ(lines.back().text.rfind("Time=", 0), 0u) << lines.back().text;
    const auto boxes = Boxes();
    EXPECT_TRUE(AnyBoxHas(boxes, "Firmware update successful. Time=")) << testing::PrintToString(boxes);
}

TEST_F(CustomerLoadFirmwareTest, ProgressFiguresFollowTheStages)
{
    struct Case {
        const char* name;
        int total;
        std::vector<std::pair<char, int>> steps;  // 'B' begins a stage of n bytes, 'P' reports position n
        double stage, overall;
    };
    const Case cases[] = {
        {"first stage halfway", 1000, {{'B', 200}, {'P', 100}}, 50, 10},
        {"second stage counts the first", 1000, {{'B', 200}, {'P', 200}, {'B', 800}, {'P', 400}}, 50, 60},
        {"held at 99 until the stage ends", 1000, {{'B', 200}, {'B', 800}, {'P', 799}}, 99.875, 99},
        {"100 once the stage ends", 1000, {{'B', 200}, {'B', 800}, {'P', 800}}, 100, 100},
        {"no total file size", 1, {{'B', 500}, {'P', 1}}, 0.2, 99},
        {"no total file size, stage done", 1, {{'B', 500}, {'P', 500}}, 100, 100},
        {"an empty stage", 1000, {{'B', 0}, {'P', 10}}, 0, 1},
        {"no total", 0, {{'B', 10}, {'P', 5}}, 50, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFirmwareProgress progress;
        progress.SetTotal(c.total);
        int position = 0;
        for (const auto& [kind, n] : c.steps) {
            if (kind == 'B')
                progress.BeginStage(n, true);
            else
                position = n;
        }
        EXPECT_DOUBLE_EQ(progress.StagePercent(position), c.stage);
        EXPECT_DOUBLE_EQ(progress.OverallPercent(position), c.overall);
    }
}

TEST_F(CustomerLoadFirmwareTest, AFileWithoutPartOrTotalShowsNAAndHoldsAt99)
{
    const std::string file = MakeUpdateFile("bare.qfu", false, false);
    TestCustomerDlg dialog;
    int held = 0;
    dialog.onProgress = [&](int position) {
        CString text;
        dialog.GetDlgItemText(IDC_CFW_OVERALL_PERCENT, text);
        if (dialog.GetProgress().StagePercent(position) < 100.0) {
            EXPECT_EQ(text, "99%");
            ++held;
        } else {
            EXPECT_EQ(text, "100%");
        }
    };
    kvtest::OnNextModal([&](CWnd* d) {
        ASSERT_TRUE(kvtest::PickItem(Ports(d), 0));
        kvtest::QueueFileDialogAnswer(file.c_str());
        kvtest::Click(d->GetDlgItem(IDC_CFW_SELECT_FILE));
        EXPECT_EQ(Text(d, IDC_CFW_PART_VALUE), " N/A");
        kvtest::Click(d->GetDlgItem(IDC_CFW_START));
        CloseKeepingLines(dialog);
    });
    dialog.DoModal();
    ExpectFlashed(1);
    EXPECT_TRUE(Contains(Texts(lines), "Upgrading FW for drive: N/A."));
}

TEST_F(CustomerLoadFirmwareTest, AnInterruptedUpdateFailsClosesThePortAndRunsAgain)
{
    const std::string file = MakeUpdateFile("update.qfu");
    using F = SimulatedBootLoader::Fault;
    for (F fault : {F::DropLine, F::Stall}) {
        SCOPED_TRACE(fault == F::DropLine ? "line dropped" : "stall");
        boot.Forget();
        TestCustomerDlg dialog;
        RecordingLink link;
        dialog.SetLinkControl(&link);
        kvtest::OnNextModal([&](CWnd* d) {
            ASSERT_TRUE(kvtest::PickItem(Ports(d), 0));
            kvtest::QueueFileDialogAnswer(file.c_str());
            kvtest::Click(d->GetDlgItem(IDC_CFW_SELECT_FILE));
            const int resets = boot.Resets();
            boot.ArmFault(fault, 300);
            // A stall keeps the programmer waiting for its time-out: the clock is moved on instead.
            std::thread clockMover([&] {
                if (fault == F::Stall && WaitFor([&] { return boot.FaultStruck(); }, std::chrono::seconds(10)))
                    kvtest::SetClockOffset(60000);
            });
            kvtest::Click(d->GetDlgItem(IDC_CFW_START));
            clockMover.join();
            kvtest::SetClockOffset(0);
            EXPECT_TRUE(boot.FaultStruck());
            EXPECT_TRUE(WaitFor([&] { return boot.Resets() > resets; })) << "the port was closed";
            RelinkPort();  // a dropped line comes back under another name
            EXPECT_EQ(link.calls, (std::vector<std::string>{"close", "reopen"})) << "reopened after a failure too";
            const auto boxes = Boxes();
            EXPECT_TRUE(AnyBoxHas(boxes, "Firmware update FAILED.")) << testing::PrintToString(boxes);

            boot.Forget();
            kvtest::Click(d->GetDlgItem(IDC_CFW_START));
            ExpectFlashed(1);
            EXPECT_TRUE(AnyBoxHas(Boxes(), "Firmware update successful. Time="));
            CloseKeepingLines(dialog);
        });
        dialog.DoModal();
        bool red = false;
        for (const StatusLine& l : lines)
            red = red || (l.colour == RGB(255, 0, 0) && !l.text.empty());
        EXPECT_TRUE(red) << "the programmer's failure is a red line";
        EXPECT_TRUE(Contains(Texts(lines), "FW update failed for drive: QX-100."));
    }
}

TEST_F(CustomerLoadFirmwareTest, BadFilesAreRefusedAndTheWorkingFolderRemoved)
{
    const std::string good = MakeUpdateFile("good.qfu");
    std::string plain = dir.Read("plain.tmp");
    dir.Write("not-scrambled.qfu", plain);
    std::string magic = plain;
    magic[magic.find("QVXFWUL") + 6] = 'M';
    auto scrambled = [&](const std::string& name, const std::string& bytes) {
        dir.Write(name + ".tmp", bytes);
        EXPECT_EQ(ScrambleFile(dir.File(name + ".tmp").c_str(), dir.File(name).c_str(),
                               CSerialFlashProgrammerScript::kUpdateFileSeed, 1),
                  1);
        return dir.File(name);
    };
    std::string oversize = plain;
    const std::string kernelName = "kernel1.txt";
    const size_t at = oversize.rfind(kernelName);  // the entry's name, after the script
    ASSERT_NE(at, std::string::npos);
    // The stored length after the name, made larger than any entry may be.
    const unsigned long long huge = 20000000ULL;
    std::memcpy(&oversize[at + kernelName.size()], &huge, sizeof huge);
    const struct {
        const char* name;
        std::string path;
        const char* box;
    } cases[] = {
        {"not scrambled", dir.File("not-scrambled.qfu"), "ERROR: Not a valid Quorvex firmware update file."},
        {"wrong magic", scrambled("magic.qfu", magic), "ERROR: Not a valid Quorvex firmware update file."},
        {"truncated", scrambled("cut.qfu", plain.substr(0, plain.size() - 50)), "ERROR: Could not build temporary files."},
        {"entry over the limit", scrambled("big.qfu", oversize), "ERROR: Could not build temporary files."},
    };
    TestCustomerDlg dialog;
    kvtest::OnNextModal([&](CWnd* d) {
        ASSERT_TRUE(kvtest::PickItem(Ports(d), 0));
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            kvtest::QueueFileDialogAnswer(good.c_str());
            kvtest::Click(d->GetDlgItem(IDC_CFW_SELECT_FILE));
            ASSERT_TRUE(dialog.IsFileLoaded());
            Boxes();
            kvtest::QueueFileDialogAnswer(c.path.c_str());
            kvtest::Click(d->GetDlgItem(IDC_CFW_SELECT_FILE));
            const auto boxes = Boxes();
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_NE(boxes[0].find(c.box), std::string::npos) << boxes[0];
            EXPECT_FALSE(dialog.IsFileLoaded());
            EXPECT_FALSE(Enabled(d, IDC_CFW_START));
            EXPECT_EQ(Text(d, IDC_CFW_PART_VALUE), "");
            EXPECT_FALSE(std::filesystem::exists(WorkFolder()));
        }
        CloseKeepingLines(dialog);
    });
    dialog.DoModal();
}

TEST_F(CustomerLoadFirmwareTest, HintsOnceDropsLoadTheFirstFileAndDebugNeedsItsFlag)
{
    const std::string first = MakeUpdateFile("first.qfu");
    dir.Write("second.qfu", "not an update");
    TestCustomerDlg dialog;
    dialog.m_displayFlags = 2;
    kvtest::OnNextModal([&](CWnd* d) {
        EXPECT_TRUE(d->GetDlgItem(IDC_CFW_DEBUG)->IsWindowVisible());
        EXPECT_TRUE(kvtest::DropFiles(d, {first.c_str(), dir.File("second.qfu").c_str()}));
        EXPECT_TRUE(Boxes().empty()) << "the second file is not read";
        EXPECT_TRUE(dialog.IsFileLoaded());
        EXPECT_EQ(Ports(d)->GetCurSel(), 0) << "the first port is chosen for the user";
        EXPECT_TRUE(Enabled(d, IDC_CFW_START));
        ASSERT_TRUE(kvtest::PickItem(Ports(d), 0));
        kvtest::QueueFileDialogAnswer(first.c_str());
        kvtest::Click(d->GetDlgItem(IDC_CFW_SELECT_FILE));
        kvtest::Click(d->GetDlgItem(IDC_CFW_DEBUG));
        kvtest::Click(d->GetDlgItem(IDC_CFW_START));
        CloseKeepingLines(dialog);
    });
    dialog.DoModal();
    const auto texts = Texts(lines);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Please select serial port..."), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Please select firmware update file..."), 0)
        << "the drop gave the hint already";
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Click 'Start Update' when ready..."), 2);
    bool debug = false;
    for (const StatusLine& l : lines)
        debug = debug || (l.text == "DEBUG:OpenPort" && l.colour == RGB(255, 0, 255));
    EXPECT_TRUE(debug) << testing::PrintToString(texts);
}

TEST_F(CustomerLoadFirmwareTest, ClosingDuringARunCancelsItAndClosesAfterwards)
{
    const std::string file = MakeUpdateFile("update.qfu");
    TestCustomerDlg dialog;
    bool asked = false;
    dialog.onProgress = [&](int) {
        if (!asked) {
            asked = true;
            kvtest::CloseWindow(&dialog);
            EXPECT_TRUE(dialog.IsWindowVisible()) << "the window stays while the run returns";
            EXPECT_TRUE(std::filesystem::exists(WorkFolder())) << "the files the run reads stay";
        }
    };
    kvtest::OnNextModal([&](CWnd* d) {
        ASSERT_TRUE(kvtest::PickItem(Ports(d), 0));
        kvtest::QueueFileDialogAnswer(file.c_str());
        kvtest::Click(d->GetDlgItem(IDC_CFW_SELECT_FILE));
        kvtest::Click(d->GetDlgItem(IDC_CFW_START));
    });
    kvtest::SetModalTimeout(20000);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    kvtest::SetModalTimeout(0);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(Contains(dialog.actions, "FW update failed for drive: QX-100."));
    EXPECT_FALSE(std::filesystem::exists(WorkFolder()));
}

TEST_F(CustomerLoadFirmwareTest, WithoutADocumentsFolderTheLoadFailsAndDeletesNothing)
{
    const std::string file = MakeUpdateFile("update.qfu");
    dir.Write("blocker", "a file where the home folder should be");
    TestCustomerDlg dialog;
    kvtest::OnNextModal([&](CWnd* d) {
        setenv("KORVANE_HOME", dir.File("blocker/home").c_str(), 1);
        ASSERT_TRUE(kvtest::PickItem(Ports(d), 0));
        kvtest::QueueFileDialogAnswer(file.c_str());
        kvtest::Click(d->GetDlgItem(IDC_CFW_SELECT_FILE));
        setenv("KORVANE_HOME", dir.path().c_str(), 1);
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find("ERROR: Could not create temporary file folder."), std::string::npos);
        EXPECT_FALSE(dialog.IsFileLoaded());
        CloseKeepingLines(dialog);
    });
    dialog.DoModal();
    EXPECT_TRUE(std::filesystem::exists(dir.File("factory/kernel1.txt")));
    EXPECT_EQ(dir.Read("blocker"), "a file where the home folder should be");
}
