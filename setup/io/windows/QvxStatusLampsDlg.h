// CQvxStatusLampsDlg: a Kreln drive's inputs, faults and state as lamps.
#pragma once

#include "framework/GuiUpdateDlg.h"
#include "resources/ids/StatusLampsIds.h"
#include "setup/io/windows/StatusLampGrid.h"

constexpr WORD kInputWordCode = 9356;         // IDL
constexpr WORD kSecondStatusWordCode = 20087;  // SSW

class CQvxStatusLampsDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxStatusLampsDlg)

public:
    enum { IDD = IDD_STATUS_LAMPS };

    CQvxStatusLampsDlg();

    CString GetItemName() const override { return "Drive Status"; }
    BOOL OnInitDialog() override;
    int SubscribeStatusQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;

    // The fault grid's value of a lamp: -2 for another request kind, 0 while
    // its word has not answered, else 1.0 or 0.0.
    double CustomValue(int kind, DWORD mask, int& known) const;

    CStatusLampGrid& Inputs() { return m_inputs; }
    CStatusLampGrid& Faults() { return m_faults; }
    CStatusLampGrid& State() { return m_state; }

protected:
    void OnGetMinMaxInfo(MINMAXINFO* info);
    DECLARE_MESSAGE_MAP()

private:
    void ShowFaults();

    CStatusLampGrid m_inputs;
    CStatusLampGrid m_faults;
    CStatusLampGrid m_state;
    CLampButton* m_encoder = nullptr;
    DWORD m_faultWord = 0;
    DWORD m_secondWord = 0;
    int m_haveFault = 0;
    int m_haveSecond = 0;
};
