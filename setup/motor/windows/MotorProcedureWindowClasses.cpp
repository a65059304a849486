#include "setup/motor/windows/MotorProcedureWindowClasses.h"

#include "framework/GuiUpdateDlgIdMap.h"
#include "setup/motor/windows/QvxAnaMotorCalibrateDlg.h"
#include "setup/motor/windows/QvxAutoPhasingDlg.h"
#include "setup/motor/windows/QvxGuiModelInfo.h"
#include "setup/motor/windows/QvxGuiModelInfoListDlg.h"

void RegisterMotorProcedureWindows(CGuiUpdateDlgIdMap& registry)
{
    registry.RegisterGui("TAVRO_AUTOPHASING", RUNTIME_CLASS(CQvxAutoPhasingDlg), 4, 0);
    registry.RegisterGui("TAVRO_ANAMOTORCALIB", RUNTIME_CLASS(CQvxAnaMotorCalibrateDlg), 4, 0);
    registry.RegisterGui("MODEL_INFO", RUNTIME_CLASS(CQvxGuiModelInfo), 6, 0);
    registry.RegisterGui("MODEL_INFO_2", RUNTIME_CLASS(CQvxGuiModelInfoListDlg), 6, 0);
}
