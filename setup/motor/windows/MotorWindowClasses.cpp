#include "setup/motor/windows/MotorWindowClasses.h"

#include "framework/GuiUpdateDlgIdMap.h"
#include "setup/motor/windows/QvxGuiAmpModeSettingsSheet.h"
#include "setup/motor/windows/QvxGuiGcodeEncodersDlg.h"
#include "setup/motor/windows/QvxGuiSaveToNVMDlg.h"
#include "setup/motor/windows/QvxGuiSetupMode2.h"
#include "setup/motor/windows/QvxGuiTrajectoryGen.h"

void RegisterMotorModeWindows(CGuiUpdateDlgIdMap& registry)
{
    registry.RegisterGui("AMP_MODE_SETTINGS_SHEET", RUNTIME_CLASS(CQvxGuiAmpModeSettingsSheet), 4, 0);
    registry.RegisterGui("MODE", RUNTIME_CLASS(QvxGuiSetupMode2), 2, 0);
    registry.RegisterGui("ENCODERS", RUNTIME_CLASS(CQvxGuiGcodeEncodersDlg), 2, 0);
    registry.RegisterGui("SAVE_NVM", RUNTIME_CLASS(CQvxGuiSaveToNVMDlg), 6, 0);
    registry.RegisterGui("TRAJECTORY_GEN", RUNTIME_CLASS(CQvxGuiTrajectoryGen), 6, 0);
}
