// The factory's programming window on parts-list fixtures: reading the list,
// choosing parts and files, programming CPU1, CPU2 and the CM against the
// simulated boot loader, cancelling, programming through our flash-update
// library, exporting for customers, saving and the closing questions.
#include <gtest/gtest.h>

#include "FirmwareWindowTestSupport.h"
#include "firmware/windows/CustomerLoadFirmwareDlg.h"
#include "controls/DPopupSelectListDlg.h"
#include "firmware/windows/LoadFirmwareDlg.h"
#include "platform/core/Profile.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/CustomerLoadFirmwareIds.h"
#include "resources/ids/LoadFirmwareIds.h"
#include "testing/WindowShot.h"

using namespace fwwin;

namespace {

class TestFactoryDlg : public CLoadFirmwareDlg {
public:
    TestFactoryDlg() { GetProgrammer().SetPauseScale(0); }
    void ReportProgress(int position, CString text) override
    {
        CLoadFirmwareDlg::ReportProgress(position, text);
        if (onProgress)
            onProgress(position);
    }
    void ReportAction(CString text) override
    {
        CLoadFirmwareDlg::ReportAction(text);
        actions.push_back(text.GetString());
    }
    void ReportError(CString text) override
    {
        CLoadFirmwareDlg::ReportError(text);
        errors.push_back(text.GetString());
    }
    std::function<void(int)> onProgress;
    std::vector<std::string> actions, errors;
};

// A section of our flash-update library's image format.
std::string LibraryImage(const std::vector<uint16_t>& words)
{
    std::string bytes = "KVFLASH1";
    auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    };
    put(1, 2);
    bytes += std::string(".text\0\0\0", 8);
    put(0x3E8000, 4);
    put(0, 2);
    put(1, 2);
    put(static_cast<uint32_t>(words.size()), 4);
    for (uint16_t w : words)
        put(w, 2);
    return bytes;
}

class LoadFirmwareTest : public FirmwareWindowTest {
protected:
    void SetUp() override
    {
        FirmwareWindowTest::SetUp();
        std::filesystem::create_directories(dir.File("prog/FactoryFlashUpdateSupportFiles"));
        const char* names[] = {"k1.txt", "k2.txt", "kcm.txt"};
        for (int cpu = 1; cpu <= 3; ++cpu)
            dir.Write(std::string("prog/FactoryFlashUpdateSupportFiles/") + names[cpu - 1],
                      fwtest::ImageText(processors[static_cast<size_t>(cpu - 1)].kernel));
        for (int cpu = 1; cpu <= 3; ++cpu)
            FirmwareFile(cpu);
        dir.Write("factory/lib.out", LibraryImage(fwtest::Words(40, 0x1234)));
        WriteList(List());
    }

