// The Last Faults Indicator window on the demo link; lamps read from the image.
#include <gtest/gtest.h>

#include "IoDemoFixture.h"
#include "platform/core/SingleLock.h"
#include "setup/io/windows/QvxLastFaultsLampDlg.h"
#include "testing/WindowPixels.h"
#include "platform/ui/UserInput.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

class LastFaultsTest : public IoDemoTest {
protected:
    void SetUp() override
    {
        IoDemoTest::SetUp();
        m_frame.m_registry.RegisterGui("LAST_FAULTS", RUNTIME_CLASS(CQvxLastFaultsLampDlg), 6, 0);
    }
    void Prepare(LONG flagWord, LONG features, LONG faults)
    {
        CSingleLock lock(&Model().Lock(), TRUE);
        SetRegister(kTavro, MDI, 14);
        SetRegister(kTavro, MDL, flagWord);
        SetRegister(kTavro, kMotorFeaturesCode, features);
        SetRegister(kTavro, kLastFaultsCode, faults);
    }
    CQvxLastFaultsLampDlg* Open()
    {
        auto* dlg = dynamic_cast<CQvxLastFaultsLampDlg*>(m_frame.m_registry.CreateGui("LAST_FAULTS", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->AreStagesDone(); }));
        }
        return dlg;
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

TEST_F(LastFaultsTest, LampsFollowTheWordAndTheEncoderNeedsBothBits)
{
    const struct {
        LONG flagWord;
        LONG features;
        const char* name;
    } cases[] = {{0x80, 0x4, "Resolver"}, {0x80, 0x0, "Encoder"}, {0x00, 0x4, "Encoder"}};
    for (const auto& c : cases) {
        Prepare(c.flagWord, c.features, 0x0004 | 0x8000);
        CQvxLastFaultsLampDlg* dlg = Open();
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(Wait([&] { return dlg->GetLamp(9).m_on && dlg->GetEncoderLamp().m_onText == c.name; }))
            << c.flagWord << " " << c.features;
        EXPECT_TRUE(Near(Face(dlg->GetLamp(9)), RGB(255, 0, 0), 10)) << "CPLD lit";
        EXPECT_TRUE(Near(Face(dlg->GetLamp(0)), RGB(255, 0, 0), 10)) << "HS ECB lit";
        EXPECT_TRUE(Near(Face(dlg->GetLamp(1)), RGB(0, 0, 200), 10)) << "LS ECB dark";
        if (c.features)
            Screenshot(dlg, "last_faults");
        kvtest::CloseWindow(dlg);
        ASSERT_TRUE(Wait([&] { return m_frame.m_list.IsEmpty(); }));
    }
}

}  // namespace
