// CScopeSettingsGeneralPpg: labels, plot mode, time format, tail points, key,
// grid and background of the oscilloscope settings sheet.
#pragma once

#include "platform/ui/Dialog.h"

class CScopeSettingsChannelsPpg;

class CScopeSettingsGeneralPpg : public CDialog {
public:
    explicit CScopeSettingsGeneralPpg(CScopeSettingsChannelsPpg& channels);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void EnableControls();

    static constexpr int kMinTailPoints = 100;
    static constexpr int kMaxTailPoints = 10000;

    int ShowXLabel = 1;
    CString XLabel;
    int ShowYLabel = 1;
    CString YLabel;
    int ScopeMode = 0;  // 0 sweep, 1 X-Y
    int TimeFormat = 2;
    int TailPoints = 1000;
    int ShowPlotKey = 0;
    int ShowGrid = 1;
    COLORREF BackgroundColour = 0x606020;

private:
    void OnModeClicked(int mode);
    void OnBackground();
    CScopeSettingsChannelsPpg& m_channels;
};
