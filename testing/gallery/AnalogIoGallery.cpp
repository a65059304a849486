// The analog I/O windows in the gallery: the Tavro drive's analog outputs and
// the Kreln drive's analog inputs and outputs, on the demo link.
#include <gtest/gtest.h>

#include "DriveWindowStage.h"
#include "GalleryWindows.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "comm/protocol/AmpCommand.h"
#include "platform/core/SingleLock.h"
#include "platform/ui/ComboBox.h"
#include "setup/io/windows/IoWindowFiles.h"
#include "setup/io/windows/QvxGuiTavroAnalogOutputDlg.h"
#include "setup/io/windows/QvxSetupAnalogIoDlg.h"

namespace {

using namespace demo_codes;

struct AnalogSettings {
    LONG version = 510;   // Tavro firmware; 5 and later have the aux output
    LONG etf = 0;         // Kreln: non-zero binds the tach gain
    LONG outputSource = 0;
};

struct AnalogStage : DriveWindowStage {
    explicit AnalogStage(const AnalogSettings& settings)
    {
        SetIoFactoryIniPath(KV_FACTORY_INI);
        prepare = [settings](CDemoRegisterModel& model) {
            CSingleLock lock(&model.Lock(), TRUE);
            for (int drive : {1, 2}) {
                model.SetRegister(drive, MOD, 2, 1);  // velocity mode
                model.SetRegister(drive, MDI, 10, 1);
                model.SetRegister(drive, MDL, 10, 1);
                model.SetRegister(drive, MDI, 12, 1);
                model.SetRegister(drive, MDL, 0, 1);
                model.SetRegister(drive, 15401, settings.outputSource, 1);
                model.SetRegister(drive, 15433, 0, 1);
                model.SetRegister(drive, 15411, 256, 1);
                model.SetRegister(drive, 15443, 128, 1);
                model.SetRegister(drive, 15414, 3277, 1);
                model.SetRegister(drive, 15446, 6554, 1);
                model.SetRegister(drive, 3373, 0, 1);
                model.SetRegister(drive, 21091, 1234, 1);
                model.SetRegister(drive, 1075, 3277, 1);
                model.SetRegister(drive, 1071, 1500, 1);
                model.SetRegister(drive, 9267, 12, 1);
                model.SetRegister(drive, 9263, 900, 1);
                model.SetRegister(drive, 9252, 300, 1);
                model.SetRegister(drive, 15407, 0, 1);
                model.SetRegister(drive, 15439, 164, 1);
            }
            model.SetRegister(2, VER, settings.version, 1);
            model.SetRegister(1, MnemonicToCode("ETF"), settings.etf, 1);
        };
        cleanUp = [] { SetIoFactoryIniPath(""); };
    }
};

}  // namespace

void ShowTavroAnalogOutput(GalleryShots& shots)
{
    const struct {
        AnalogSettings settings;
        const char* caption;
    } states[] = {
        {{510, 0, 0}, "both outputs on their test values"},
        {{416, 0, 3}, "output on a signal; a drive without the aux output"},
    };
    for (const auto& state : states) {
        AnalogStage stage(state.settings);
        ASSERT_TRUE(stage.Open());
        stage.frame.m_registry.RegisterGui("TAVRO_ANALOGIO", RUNTIME_CLASS(CQvxGuiTavroAnalogOutputDlg), kFamilyTavro,
                                           0);
        auto* dlg =
            dynamic_cast<CQvxGuiTavroAnalogOutputDlg*>(stage.frame.m_registry.CreateGui("TAVRO_ANALOGIO", nullptr, 1));
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(AfxPumpMessagesUntil(
            [&] {
                CString text;
                dlg->GetDlgItemText(IDC_TAO_AUX_TEST_DRIVE, text);
                auto* combo = static_cast<CComboBox*>(dlg->GetDlgItem(IDC_TAO_OUT_SOURCE));
                return dlg->AreStagesDone() && combo->GetCurSel() == state.settings.outputSource && !text.IsEmpty() &&
                       text != "Unavailable";
            },
            10000));
        shots.Take(dlg, state.caption);
        dlg->SetClosing(1);
    }
}

void ShowSetupAnalogIo(GalleryShots& shots)
{
    const struct {
        AnalogSettings settings;
        const char* caption;
    } states[] = {
        {{510, 0, 0}, "velocity mode, the aux input as a plain gain"},
        {{510, 1, 2}, "tach feedback; the output on a signal"},
    };
    for (const auto& state : states) {
        AnalogStage stage(state.settings);
        ASSERT_TRUE(stage.Open());
        AfxWriteProfileInt("GENERAL", "DFLTDRV", 1);
        stage.frame.m_registry.RegisterGui("ANALOGIO", RUNTIME_CLASS(CQvxSetupAnalogIoDlg), kFamilyKreln, 0);
        auto* dlg = dynamic_cast<CQvxSetupAnalogIoDlg*>(stage.frame.m_registry.CreateGui("ANALOGIO", nullptr, 1));
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(AfxPumpMessagesUntil(
            [&] {
                CString unit, gain;
                dlg->GetDlgItemText(IDC_AIO_IN_GAIN_UNIT, unit);
                dlg->GetDlgItemText(IDC_AIO_AUX_IN_GAIN_DRIVE, gain);
                const char* expected = state.settings.etf ? "12.34" : "";
                return dlg->AreStagesDone() && unit == "rpm/volt" && !gain.IsEmpty() && gain != "Unavailable" &&
                       (!*expected || gain == expected);
            },
            10000));
        shots.Take(dlg, state.caption);
        dlg->SetClosing(1);
    }
}