    std::string List(const std::string& extra = "") const
    {
        const std::string f = dir.File("factory/firmware");
        return "[General Settings]\nALLOW_FILE_SELECT=YES\n"
               "[TI/F28M36]\nSPECIAL_FLAGS=0\nKERNEL_CPU1=k1.txt\nKERNEL_CPU2=k2.txt\nKERNEL_CM=kcm.txt\n"
               "[TI/LIBCPU]\nSPECIAL_FLAGS=8\nDRIVER_DLL=libkvflashupdate.so\nKERNEL_CPU1=k1.txt\n"
               "[TI/NOCM]\nKERNEL_CPU1=k1.txt\n"
               "[QX-300]\nPROCESSOR_TYPE=F28M36\nCPU1=+" + f + "1.txt\nCPU2=+" + f + "2.txt\nCM=+" + f + "3.txt\n"
               "[QX-LIB]\nPROCESSOR_TYPE=LIBCPU\nCPU1=+" + dir.File("factory/lib.out") + "\n"
               "[QX-NOCM]\nPROCESSOR_TYPE=NOCM\nCPU1=+" + f + "1.txt\nCM=+" + f + "3.txt\n" + extra;
    }
    void WriteList(const std::string& text)
    {
        dir.Write("flash_updates.ini", text);
        AfxWriteProfileString(CLoadFirmwareDlg::kProfileSection, CLoadFirmwareDlg::kProfileEntry,
                              dir.File("flash_updates.ini").c_str());
    }
    void Prepare(TestFactoryDlg& dialog, const char* part, bool port = true)
    {
        dialog.m_programFolder = (dir.path() + "/prog/").c_str();
        dialog.m_partNumber = part;
        if (port)
            dialog.m_portName = (tree->deviceFolder() + "/ttyUSB0").c_str();
        dialog.SetLinkControl(&link);
    }
    // Starts a run of the part and closes the window once it ended.
    void StartAndClose(TestFactoryDlg& dialog, const char* part)
    {
        Prepare(dialog, part);
        kvtest::OnNextModal([&](CWnd* d) {
            kvtest::Click(d->GetDlgItem(IDC_FW_START));
            kvtest::CloseWindow(d);
        });
        dialog.DoModal();
    }
    static bool Enabled(CWnd* d, int id) { return d->GetDlgItem(id)->IsWindowEnabled() != FALSE; }
    static CString Text(CWnd* d, int id)
    {
        CString text;
        d->GetDlgItemText(id, text);
        return text;
    }
    static void ChoosePart(CWnd* d, const char* part)
    {
        CWnd* edit = d->GetDlgItem(IDC_FW_PART);
        kvtest::TypeText(edit, "");
        edit->SetWindowText(part);
        AfxPumpMessages();
        kvtest::PressKey(edit, VK_ESCAPE);  // closes the list that typing opened
        AfxPumpMessages();
        kvtest::PressKey(edit, VK_RETURN);
        AfxPumpMessages();
    }

    RecordingLink link;
};

}  // namespace

TEST_F(LoadFirmwareTest, PartsListReadErrorsAreShownOnOpening)
{
    struct Case {
        const char* name;
        std::string text;  // empty: no file
        const char* box;
    };
    const Case cases[] = {
        {"missing", "", "ERROR: Could not fine ini file"},
        {"no sections", "just text\n", "ERROR: Invalid ini file"},
        {"bad CPU value", List("[QX-9]\nPROCESSOR_TYPE=F28M36\nCPU2=*x\n"), "ERROR: + or - expected in [QX-9] CPU2."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.text.empty()) {
            AfxWriteProfileString(CLoadFirmwareDlg::kProfileSection, CLoadFirmwareDlg::kProfileEntry,
                                  dir.File("gone.ini").c_str());
            kvtest::QueueFileDialogAnswer("");
        } else {
            WriteList(c.text);
        }
        TestFactoryDlg dialog;
        Prepare(dialog, "QX-300");
        kvtest::OnNextModal([&](CWnd* d) { kvtest::CloseWindow(d); });
        dialog.DoModal();
        const auto boxes = Boxes();
        ASSERT_FALSE(boxes.empty());
        EXPECT_NE(boxes[0].find(c.box), std::string::npos) << boxes[0];
        EXPECT_NE(boxes[0].find("\r\nCould not load firmware information."), std::string::npos) << boxes[0];
    }
}

