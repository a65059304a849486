// The interface chooser headless: serial ports from a fake tree of ptys,
// network modules from a discovery poll on loopback, and OK opening the
// chosen link through a stand-in for the main window.
#include <gtest/gtest.h>

#include <vector>

#include "comm/link/CommManager.h"
#include "comm/link/LinkPortFactory.h"
#include "comm/windows/CommInterfaceHost.h"
#include "comm/windows/SelectCommInterfaceDlg.h"
#include "framework/GuiTutorialOpener.h"
#include "platform/core/IniFile.h"
#include "platform/core/MessageBox.h"
#include "platform/io/Serial.h"
#include "platform/io/SerialPortEnum.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/FakeTtyTree.h"
#include "testing/PtyPair.h"
#include "testing/SimulatedNetworkModule.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"
#include "testing/WindowShot.h"

namespace {

// The main window as the chooser sees it: it opens the link on a real manager.
class FrameStandIn : public CCommInterfaceHost {
public:
    explicit FrameStandIn(CCommManager& manager) : m_manager(manager) {}
    void CloseCommunication() override
    {
        ++m_closes;
        m_manager.CloseCommunications();
    }
    int OpenCommunication(const CCommLinkSettings& settings) override
    {
        m_settings = settings;
        ++m_opens;
        return m_manager.OpenCommunications(settings);
    }
    void SetInterfaceChooserOpen(bool open) override { m_chooserOpen = open; }
    void AddManageCloudDatabaseMenu() override { ++m_cloudMenus; }

    CCommManager& m_manager;
    CCommLinkSettings m_settings;
    int m_closes = 0;
    int m_opens = 0;
    int m_cloudMenus = 0;
    bool m_chooserOpen = false;
};

class SelectCommInterfaceDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.m_iniPath = home.File("kvsettings.ini");
        app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
        manager.SetPortFactory(&factory);
        CSerialPortEnumerator::SetRoots(tree.classFolder().c_str(), tree.deviceFolder().c_str());
        for (PtyPair* pty : {&free1, &held, &free2}) {
            ASSERT_TRUE(pty->ok());
            pty->ReleaseSlave();
        }
        tree.AddPort("ttyUSB0", free1.slavePath(), "USB Serial Port", true, "ftdi_sio");
        tree.AddPort("ttyUSB1", held.slavePath(), "USB Serial Port", true, "ftdi_sio");
        tree.AddPort("ttyS0", free2.slavePath());
        ASSERT_EQ(holder.Open(held.slavePath().c_str()), ERROR_SUCCESS);
        AfxTakeScriptedMessageLog();
    }
    void TearDown() override
    {
        manager.CloseCommunications();
        CSerialPortEnumerator::SetRoots("", "");
        AfxTakeScriptedMessageLog();
    }
    CSelectCommInterfaceDlg* Open()
    {
        auto* dlg = new CSelectCommInterfaceDlg(&frame);
        EXPECT_TRUE(dlg->ShowChooser());
        return dlg;
    }
    static CListCtrl* List(CSelectCommInterfaceDlg* dlg)
    {
        return static_cast<CListCtrl*>(dlg->GetDlgItem(CSelectCommInterfaceDlg::kListId));
    }
    static bool OkEnabled(CSelectCommInterfaceDlg* dlg) { return dlg->GetDlgItem(IDOK)->IsWindowEnabled(); }
    void PointDiscoveryAt(int port)
    {
        WritePrivateProfileString("NETWORK DISCOVERY", "Address", "127.255.255.255", app.m_iniPath.c_str());
        WritePrivateProfileString("NETWORK DISCOVERY", "Port", std::to_string(port).c_str(), app.m_iniPath.c_str());
    }
    int StoredType() { return static_cast<int>(GetPrivateProfileInt("LINK TYPE", "Type", -1, app.m_iniPath.c_str())); }

    TempDir home;
    TestAppServices app;
    CCommManager manager;
    CLinkPortFactory factory{manager};
    FrameStandIn frame{manager};
    FakeTtyTree tree{home.path() + "/sys"};
    PtyPair free1, held, free2;
    CSerial holder;
};

}  // namespace

