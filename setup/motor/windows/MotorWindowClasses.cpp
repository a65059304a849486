#include "setup/motor/windows/MotorWindowClasses.h"

#include "framework/GuiUpdateDlgIdMap.h"
#include "setup/motor/windows/QvxGuiSaveToNVMDlg.h"
#include "setup/motor/windows/QvxGuiTrajectoryGen.h"

void RegisterMotorModeWindows(CGuiUpdateDlgIdMap& registry)
{
    registry.RegisterGui("SAVE_NVM", RUNTIME_CLASS(CQvxGuiSaveToNVMDlg), 6, 0);
    registry.RegisterGui("TRAJECTORY_GEN", RUNTIME_CLASS(CQvxGuiTrajectoryGen), 6, 0);
}
