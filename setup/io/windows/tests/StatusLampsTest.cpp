// The drive Status window on the demo link; lamps read from the image.
#include <gtest/gtest.h>

#include "IoDemoFixture.h"
#include "platform/core/SingleLock.h"
#include "setup/io/windows/QvxRegisterFlagTool.h"
#include "setup/io/windows/QvxStatusLampsDlg.h"
#include "testing/WindowPixels.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

class StatusLampsTest : public IoDemoTest {
protected:
    void SetUp() override
    {
        IoDemoTest::SetUp();
        AfxWriteProfileInt("GENERAL", "DFLTDRV", kKreln);
        m_frame.m_registry.RegisterGui("STATUS", RUNTIME_CLASS(CQvxStatusLampsDlg), 6, 0);
    }
    static COLORREF Face(CLampButton& lamp)
    {
        CBitmap image;
        Render(lamp, image);
        CRect rect;
        lamp.GetClientRect(&rect);
        return image.GetPixel(rect.Width() / 2, 2);
    }
};

TEST_F(StatusLampsTest, FaultGridTakesBothWordsAndTheFlagWordNamesTheEncoder)
{
    {
        CSingleLock lock(&Model().Lock(), TRUE);
        SetRegister(kKreln, MDI, 14);
        SetRegister(kKreln, MDL, 0x80);
        SetRegister(kKreln, kSecondStatusWordCode, 0x0005);
        SetRegister(kKreln, 20070, 0x0004);
        SetRegister(kKreln, kInputWordCode, 0x0001);
    }
    auto* dlg = dynamic_cast<CQvxStatusLampsDlg*>(m_frame.m_registry.CreateGui("STATUS", nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    CLampButton* powerOn = dlg->Faults().Find(0x10000);
    CLampButton* commInit = dlg->Faults().Find(0x40000);
    CLampButton* foldback = dlg->Faults().Find(0x4000000);
    CLampButton* cpld = dlg->Faults().Find(0x4);
    CLampButton* encoder = dlg->Faults().Find(0x800);
    ASSERT_TRUE(Wait([&] { return powerOn->m_on && cpld->m_on && encoder->m_onText == "Resolver"; }));
    EXPECT_TRUE(Near(Face(*powerOn), RGB(196, 196, 0), 10));
    EXPECT_TRUE(Near(Face(*commInit), RGB(196, 196, 0), 10));
    EXPECT_TRUE(Near(Face(*foldback), RGB(0, 128, 0), 10));
    EXPECT_TRUE(Near(Face(*cpld), RGB(255, 0, 0), 10));
    EXPECT_TRUE(Near(Face(*dlg->Faults().Find(0x8000)), RGB(0, 128, 0), 10));
    EXPECT_TRUE(Wait([&] { return dlg->Inputs().Find(0x1)->m_on != 0; }));
    EXPECT_TRUE(Near(Face(*dlg->Inputs().Find(0x1)), RGB(0, 0, 255), 10));
    int known = 0;
    EXPECT_EQ(dlg->CustomValue(2, 0x4, known), -2);
    EXPECT_EQ(dlg->CustomValue(1, 0x4, known), 1.0);
    Screenshot(dlg, "drive_status");
}

}  // namespace
