// CQvxLastFaultsLampDlg: the drive's last-faults word as a grid of lamps.
#pragma once

#include "framework/GuiUpdateDlg.h"
#include "resources/ids/LastFaultsLampIds.h"
#include "setup/io/windows/StatusLampGrid.h"

constexpr WORD kLastFaultsCode = 19846;  // SLF
constexpr WORD kMotorFeaturesCode = 13524;  // MFT

class CQvxLastFaultsLampDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxLastFaultsLampDlg)

public:
    enum { IDD = IDD_LAST_FAULTS_LAMPS };

    CQvxLastFaultsLampDlg();
    ~CQvxLastFaultsLampDlg() override;

    CString GetItemName() const override { return "Last Faults Status Window"; }
    BOOL OnInitDialog() override;
    int SubscribeStatusQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    void RandomExercise(int flags) override;

    int GetLampCount() const { return m_grid.GetCount(); }
    CLampButton& GetLamp(int index) { return m_grid.GetLamp(index); }
    CLampButton& GetEncoderLamp() { return *m_encoder; }

private:
    void CreateLamps();
    void NameEncoderLamp();

    CStatusLampGrid m_grid;
    CLampButton* m_encoder = nullptr;
    DWORD m_flagWord = 0;
    DWORD m_motorFeatures = 0;
};
