// CQvxGuiTrajectoryGen: the drive's acceleration, deceleration, zero speed
// window and velocity limit, working and drive columns; the "Disabled" boxes
// switch a limit off by writing it negated.
#pragma once

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiEditCtrl.h"
#include "resources/ids/TrajectoryGenIds.h"

class CQvxGuiTrajectoryGen : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiTrajectoryGen)

public:
    enum { IDD = IDD_TRAJECTORY_GEN };
    static constexpr WORD kAccelCode = 44;
    static constexpr WORD kDecelCode = 140;

    CQvxGuiTrajectoryGen();

    CString GetItemName() const override { return "Trajectory Generator"; }
    BOOL OnInitDialog() override;
    void ProcessResponses() override;
    int PrepareQueries() override;
    int InitialUpdate() override;

protected:
    void OnAccelDisabled() { OnDisabledClicked(m_accel, kAccelCode); }
    void OnDecelDisabled() { OnDisabledClicked(m_decel, kDecelCode); }
    void OnSendValues();
    DECLARE_MESSAGE_MAP()

private:
    void BindControls();
    void BindEdit(int index, int id, WORD code, int parameter, const char* format, bool working, bool magnitude,
                  const char* name);
    void OnDisabledClicked(CDmQueryVar& query, WORD code);
    void UpdateLabels(int cs, int mc);
    void UpdateEnables();
    int Cs();
    void RefreshOnNewGains();
    bool IsChecked(int id) const;

    CDmQueryVar m_accel;
    CDmQueryVar m_decel;
    CDmQueryVar m_hardware;
    CQvxGuiEditCtrl m_edits[8];
    const char* m_formats[8] = {};
    double m_accelGain = 0;
    double m_velGain = 0;
    bool m_labelsShown = false;
    int m_cacheMode = 0;
    int m_cacheCs = 0;
    int m_cacheMc = 0;
    int m_cacheCsSf = 0;
};
