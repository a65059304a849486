// The firmware commands of the main frame: which window each opens, the part
// number kept between uses of the factory window, and the demo link closed
// for a run and opened again after it.
#include "AppTestFixture.h"
#include "app/FrameFirmwareLink.h"
#include "firmware/windows/LoadFirmwareDlg.h"
#include "platform/core/Profile.h"
#include "platform/ui/FileDialog.h"
#include "resources/ids/LoadFirmwareIds.h"

namespace {
class FirmwareCommandsTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        Messages();
    }
    // The title of the window the command opens (closed again at once).
    CString OpenedBy(UINT command)
    {
        CString title;
        kvtest::OnNextModal([&](CWnd* d) {
            d->GetWindowText(title);
            kvtest::CloseWindow(d);
        });
        Frame()->SendMessage(WM_COMMAND, command);
        return title;
    }
};
}  // namespace

TEST_F(FirmwareCommandsTest, EachCommandOpensItsWindowAndTheFactoryFlagPicksForTheThird)
{
    const CWindowFactory& factory = Frame()->GetFactory();
    struct Case {
        UINT command;
        int flags;
        const char* className;
    };
    const Case cases[] = {
        {33067, 0, "CLoadFirmwareDlg"},         {33068, 0, "CCustomerLoadFirmwareDlg"},
        {33068, 1, "CCustomerLoadFirmwareDlg"}, {33069, 0, "CCustomerLoadFirmwareDlg"},
        {33069, 1, "CLoadFirmwareDlg"},         {33069, 2, "CCustomerLoadFirmwareDlg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const FactoryRow* row = factory.Find(c.command);
        ASSERT_NE(row, nullptr);
        EXPECT_STREQ(factory.ClassFor(*row, c.flags), c.className);
        EXPECT_TRUE(factory.IsEnabled(c.command, c.flags, false, false)) << "no link needed";
    }
    EXPECT_EQ(OpenedBy(33068), "Update Drive Firmware");
    EXPECT_EQ(OpenedBy(33069), "Update Drive Firmware");
    kvtest::QueueFileDialogAnswer("");
    EXPECT_EQ(OpenedBy(33067), "Program Drive Firmware");
}

TEST_F(FirmwareCommandsTest, TheFactoryWindowShowsThePartOfItsLastUse)
{
    m_home.Write("flash_updates.ini", "[TI/F28M36]\nKERNEL_CPU1=k1.txt\n[QX-1]\nPROCESSOR_TYPE=F28M36\nCPU1=-\n"
                                      "[QX-2]\nPROCESSOR_TYPE=F28M36\nCPU1=-\n");
    AfxWriteProfileString("FWPROGRAMMING", "inipath", m_home.File("flash_updates.ini").c_str());
    kvtest::OnNextModal([&](CWnd* d) {
        CWnd* edit = d->GetDlgItem(IDC_FW_PART);
        kvtest::TypeText(edit, "");
        edit->SetWindowText("QX-2");
        AfxPumpMessages();
        kvtest::PressKey(edit, VK_ESCAPE);
        AfxPumpMessages();
        kvtest::PressKey(edit, VK_RETURN);
        AfxPumpMessages();
        kvtest::CloseWindow(d);
    });
    Frame()->SendMessage(WM_COMMAND, 33067);
    CString shown;
    kvtest::OnNextModal([&](CWnd* d) {
        d->GetDlgItemText(IDC_FW_PART, shown);
        kvtest::CloseWindow(d);
    });
    Frame()->SendMessage(WM_COMMAND, 33067);
    EXPECT_EQ(shown, "QX-2");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(FirmwareCommandsTest, ARunClosesTheDemoLinkAndOpensTheSameLinkAgain)
{
    CFrameFirmwareLink link(*Frame());
    EXPECT_EQ(link.CloseLinkForRun(), 0) << "nothing open: nothing to reopen";

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_TRUE(Frame()->IsCommOpen());
    EXPECT_EQ(link.CloseLinkForRun(), 1);
    EXPECT_FALSE(Frame()->IsCommOpen());
    link.ReopenLinkAfterRun();
    EXPECT_TRUE(Frame()->IsCommOpen());
    EXPECT_TRUE(Frame()->GetCommManager().IsDemo());
    Frame()->CloseCommunication(0);
}