TEST_F(LoadFirmwareTest, AMissingPartsListIsAskedForAndKeptInTheProfile)
{
    AfxWriteProfileString(CLoadFirmwareDlg::kProfileSection, CLoadFirmwareDlg::kProfileEntry, "");
    kvtest::QueueFileDialogAnswer(dir.File("flash_updates.ini").c_str());
    TestFactoryDlg dialog;
    Prepare(dialog, "QX-300");
    kvtest::OnNextModal([&](CWnd* d) {
        EXPECT_EQ(Text(d, IDC_FW_PART), "QX-300");
        kvtest::CloseWindow(d);
    });
    dialog.DoModal();
    EXPECT_EQ(AfxGetProfileString("FWPROGRAMMING", "inipath", ""), dir.File("flash_updates.ini").c_str());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LoadFirmwareTest, ControlsAreEnabledByPartProcessorFilesAndPort)
{
    WriteList(List("[QX-GONE]\nPROCESSOR_TYPE=F28M36\nCPU1=+" + dir.File("factory/gone.txt") + "\nCPU2=-\n"));
    struct Case {
        const char* part;
        bool port;
        bool start, exportFile, save, cm;
    };
    const Case cases[] = {
        {"QX-300", true, true, true, true, true},
        {"QX-300", false, false, true, true, true},
        {"QX-NOCM", true, true, true, true, false},
        {"", true, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.part) + (c.port ? " with port" : " without port"));
        TestFactoryDlg dialog;
        Prepare(dialog, c.part, c.port);
        kvtest::OnNextModal([&](CWnd* d) {
            EXPECT_EQ(Enabled(d, IDC_FW_START), c.start);
            EXPECT_EQ(Enabled(d, IDC_FW_EXPORT), c.exportFile);
            EXPECT_EQ(Enabled(d, IDC_FW_SAVE), c.save);
            EXPECT_EQ(Enabled(d, IDC_FW_CM), c.cm);
            if (std::string(c.part) == "QX-NOCM") {
                EXPECT_FALSE(d->IsDlgButtonChecked(IDC_FW_CM)) << "no CM kernel: cleared";
            }
            EXPECT_FALSE(d->GetDlgItem(IDC_FW_BAUD)->IsWindowVisible());
            kvtest::CloseWindow(d);
        });
        dialog.DoModal();
    }

    TestFactoryDlg dialog;
    Prepare(dialog, "QX-GONE");
    kvtest::OnNextModal([&](CWnd* d) {
        EXPECT_EQ(Text(d, IDC_FW_CPU1_FILE), "<please select file>");
        EXPECT_TRUE(Enabled(d, IDC_FW_CPU1_BROWSE));
        EXPECT_TRUE(Enabled(d, IDC_FW_START)) << "a text stands there";
        kvtest::Click(d->GetDlgItem(IDC_FW_START));
        EXPECT_EQ(dialog.errors, std::vector<std::string>{"Please select a firmware source file for CPU1."});
        AfxQueueScriptedAnswer(IDYES);
        kvtest::Click(d->GetDlgItem(IDC_FW_SAVE));
        EXPECT_TRUE(AnyBoxHas(Boxes(), "Part settings saved."));
        ChoosePart(d, "QX-300");
        EXPECT_EQ(Text(d, IDC_FW_CPU2_FILE), dir.File("factory/firmware2.txt").c_str());
        EXPECT_EQ(dialog.GetFileTip(kCpu2), dir.File("factory/firmware2.txt").c_str());
        kvtest::CloseWindow(d);
    });
    dialog.DoModal();
    EXPECT_NE(dir.Read("flash_updates.ini").find("CPU1=+" + dir.File("factory/gone.txt")), std::string::npos)
        << "a missing file is written back as read";
}

