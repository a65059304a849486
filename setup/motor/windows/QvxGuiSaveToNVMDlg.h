// CQvxGuiSaveToNVMDlg: asks, then has the window's drive store all its
// settings in non-volatile memory (611 = 1), shows the drive's answer to that
// write and closes.
#pragma once

#include "framework/GuiUpdateDlg.h"
#include "resources/ids/SaveToNVMIds.h"

class CQvxGuiSaveToNVMDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiSaveToNVMDlg)

public:
    enum { IDD = IDD_SAVE_TO_NVM };
    static constexpr WORD kSaveCode = 611;

    CQvxGuiSaveToNVMDlg();

    CString GetItemName() const override { return "Save to NVM"; }
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    // The drive's answer to the save command.
    void HandleReply(const CAmpResponseToGui& response);
    bool IsBusy() const { return m_busy != 0; }

protected:
    void OnOK() override;
    DECLARE_MESSAGE_MAP()

private:
    int m_busy = 0;
    int m_saveQuery = -1;
};
