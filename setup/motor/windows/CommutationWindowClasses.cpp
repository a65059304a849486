#include "setup/motor/windows/CommutationWindowClasses.h"

#include "framework/GuiUpdateDlgIdMap.h"
#include "setup/motor/windows/QvxGuiTavroCommutationSheet.h"

void RegisterCommutationWindows(CGuiUpdateDlgIdMap& registry)
{
    registry.RegisterGui("TAVRO_COMMUTATION_SETTINGS", RUNTIME_CLASS(CQvxGuiTavroCommutationSheet), 4, 0);
}