TEST_F(LoadFirmwareTest, ProgramsCpu1Cpu2AndTheCm)
{
    TestFactoryDlg dialog;
    Prepare(dialog, "QX-300");
    bool shot = false;
    dialog.onProgress = [&](int position) {
        if (!shot && dialog.GetProgress().GetFinished() > 0 && dialog.GetProgress().GetStageSize() > 1000) {
            shot = true;
            EXPECT_EQ(link.open, 0);
            EXPECT_FALSE(dialog.GetDlgItem(IDC_FW_PORT)->IsWindowEnabled());
            // The engine reports by time and the simulated drive is quick: half the stage is shown to look at.
            dialog.ReportProgress(dialog.GetProgress().GetStageSize() / 2, CString());
            Screenshot(&dialog, "factory_firmware_running");
            dialog.ReportProgress(position, CString());
        }
    };
    kvtest::OnNextModal([&](CWnd* d) {
        CString title;
        d->GetWindowText(title);
        EXPECT_EQ(title, "Program Drive Firmware");
        EXPECT_EQ(Text(d, IDC_FW_PART), "QX-300");
        EXPECT_EQ(static_cast<CComboBox*>(d->GetDlgItem(IDC_FW_PORT))->GetCurSel(), 0);
        Screenshot(d, "factory_firmware_open");
        kvtest::Click(d->GetDlgItem(IDC_FW_START));
        kvtest::CloseWindow(d);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    for (int cpu = 1; cpu <= 3; ++cpu)
        ExpectFlashed(cpu);
    ASSERT_FALSE(dialog.actions.empty());
    EXPECT_EQ(dialog.actions.front(), "Programming Flash for F28M36");
    EXPECT_EQ(dialog.actions.back().rfind("Firmware load SUCCESSFUL. Time=", 0), 0u) << dialog.actions.back();
    EXPECT_TRUE(dialog.errors.empty()) << testing::PrintToString(dialog.errors);
    const auto boxes = Boxes();
    EXPECT_TRUE(AnyBoxHas(boxes, "Please reset hardware manually then click OK to continue"));
    EXPECT_TRUE(AnyBoxHas(boxes, "Firmware load completed successfully. Time = "));
    EXPECT_EQ(link.calls, (std::vector<std::string>{"close", "reopen"}));
    EXPECT_EQ(dialog.m_partNumber, "QX-300");
    EXPECT_EQ(dialog.m_portName, (tree->deviceFolder() + "/ttyUSB0").c_str());
}

TEST_F(LoadFirmwareTest, EscapeWithYesCancelsTheRunAndCloseIsRefusedMeanwhile)
{
    TestFactoryDlg dialog;
    Prepare(dialog, "QX-300");
    bool asked = false;
    dialog.onProgress = [&](int) {
        if (asked)
            return;
        asked = true;
        kvtest::CloseWindow(&dialog);
        EXPECT_TRUE(dialog.IsWindowVisible());
        AfxQueueScriptedAnswer(IDYES);
        kvtest::PressKey(&dialog, VK_ESCAPE);
    };
    kvtest::OnNextModal([&](CWnd* d) {
        kvtest::Click(d->GetDlgItem(IDC_FW_START));
        EXPECT_TRUE(d->IsWindowVisible()) << "Escape never closes the window";
        kvtest::PressKey(d, VK_ESCAPE);
        EXPECT_TRUE(d->IsWindowVisible());
        kvtest::CloseWindow(d);
    });
    dialog.DoModal();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(Contains(dialog.actions, "Aborted by user."));
    const auto boxes = Boxes();
    EXPECT_TRUE(AnyBoxHas(boxes, "Firmware load in progress.  Please cancel before closing."));
    EXPECT_TRUE(AnyBoxHas(boxes, "Cancel firmware load in progress?"));
    EXPECT_TRUE(AnyBoxHas(boxes, "Firmware load cancelled.  Be sure to reset drive before attempting another firmware load."));
    EXPECT_EQ(link.calls, (std::vector<std::string>{"close", "reopen"}));
}

TEST_F(LoadFirmwareTest, SpecialFlag8ProgramsThroughOurLibrary)
{
    TestFactoryDlg dialog;
    StartAndClose(dialog, "QX-LIB");
    EXPECT_TRUE(dialog.errors.empty()) << testing::PrintToString(dialog.errors);
    ASSERT_FALSE(dialog.actions.empty());
    EXPECT_EQ(dialog.actions.back().rfind("Firmware load SUCCESSFUL.", 0), 0u) << dialog.actions.back();
    EXPECT_TRUE(boot.Kernel(1).empty()) << "the boot loader was not used";
}

TEST_F(LoadFirmwareTest, AFlashLibraryThatCannotBeFoundIsNamedOnceAndTheRunStops)
{
    WriteList(List("[TI/NOLIB]\nSPECIAL_FLAGS=8\nDRIVER_DLL=libkvnosuchflash.so\nKERNEL_CPU1=k1.txt\n"
                   "[QX-NOLIB]\nPROCESSOR_TYPE=NOLIB\nCPU1=+" + dir.File("factory/lib.out") + "\n"));
    TestFactoryDlg dialog;
    StartAndClose(dialog, "QX-NOLIB");
    ASSERT_EQ(dialog.errors.size(), 1u) << testing::PrintToString(dialog.errors);
    EXPECT_NE(dialog.errors[0].find("Could not find the flash update library \"libkvnosuchflash.so\""),
              std::string::npos) << dialog.errors[0];
    const auto boxes = Boxes();
    EXPECT_TRUE(AnyBoxHas(boxes, "libkvnosuchflash.so")) << testing::PrintToString(boxes);
    EXPECT_FALSE(AnyBoxHas(boxes, "check all connections")) << testing::PrintToString(boxes);
}

TEST_F(LoadFirmwareTest, ExportForCustomerWritesAnUpdateTheCustomerWindowRuns)
{
    TestFactoryDlg dialog;
    Prepare(dialog, "QX-300");
    const std::string exported = dir.File("QvxUpdate_QX-300.qfu");
    kvtest::OnNextModal([&](CWnd* d) {
        kvtest::Click(d->GetDlgItem(IDC_FW_CPU2));
        EXPECT_TRUE(dialog.IsChanged());
        kvtest::QueueFileDialogAnswer(exported.c_str());
        kvtest::Click(d->GetDlgItem(IDC_FW_EXPORT));
        AfxQueueScriptedAnswer(IDNO);
        kvtest::CloseWindow(d);
    });
    dialog.DoModal();
    const auto boxes = Boxes();
    EXPECT_TRUE(AnyBoxHas(boxes, "Firmware upgrade successfully exported to file: \"" + exported + "\"."))
        << testing::PrintToString(boxes);
    EXPECT_FALSE(std::filesystem::exists(dir.File("__TEMPQFU.tmp")));
    EXPECT_EQ(dir.Read("QvxUpdate_QX-300.qfu").find("QVXFWUL"), std::string::npos) << "scrambled";

    class Customer : public CCustomerLoadFirmwareDlg {
    public:
        Customer() { GetProgrammer().SetPauseScale(0); }
    } customer;
    kvtest::OnNextModal([&](CWnd* d) {
        ASSERT_TRUE(kvtest::PickItem(d->GetDlgItem(IDC_CFW_PORT), 0));
        kvtest::QueueFileDialogAnswer(exported.c_str());
        kvtest::Click(d->GetDlgItem(IDC_CFW_SELECT_FILE));
        EXPECT_EQ(Text(d, IDC_CFW_PART_VALUE), " QX-300");
        EXPECT_EQ(Text(d, IDC_CFW_PROCESSOR_VALUE), " F28M36:CPU1,CM");
        kvtest::Click(d->GetDlgItem(IDC_CFW_START));
        kvtest::CloseWindow(d);
    });
    customer.DoModal();
    ExpectFlashed(1);
    ExpectFlashed(3);
    EXPECT_TRUE(boot.Kernel(2).empty());
    const auto customerBoxes = Boxes();
    EXPECT_TRUE(AnyBoxHas(customerBoxes, "Please reset hardware manually then click OK to continue"));
    EXPECT_TRUE(AnyBoxHas(customerBoxes, "Firmware update successful. Time="));
}

TEST_F(LoadFirmwareTest, AFailedExportKeepsTheEarlierFile)
{
    dir.Write("QvxUpdate_QX-300.qfu", "earlier");
    std::filesystem::remove(dir.File("factory/firmware3.txt"));
    TestFactoryDlg dialog;
    Prepare(dialog, "QX-300");
    WriteList(List());
    kvtest::OnNextModal([&](CWnd* d) {
        EXPECT_EQ(Text(d, IDC_FW_CM_FILE), "<please select file>");
        kvtest::QueueFileDialogAnswer(dir.File("QvxUpdate_QX-300.qfu").c_str());
        kvtest::Click(d->GetDlgItem(IDC_FW_EXPORT));
        kvtest::CloseWindow(d);
    });
    dialog.DoModal();
    EXPECT_TRUE(dir.Read("QvxUpdate_QX-300.qfu") == "earlier");
    EXPECT_TRUE(AnyBoxHas(Boxes(), "\nFailed to export file."));
    EXPECT_FALSE(std::filesystem::exists(dir.File("__TEMPQFU.tmp")));
}

TEST_F(LoadFirmwareTest, NewPartsSavingAndTheClosingQuestions)
{
    TestFactoryDlg dialog;
    Prepare(dialog, "QX-300");
    kvtest::OnNextModal([&](CWnd* d) {
        AfxQueueScriptedAnswer(IDNO);
        ChoosePart(d, "QX-NEW");
        EXPECT_EQ(Text(d, IDC_FW_PART), "QX-300") << "No keeps the shown part";
        EXPECT_FALSE(dialog.IsChanged());
        AfxQueueScriptedAnswer(IDYES);
        ChoosePart(d, "QX-NEW");
        EXPECT_TRUE(dialog.IsChanged());
        EXPECT_EQ(dialog.GetPartsList().FindPart("QX-NEW")->m_processorName, "F28M36");

        AfxQueueScriptedAnswer(IDCANCEL);
        kvtest::CloseWindow(d);
        EXPECT_TRUE(d->IsWindowVisible()) << "Cancel keeps the window";

        AfxQueueScriptedAnswer(IDYES);
        kvtest::Click(d->GetDlgItem(IDC_FW_SAVE));
        EXPECT_FALSE(dialog.IsChanged());
        ChoosePart(d, "QX-300");
        kvtest::Click(d->GetDlgItem(IDC_FW_CPU2));
        // A folder where the list should be: the save fails (tests may run as root, past any permission).
        const std::string ini = dir.File("flash_updates.ini");
        std::filesystem::rename(ini, ini + ".kept");
        std::filesystem::create_directory(ini);
        AfxQueueScriptedAnswer(IDYES);
        kvtest::CloseWindow(d);
        std::filesystem::remove(ini);
        std::filesystem::rename(ini + ".kept", ini);
        EXPECT_TRUE(d->IsWindowVisible()) << "a failed save keeps the changes in the window";
        AfxQueueScriptedAnswer(IDNO);
        kvtest::CloseWindow(d);
    });
    dialog.DoModal();
    const auto boxes = Boxes();
    EXPECT_TRUE(AnyBoxHas(boxes, "Add new part # QX-NEW?"));
    EXPECT_TRUE(AnyBoxHas(boxes, "Save settings to \"" + dir.File("flash_updates.ini") + "\"?"));
    EXPECT_TRUE(AnyBoxHas(boxes, "Part settings saved."));
    EXPECT_TRUE(AnyBoxHas(boxes, "Save changes to settings?"));
    EXPECT_TRUE(AnyBoxHas(boxes, "ERROR: Could not save to ini file."));
    const std::string list = dir.Read("flash_updates.ini");
    EXPECT_NE(list.find("[QX-NEW]"), std::string::npos);
    EXPECT_NE(list.find("CPU2=+"), std::string::npos) << "the unsaved change was not written";
    EXPECT_EQ(dialog.m_partNumber, "QX-300");
}

TEST_F(LoadFirmwareTest, ThePartListFiltersByAnyPartOfTheNumberInAnyCase)
{
    TestFactoryDlg dialog;
    Prepare(dialog, "");
    kvtest::OnNextModal([&](CWnd* d) {
        auto* edit = dynamic_cast<CDPopupSelectListEditCtrl*>(d->GetDlgItem(IDC_FW_PART));
        ASSERT_NE(edit, nullptr);
        kvtest::Click(d->GetDlgItem(IDC_FW_PART_LIST));
        ASSERT_NE(edit->GetPopup(), nullptr) << "the arrow opens the list";
        CListCtrl& all = edit->GetPopup()->GetList();
        ASSERT_EQ(all.GetItemCount(), 3);
        EXPECT_EQ(all.GetItemText(0, 0), "QX-300") << "sorted";
        EXPECT_EQ(all.GetItemText(2, 0), "QX-NOCM");
        edit->ClosePopup();
        EXPECT_TRUE(dialog.UsesCustomFilter());
        EXPECT_TRUE(dialog.MatchesFilter("QX-NOCM", "nOc"));
        EXPECT_TRUE(dialog.MatchesFilter("QX-NOCM", "qx-"));
        EXPECT_FALSE(dialog.MatchesFilter("QX-300", "noc"));
        kvtest::CloseWindow(d);
    });
    dialog.DoModal();
}
