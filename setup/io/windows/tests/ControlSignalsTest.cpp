// The Control Loop Signals window on the demo link.
#include <gtest/gtest.h>

#include "IoDemoFixture.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/ui/UserInput.h"
#include "setup/io/windows/QvxGuiStatusControlSignalDlg2.h"
#include "testing/WindowShot.h"

namespace {

class ControlSignalsTest : public IoDemoTest {
protected:
    void SetUp() override
    {
        IoDemoTest::SetUp();
        m_frame.m_registry.RegisterGui("STATUS_CONTROL_SIGNALS", RUNTIME_CLASS(CQvxGuiStatusControlSignalDlg2), 6, 0);
        SetRegister(kTavro, 19747, 100);
        SetRegister(kTavro, 20163, 50);
        SetRegister(kTavro, 20179, 30);
    }
    CQvxGuiStatusControlSignalDlg2* Open()
    {
        auto* dlg = dynamic_cast<CQvxGuiStatusControlSignalDlg2*>(
            m_frame.m_registry.CreateGui("STATUS_CONTROL_SIGNALS", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->AreStagesDone(); }));
        }
        return dlg;
    }
    static CString Text(CWnd* dlg, int id)
    {
        CString text;
        dlg->GetDlgItemText(id, text);
        return text;
    }
};

TEST_F(ControlSignalsTest, UnitsVelocityErrorAndCheckMap)
{
    CQvxGuiStatusControlSignalDlg2* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->IsDlgButtonChecked(IDC_SIGNALS_AMPS));
    EXPECT_TRUE(dlg->IsDlgButtonChecked(IDC_SIGNALS_RPM));
    double gain = 0;
    ASSERT_TRUE(Wait([&] { return m_table.GetParameterValue(kTavro, 9, gain) && !Text(dlg, IDC_SIGNALS_CURRENT_CMD).IsEmpty(); }));
    CString amps;
    amps.Format("%2.2f", 100 * gain);
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_SIGNALS_CURRENT_CMD) == amps; })) << Text(dlg, IDC_SIGNALS_CURRENT_CMD);
    Screenshot(dlg, "control_signals");

    kvtest::Click(dlg->GetDlgItem(IDC_SIGNALS_RAW));
    EXPECT_EQ(std::string(Text(dlg, IDC_SIGNALS_CURRENT_CMD)), "100");
    kvtest::Click(dlg->GetDlgItem(IDC_SIGNALS_COUNTS));
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_SIGNALS_VELOCITY_ERR) == "20"; })) << Text(dlg, IDC_SIGNALS_VELOCITY_ERR);

    // Unchecking the error box stops both of its reads; the map keeps it unchecked.
    ASSERT_EQ(dlg->AreErrorQueriesRunning(), 1);
    dlg->SetCheckMap(dlg->GetCheckMap() & ~(1 << 8));
    EXPECT_EQ(dlg->AreErrorQueriesRunning(), 0);
    const std::string path = m_home.File("layout.bin");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        dlg->SerializeLayout(ar, 1);
        ar.Close();
        file.Close();
    }
    dlg->SetCheckMap(0xFFF);
    EXPECT_EQ(dlg->AreErrorQueriesRunning(), 1);
    {
        CFile file(path.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        dlg->SerializeLayout(ar, 1);
    }
    EXPECT_EQ(dlg->GetCheckMap(), 0xFFF & ~(1 << 8));
    EXPECT_EQ(dlg->AreErrorQueriesRunning(), 0);
}

}  // namespace
