#include "GuiAppServices.h"

#include <atomic>

#include "platform/core/SpecialFolders.h"
#include "platform/ui/MsgBox.h"

namespace {
std::atomic<CGuiAppServices*> g_services{nullptr};
}

void CGuiAppServices::Install(CGuiAppServices* services) { g_services = services; }

CGuiAppServices* CGuiAppServices::Get() { return g_services; }

int AppModelDisplayFlags()
{
    const CGuiAppServices* services = CGuiAppServices::Get();
    return services ? services->GetModelDisplayFlags() : 0;
}

double AppFunctionUnlockVersion(const char* function)
{
    const CGuiAppServices* services = CGuiAppServices::Get();
    return services ? services->GetFunctionUnlockVersion(function) : -1.0;
}

CString AppProgramFolder()
{
    const CGuiAppServices* services = CGuiAppServices::Get();
    return services ? services->GetProgramFolder() : AfxGetModuleFilePath("");
}

int AppShowWarningMessage(const char* key, BOOL question, const char* message, int suppressedAnswer)
{
    CGuiAppServices* services = CGuiAppServices::Get();
    if (services)
        return services->ShowWarningMessage(key, question, message, suppressedAnswer);
    return AfxMessageBox(message, question ? MB_YESNO : MB_OK);
}

CQvxDatabaseRecordset* AppFindRecordset(const char* name)
{
    const CGuiAppServices* services = CGuiAppServices::Get();
    return services ? services->FindRecordset(name) : nullptr;
}