TEST(SerInfoTest, DescriptionFallsBackToTheFriendlyNameWithoutItsPortPart)
{
    const struct {
        const char* friendly;
        const char* description;
    } cases[] = {
        {"USB Serial Port (ttyUSB0)", "USB Serial Port"},
        {"Serial (A) (ttyS1)", "Serial (A) (ttyS1)"},  // the first closing parenthesis must end it
        {"(ttyS1)", "(ttyS1)"},              // the blank must come after the start
        {"Port (x) tail", "Port (x) tail"},   // the parenthesis does not end the text
        {"ttyS0", "ttyS0"},
    };
    for (const auto& c : cases) {
        CSerInfo info;
        info.m_friendlyName = c.friendly;
        info.CompleteNames();
        EXPECT_EQ(info.m_description, c.description) << c.friendly;
    }
    CSerInfo unnamed;
    unnamed.m_portName = "COM3";
    unnamed.CompleteNames();
    EXPECT_EQ(unnamed.m_friendlyName, "COM3");
}

TEST_F(SelectCommInterfaceDlgTest, SerialListLeavesOutTheHeldPortAndOkStoresTypeZero)
{
    CSelectCommInterfaceDlg* dlg = Open();
    EXPECT_EQ(frame.m_closes, 1) << "opening the chooser closes the link";
    EXPECT_TRUE(frame.m_chooserOpen);
    EXPECT_TRUE(dlg->IsDlgButtonChecked(CSelectCommInterfaceDlg::kSerialRadioId));
    CListCtrl* list = List(dlg);
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(0, 0), "ttyS0");
    EXPECT_EQ(list->GetItemText(1, 0), "USB Serial Port (ttyUSB0)");
    EXPECT_FALSE(OkEnabled(dlg));
    kvtest::Click(dlg->GetDlgItem(IDOK));
    EXPECT_EQ(frame.m_opens, 0) << "OK does nothing while disabled";

    Screenshot(dlg, "select-comm-interface-serial");
    ASSERT_TRUE(kvtest::PickItem(list, 1));
    EXPECT_TRUE(OkEnabled(dlg));
    kvtest::Click(dlg->GetDlgItem(IDOK));
    EXPECT_EQ(frame.m_opens, 1);
    EXPECT_EQ(frame.m_settings.m_linkType, kLinkSerial);
    EXPECT_EQ(frame.m_settings.m_comPort, (tree.deviceFolder() + "/ttyUSB0").c_str());
    EXPECT_EQ(frame.m_settings.m_description, "USB Serial Port (ttyUSB0)");
    EXPECT_EQ(frame.m_cloudMenus, 1);
    EXPECT_EQ(StoredType(), 0);
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return !frame.m_chooserOpen; })) << "the chooser closed itself";
}

TEST_F(SelectCommInterfaceDlgTest, NetworkListOpensAUdpLinkToTheChosenModule)
{
    SimulatedNetworkModule module("127.0.0.2", "QvxModule");
    ASSERT_TRUE(module.Start(0));
    PointDiscoveryAt(module.PollPort());
    WritePrivateProfileString("LINK TYPE", "Type", "1", app.m_iniPath.c_str());
    CSelectCommInterfaceDlg* dlg = Open();
    EXPECT_TRUE(dlg->IsDlgButtonChecked(CSelectCommInterfaceDlg::kNetworkRadioId));
    CListCtrl* list = List(dlg);
    ASSERT_EQ(list->GetColumnCount(), 2);
    EXPECT_EQ(list->GetColumnWidth(0), 100);
    EXPECT_EQ(list->GetColumnWidth(1), 250);
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), "QvxModule");
    EXPECT_EQ(list->GetItemText(0, 1), "QvxNet@127.0.0.2");
    EXPECT_FALSE(OkEnabled(dlg));
    Screenshot(dlg, "select-comm-interface-network");
    ASSERT_TRUE(kvtest::PickItem(list, 0));
    EXPECT_TRUE(OkEnabled(dlg));
    EXPECT_EQ(dlg->GetChosenAddress(), "127.0.0.2");

    kvtest::Click(dlg->GetDlgItem(IDOK));
    EXPECT_EQ(StoredType(), 1);
    EXPECT_EQ(frame.m_settings.m_remoteName, "127.0.0.2");
    EXPECT_EQ(frame.m_settings.m_description, "QvxModule");
    EXPECT_TRUE(manager.IsOpen());
    EXPECT_EQ(manager.GetPortName(), "QvxModule");
    EXPECT_EQ(app.Connected().size(), 2u);
}

