// CQvxDedicatedIoSettingsDlg: the enable and polarity bits of a Tavro drive's
// fixed-purpose inputs and outputs, each a working box beside the drive's.
#pragma once

#include "framework/GuiUpdateDlg.h"
#include "resources/ids/DedicatedIoSettingsIds.h"

constexpr WORD kDedicatedEnableParameter = 4229;
constexpr WORD kDedicatedPolarityParameter = 4225;

class CQvxDedicatedIoSettingsDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxDedicatedIoSettingsDlg)

public:
    enum { IDD = IDD_DEDICATED_IO_SETTINGS };

    struct Setting {
        UINT workId;
        UINT driveId;
        int group;  // 0: the enable parameter, 1: the polarity parameter
        DWORD mask;
    };

    CQvxDedicatedIoSettingsDlg();

    CString GetItemName() const override { return "Dedicated I/O Settings"; }
    BOOL OnInitDialog() override;
    int SubscribeStatusQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    int SendGroup(int group) override;
    int GetPendingChangesState(int ignored) override;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The group's parameter with the working boxes applied to the drive's value.
    DWORD WorkingWord(int group) const;

protected:
    void ShowDriveWord(int group, DWORD word, bool first);
    static const Setting* FindSetting(UINT workId);

    DWORD m_driveWords[2] = {0, 0};
    bool m_driveValid[2] = {false, false};

    DECLARE_MESSAGE_MAP()
};
