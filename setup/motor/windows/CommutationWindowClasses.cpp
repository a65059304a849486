#include "setup/motor/windows/CommutationWindowClasses.h"

#include "framework/GuiUpdateDlgIdMap.h"
#include "setup/motor/windows/QvxGuiCommutat.h"
#include "setup/motor/windows/QvxGuiMotorSafetyDlg.h"
#include "setup/motor/windows/QvxGuiTavroCommutationSheet.h"

void RegisterCommutationWindows(CGuiUpdateDlgIdMap& registry)
{
    registry.RegisterGui("COMMUTATION", RUNTIME_CLASS(CQvxGuiCommutat), 2, 0);
    registry.RegisterGui("MOTOR_SAFETY", RUNTIME_CLASS(CQvxGuiMotorSafetyDlg), 6, 0);
    registry.RegisterGui("TAVRO_COMMUTATION_SETTINGS", RUNTIME_CLASS(CQvxGuiTavroCommutationSheet), 4, 0);
}
