// CWatchRegisterSettingsDlg: how the watch window shows its list.
#pragma once

#include "platform/ui/Dialog.h"
#include "resources/ids/WatchRegistersIds.h"
#include "setup/io/WatchDisplaySettings.h"

class CWatchRegisterSettingsDlg : public CDialog {
public:
    enum { IDD = IDD_WATCH_REGISTER_SETTINGS };

    CWatchRegisterSettingsDlg(const CWatchDisplaySettings& settings, CWnd* parent);

    BOOL OnInitDialog() override;
    void OnOK() override;

    CWatchDisplaySettings m_settings;
};
