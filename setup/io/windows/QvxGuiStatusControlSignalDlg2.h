// CQvxGuiStatusControlSignalDlg2: commanded, measured and error values of the
// current, velocity and position loops of one drive.
#pragma once

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdateDlg.h"
#include "resources/ids/ControlSignalsIds.h"

class CQvxGuiStatusControlSignalDlg2 : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiStatusControlSignalDlg2)

public:
    enum { IDD = IDD_CONTROL_SIGNALS };
    static constexpr int kFieldCount = 12;

    CQvxGuiStatusControlSignalDlg2();

    CString GetItemName() const override { return "Control Signals"; }
    BOOL OnInitDialog() override;
    int SubscribeStatusQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    void ProcessResponses() override;
    void SerializeLayout(CArchive& ar, int version) override;

    // Bit i: the companion box of field i (table order) is checked.
    int GetCheckMap() const;
    void SetCheckMap(int map);
    int AreErrorQueriesRunning() const { return m_errorQueries; }

protected:
    void OnUnitsClicked();
    void OnVelocityErrorBox();
    DECLARE_MESSAGE_MAP()

private:
    void ShowField(int field);
    void ShowVelocityError();
    void ApplyRules();
    void UpdateErrorQueries();
    void SetBox(int id, int state);
    double ScaleOf(int field);
    const char* FormatOf(int field) const;

    CDmQueryVar m_velocityCommanded;
    CDmQueryVar m_velocityMeasured;
    LONG m_raw[kFieldCount] = {};
    bool m_have[kFieldCount] = {};
    int m_errorQueries = 0;
};