TEST_F(SelectCommInterfaceDlgTest, NoModuleAnsweringLeavesTheListEmptyAndOkDisabled)
{
    SimulatedNetworkModule mute("127.0.0.3", "Mute");
    ASSERT_TRUE(mute.Start(0));
    mute.SetPollAnswer({});
    PointDiscoveryAt(mute.PollPort());
    CSelectCommInterfaceDlg* dlg = Open();
    EXPECT_EQ(List(dlg)->GetItemCount(), 2);
    kvtest::Click(dlg->GetDlgItem(CSelectCommInterfaceDlg::kNetworkRadioId));
    EXPECT_EQ(List(dlg)->GetItemCount(), 0);
    EXPECT_EQ(List(dlg)->GetColumnCount(), 2);
    EXPECT_FALSE(OkEnabled(dlg));
    kvtest::Click(dlg->GetDlgItem(CSelectCommInterfaceDlg::kSerialRadioId));
    EXPECT_EQ(List(dlg)->GetItemCount(), 2);
    EXPECT_EQ(List(dlg)->GetColumnCount(), 1);
    dlg->DestroyWindow();
    EXPECT_FALSE(frame.m_chooserOpen);
}

namespace {

// A tutorial page window that opened the chooser.
class TutorialStandIn : public CWnd, public CGuiTutorialOpener, public CCommChooserTutorial {
public:
    CGuiUpdateDlg* GetOpenedWindow() override { return nullptr; }
    void OnOpenedWindowClosed(CGuiUpdateDlg*) override {}
    int GetPageIndex() const override { return m_page; }
    int GetPageCount() const override { return 5; }
    int GoToPage(int index) override
    {
        m_page = index;
        return 1;
    }
    void UpdateNavigationButtons() override { ++m_buttonUpdates; }
    void MarkLinkOpened() override { m_marked = true; }

    int m_page = 2;
    int m_buttonUpdates = 0;
    bool m_marked = false;
};

}  // namespace

TEST_F(SelectCommInterfaceDlgTest, FromATutorialPageTheChooserStaysAndMovesThePages)
{
    SimulatedNetworkModule module("127.0.0.2", "QvxModule");
    ASSERT_TRUE(module.Start(0));
    PointDiscoveryAt(module.PollPort());
    WritePrivateProfileString("LINK TYPE", "Type", "1", app.m_iniPath.c_str());
    TutorialStandIn tutorial;
    auto* dlg = new CSelectCommInterfaceDlg(&frame);
    dlg->SetOpener(&tutorial);
    ASSERT_TRUE(dlg->ShowChooser());
    EXPECT_EQ(tutorial.m_buttonUpdates, 1);

    // The module stops answering: the open fails and the chooser stays, ready for another try.
    module.SetSilent(true);
    ASSERT_TRUE(kvtest::PickItem(List(dlg), 0));
    kvtest::Click(dlg->GetDlgItem(IDOK));
    EXPECT_FALSE(manager.IsOpen());
    EXPECT_FALSE(tutorial.m_marked);
    EXPECT_EQ(tutorial.m_page, 2);
    EXPECT_TRUE(dlg->GetSafeHwnd());
    EXPECT_TRUE(OkEnabled(dlg));
    EXPECT_EQ(frame.m_cloudMenus, 1);

    module.SetSilent(false);
    kvtest::Click(dlg->GetDlgItem(IDOK));
    EXPECT_TRUE(manager.IsOpen());
    EXPECT_TRUE(tutorial.m_marked);
    EXPECT_EQ(tutorial.m_buttonUpdates, 2);
    EXPECT_EQ(tutorial.m_page, 3) << "on to the next page";

    kvtest::Click(dlg->GetDlgItem(IDCANCEL));
    EXPECT_EQ(tutorial.m_page, 2) << "Cancel goes back a page";
    dlg->DestroyWindow();
}
