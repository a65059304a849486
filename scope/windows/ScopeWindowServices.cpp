#include "scope/windows/ScopeWindowServices.h"

#include "comm/link/CommAppServices.h"
#include "framework/GuiUpdateItem.h"
#include "platform/core/MessageBox.h"

bool CScopeWindowServices::IsDriveConnected(int address)
{
    CCommAppServices* app = CCommAppServices::Get();
    if (!app)
        return false;
    CList<CAmplifierData> drives;
    app->GetConnectedDrives(drives);
    for (POSITION pos = drives.GetHeadPosition(); pos;)
        if (drives.GetNext(pos).m_address == address)
            return true;
    return false;
}

bool CScopeWindowServices::GetConversionParameter(int address, int id, double& value)
{
    return m_item.GetGlobalParameterValue(address, id, value);
}

bool CScopeWindowServices::HasConversionParameter(int address, int id)
{
    double value = 0.0;
    return m_item.GetGlobalParameterValue(address, id, value);
}

void CScopeWindowServices::ShowMessage(const char* text) { AfxEngineMessageBox(text, "Oscilloscope", MB_OK); }
