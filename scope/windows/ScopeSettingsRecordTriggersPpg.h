// CScopeSettingsRecordTriggersPpg: how a recording starts and stops, and the
// history recorded before it starts.
#pragma once

#include "platform/ui/Dialog.h"

class CScopeSettingsChannelsPpg;

class CScopeSettingsRecordTriggersPpg : public CDialog {
public:
    explicit CScopeSettingsRecordTriggersPpg(CScopeSettingsChannelsPpg& channels);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void FillSources();
    void EnableControls();

    static constexpr double kMaxStopTime = 99999.0;
    static constexpr double kMaxAdvancedSeconds = 5.0;

    int StartMode = 0;
    int StartSourceID = -1;
    int StartCondition = 2;
    double StartLevel = 0.0;
    int StopMode = 0;
    double StopTime = 0.0;
    int StopSourceID = -1;
    int StopCondition = 2;
    double StopLevel = 0.0;
    int AdvancedRecording = 0;
    double AdvancedSeconds = 5.0;

private:
    void ReadModes();
    void ReadChoices();
    CScopeSettingsChannelsPpg& m_channels;
};
