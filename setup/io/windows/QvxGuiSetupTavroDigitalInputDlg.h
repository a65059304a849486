// CQvxGuiSetupTavroDigitalInputDlg: which function each general digital input
// pin of a Tavro drive carries, its active level, and the inputs' pull-up.
#pragma once

#include "resources/ids/SetupTavroDigitalInputIds.h"
#include "setup/io/TavroDigitalInputDefinitions.h"
#include "setup/io/windows/TavroDigitalIoSetupDlg.h"

constexpr WORD kInputPullUpParameter = 4225;

class CQvxGuiSetupTavroDigitalInputDlg : public CTavroDigitalIoSetupDlg {
    DECLARE_DYNCREATE(CQvxGuiSetupTavroDigitalInputDlg)

public:
    enum { IDD = IDD_SETUP_TAVRO_DIGITAL_INPUT };

    CQvxGuiSetupTavroDigitalInputDlg();
    CTavroIoDefinitions& Definitions() override { return m_definitions; }
    int PrepareQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    void OnGetMinMaxInfo(MINMAXINFO* info);

    static constexpr const char* kPullUpNotice =
        "You must save drive settings to NVM and then reset the drive before changes to the input pull-ups "
        "setting will take effect.";

protected:
    int LoadDefinitions(int variant) override;
    void BeforePinSend() override;
    void AfterPinSend() override;
    bool HasUnsentExtras() override { return PullUpBoxesDiffer(); }
    void LayoutExtras(int cx, int cy, int buttonTop) override;
    int ListBottomMargin() const override { return 4; }
    bool PullUpBoxesDiffer() const;
    int IsBoxChecked(UINT id) const;

    CTavroDigitalInputDefinitions m_definitions;
    int m_minWidth = 500;
    // The parameter as last read: a send changes its bit 0 only.
    LONG m_pullUpWord = 0;

    DECLARE_MESSAGE_MAP()
};
