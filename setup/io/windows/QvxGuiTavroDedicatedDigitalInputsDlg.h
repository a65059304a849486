// CQvxGuiTavroDedicatedDigitalInputsDlg: the live state of a Tavro drive's
// fixed-purpose inputs: motor feedback, safe torque off and temperatures.
#pragma once

#include "controls/ReportCtrl.h"
#include "framework/GuiUpdateDlg.h"
#include "resources/ids/TavroDedicatedDigitalInputsIds.h"

constexpr WORD kDedicatedInputStateParameter = 19759;
constexpr WORD kHardwareFlagParameter = 13452;
constexpr WORD kHardwareFlagAddressParameter = 13449;
constexpr WORD kHardwareFlagAddress = 14;
constexpr WORD kFeedbackKindParameter = 13524;

class CQvxGuiTavroDedicatedDigitalInputsDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiTavroDedicatedDigitalInputsDlg)

public:
    enum { IDD = IDD_TAVRO_DEDICATED_DIGITAL_INPUTS };

    CQvxGuiTavroDedicatedDigitalInputsDlg();

    CString GetItemName() const override { return "Motor and Other Status"; }
    BOOL OnInitDialog() override;
    int SubscribeStatusQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    void ProcessResponses() override;
    void RandomExercise(int flags) override;

    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);

    CReportCtrl& List() { return m_list; }
    // "Resolver Fault" when the drive reads a resolver, else "Encoder Fault".
    static CString FeedbackFaultText(DWORD hardwareFlags, DWORD feedbackKind);

protected:
    void Layout();
    void ShowFeedbackRow();

    DWORD m_stateWord = 0;
    bool m_stateValid = false;
    bool m_stateChanged = false;
    DWORD m_hardwareFlags = 0;
    DWORD m_feedbackKind = 0;
    bool m_feedbackChanged = false;
    int m_listTop = 0;
    CReportCtrl m_list;

    DECLARE_MESSAGE_MAP()
};
