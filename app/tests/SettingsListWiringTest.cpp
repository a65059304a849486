// The program's drive-settings lists run their definitions on the backup
// engine: the Model Information list shows the rows of its shipped template.
#include <string>

#include "AppTestFixture.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/Profile.h"
#include "setup/motor/windows/QvxGuiModelInfoListDlg.h"
#include "testing/WindowShot.h"

namespace {

class SettingsListWiringTest : public AppFixture {
protected:
    static std::string Rows(CQvxGuiUpdateList& list)
    {
        std::string text;
        for (int line = 0; line < list.GetItemCount(); ++line)
            text += std::string(line ? " " : "") + "[" + list.CReportCtrl::GetItemText(line, 0).GetString() + "=" +
                    list.CReportCtrl::GetItemText(line, 1).GetString() + "]";
        return text;
    }
};

TEST_F(SettingsListWiringTest, ModelInfoListShowsTheShippedTemplatesRowsOfTheTavroDrive)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_TRUE(Frame()->IsCommOpen());
    Messages();  // the demo's notice
    AfxWriteProfileInt("GENERAL", "DFLTDRV", 2);  // the Tavro drive was the last one chosen
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Setup|&Model Info"));
    auto* dlg = dynamic_cast<CQvxGuiModelInfoListDlg*>(
        Frame()->GetUpdateList()->FindItem("CQvxGuiModelInfoListDlg", 2));
    ASSERT_NE(dlg, nullptr);
    CQvxGuiUpdateList& list = dlg->GetList();
    ASSERT_NE(list.GetEngine(), nullptr) << "the program installs the lists' engine";

    // The customer's rows of "Screenlist Templates/MotorInfoList.dat", read from the drive.
    const std::string expected =
        "[Drive=] [Firmware Version=5.10] [Configuration=21] [Part Number=5010] [Serial Number=12345678]";
    EXPECT_TRUE(Wait([&] { return Rows(list) == expected; })) << Rows(list);
    for (const CString& box : Messages())
        ADD_FAILURE() << box.GetString();
    Screenshot(dlg, "model_info_list_in_the_program");

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Close"));
    EXPECT_EQ(Frame()->GetUpdateList()->FindItem("CQvxGuiModelInfoListDlg", 2), nullptr);
}

}  // namespace
