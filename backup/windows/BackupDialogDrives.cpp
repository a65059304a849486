#include "backup/windows/BackupDialogDrives.h"

#include <ctime>

#include "comm/link/CommAppServices.h"
#include "platform/core/SpecialFolders.h"

void FillDriveCombo(CComboBox* combo, const std::vector<CAmplifierData>& drives, int remembered, bool selectFirst)
{
    if (!combo)
        return;
    combo->ResetContent();
    int selected = -1;
    for (const CAmplifierData& drive : drives) {
        const int index = combo->AddString(drive.m_name);
        combo->SetItemData(index, static_cast<DWORD_PTR>(drive.m_address));
        if (drive.m_address == remembered && selected < 0)
            selected = index;
    }
    if (selected < 0 && selectFirst && combo->GetCount() > 0)
        selected = 0;
    combo->SetCurSel(selected);
}

void ReadDriveChoice(CComboBox* combo, int& drive, CString& name)
{
    drive = -1;
    name.Empty();
    const int index = combo ? combo->GetCurSel() : -1;
    if (index < 0)
        return;
    drive = static_cast<int>(combo->GetItemData(index));
    combo->GetLBText(index, name);
}

std::vector<CAmplifierData> ConnectedDrives()
{
    std::vector<CAmplifierData> drives;
    if (CCommAppServices* app = CCommAppServices::Get()) {
        CList<CAmplifierData> list;
        app->GetConnectedDrives(list);
        for (POSITION pos = list.GetHeadPosition(); pos;)
            drives.push_back(list.GetNext(pos));
    }
    return drives;
}

CString FileNamePart(const CString& name)
{
    CString part = name;
    part.Replace('/', '_');
    part.Replace('\\', '_');
    return part;
}

CString FileTimeStamp()
{
    char text[64] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(text, sizeof(text), "%m-%d-%Y--%H-%M-%S", &local);
    return text;
}

CString SharedDocumentsProductFolder()
{
    const CString folder = AfxGetSpecialFolder(CSIDL_COMMON_DOCUMENTS) + "/Korvane";
    AfxCreateFolders(folder);
    return folder;
}
