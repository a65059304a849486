#include <gtest/gtest.h>

#include "controls/ModelessMsgDlg.h"
#include "controls/QvxFileDialog.h"
#include "controls/WarningMessageDlg.h"
#include "platform/core/IniFile.h"
#include "platform/core/UserSettings.h"
#include "platform/ui/HelpContext.h"
#include "platform/ui/ProgressCtrl.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"

namespace {

class WarningTest : public ::testing::Test {
protected:
    void SetUp() override { AfxSetUserSettingsIniPath(m_dir.File("kvsettings.ini").c_str()); }
    void TearDown() override { AfxSetUserSettingsIniPath(nullptr); }
    std::string Settings() const { return m_dir.Read("kvsettings.ini"); }
    TempDir m_dir;
};

struct SeenBox {
    CString title;
    CString text;
    bool ok = false, yes = false, no = false;
};

std::function<void(CWnd*)> Answer(SeenBox* seen, int buttonId, bool tick)
{
    return [=](CWnd* d) {
        d->GetWindowText(seen->title);
        d->GetDlgItemText(IDC_WARN_TEXT, seen->text);
        seen->ok = d->GetDlgItem(IDOK)->IsWindowVisible();
        seen->yes = d->GetDlgItem(IDC_WARN_YES)->IsWindowVisible();
        seen->no = d->GetDlgItem(IDC_WARN_NO)->IsWindowVisible();
        if (tick)
            kvtest::Click(d->GetDlgItem(IDC_WARN_DONT_SHOW));
        if (buttonId == IDCANCEL)
            kvtest::PressKey(d->GetDlgItem(IDC_WARN_DONT_SHOW), VK_ESCAPE);
        else
            kvtest::Click(d->GetDlgItem(buttonId));
    };
}
}  // namespace

TEST_F(WarningTest, TickedWarningIsRememberedAndNeverShownAgain)
{
    SeenBox seen;
    kvtest::OnNextModal(Answer(&seen, IDOK, true));
    CWarningMessageDlg first;
    EXPECT_EQ(first.ShowWarning("OVERWRITE_TABLE", FALSE, "The table will be replaced.", IDYES), IDOK);
    EXPECT_EQ(seen.title, "Warning");
    EXPECT_EQ(seen.text, "The table will be replaced.");
    EXPECT_TRUE(seen.ok);
    EXPECT_FALSE(seen.yes || seen.no);
    EXPECT_EQ(GetPrivateProfileInt("WARN MSGS", "Count", 0, AfxGetUserSettingsIniPath()), 1u);
    char value[64];
    GetPrivateProfileString("WARN MSGS", "MSG0", "", value, sizeof value, AfxGetUserSettingsIniPath());
    EXPECT_STREQ(value, "OVERWRITE_TABLE~1");

    CWarningMessageDlg second;  // no dialog may open now
    EXPECT_EQ(second.ShowWarning("OVERWRITE_TABLE", FALSE, "The table will be replaced.", IDYES), IDYES);
}

TEST_F(WarningTest, QuestionShowsYesAndNoAndAnUntickedAnswerAsksAgain)
{
    SeenBox seen;
    kvtest::OnNextModal([&](CWnd* d) {
        kvtest::PressKey(d->GetDlgItem(IDC_WARN_DONT_SHOW), VK_RETURN);  // the hidden OK cannot be pressed
        Answer(&seen, IDC_WARN_NO, false)(d);
    });
    CWarningMessageDlg dlg;
    EXPECT_EQ(dlg.ShowWarning("SEND_ALL", TRUE, "Send all settings?", IDYES), IDNO);
    EXPECT_EQ(seen.title, "Confirm Action");
    EXPECT_FALSE(seen.ok);
    EXPECT_TRUE(seen.yes && seen.no);
    kvtest::OnNextModal(Answer(&seen, IDC_WARN_YES, false));
    EXPECT_EQ(dlg.ShowWarning("SEND_ALL", TRUE, "Send all settings?", IDNO), IDYES);
    EXPECT_NE(Settings().find("MSG0=SEND_ALL~0"), std::string::npos);
}

TEST_F(WarningTest, EscapeStoresNothingEvenForANewKey)
{
    SeenBox seen;
    kvtest::OnNextModal(Answer(&seen, IDCANCEL, true));
    CWarningMessageDlg dlg;
    EXPECT_EQ(dlg.ShowWarning("NEW_KEY", FALSE, "x", IDOK), IDCANCEL);
    EXPECT_EQ(m_dir.CountEntries(), 0) << "no settings file was written";

    kvtest::OnNextModal(Answer(&seen, IDOK, false));
    dlg.ShowWarning("OTHER", FALSE, "y", IDOK);
    const std::string before = Settings();
    kvtest::OnNextModal(Answer(&seen, IDCANCEL, true));
    EXPECT_EQ(dlg.ShowWarning("NEW_KEY", FALSE, "x", IDOK), IDCANCEL);
    EXPECT_EQ(Settings(), before);
}

TEST_F(WarningTest, DamagedEntriesAreSkippedAndKeysMayHoldTheSeparator)
{
    m_dir.Write("kvsettings.ini", "[WARN MSGS]\r\nCount=3\r\nMSG0=no separator\r\nMSG1=a~b~1\r\nMSG2=~1\r\n");
    CWarningMessageDlg dlg;
    EXPECT_EQ(dlg.ShowWarning("a~b", FALSE, "x", IDNO), IDNO) << "suppressed, so answered without a dialog";
    EXPECT_EQ(dlg.m_answers.GetCount(), 1);
}

TEST(ModelessMsgDlgTest, OpenProgressCancelAndClose)
{
    CModelessMsgDlg never;
    never.Close();  // never opened: nothing happens
    EXPECT_EQ(never.m_hWnd, nullptr);

    CModelessMsgDlg box;
    ASSERT_TRUE(box.Open("Reading drive", "Reading the parameters...", TRUE));
    EXPECT_TRUE(box.IsWindowVisible());
    CString text;
    box.GetWindowText(text);
    EXPECT_EQ(text, "Reading drive");
    box.GetDlgItemText(IDC_MODELESS_TEXT, text);
    EXPECT_EQ(text, "Reading the parameters...");
    auto* bar = static_cast<CProgressCtrl*>(box.GetDlgItem(IDC_MODELESS_PROGRESS));
    EXPECT_EQ(bar->GetPos(), 0);
    box.SetProgress(40);
    EXPECT_EQ(bar->GetPos(), 40);
    EXPECT_TRUE(box.GetDlgItem(IDCANCEL)->IsWindowVisible());
    kvtest::Click(box.GetDlgItem(IDCANCEL));
    EXPECT_TRUE(box.m_cancelled);
    box.Close();
    EXPECT_EQ(box.m_hWnd, nullptr);

    CModelessMsgDlg quiet;
    ASSERT_TRUE(quiet.Open("Saving", "Saving...", FALSE));
    EXPECT_FALSE(quiet.GetDlgItem(IDCANCEL)->IsWindowVisible());
    EXPECT_FALSE(quiet.m_cancelled);
    quiet.Close();
}

TEST(QvxFileDialogTest, HelpContextIsPutBackAfterTheDialog)
{
    AfxSetHelpContextOverride(-1);
    CQvxFileDialog dialog(TRUE, "tbl", nullptr, OFN_FILEMUSTEXIST, "Tables|*.tbl||");
    dialog.m_nIDHelp = 1234;
    kvtest::QueueFileDialogAnswer("/data/motor.tbl");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), "/data/motor.tbl");
    EXPECT_EQ(AfxGetHelpContextOverride(), -1);
}
