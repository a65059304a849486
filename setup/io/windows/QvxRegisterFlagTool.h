// CQvxRegisterFlagTool: the drive's hardware flag word as a list of check
// boxes; a changed check mark writes the word at once.
#pragma once

#include "controls/ReportCtrl.h"
#include "framework/GuiUpdateDlg.h"
#include "resources/ids/RegisterFlagToolIds.h"

constexpr WORD kModelDataCode = 13452;   // MDL
constexpr WORD kModelIndexCode = 13449;  // MDI
constexpr WORD kHardwareFlagIndex = 14;

class CQvxRegisterFlagTool : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxRegisterFlagTool)

public:
    enum { IDD = IDD_REGISTER_FLAG_TOOL };

    CQvxRegisterFlagTool();

    CString GetItemName() const override { return "Register Flag Tool"; }
    BOOL OnInitDialog() override;
    int SubscribeStatusQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;

    CReportCtrl& GetList() { return m_list; }
    // The word the rows stand for, with the bits no row shows kept as the drive has them.
    DWORD CheckedWord() const;
    int HasWord() const { return m_haveWord; }

protected:
    LRESULT OnCheckChanged(WPARAM row, LPARAM mouse);
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void ShowWord();
    void SizeLastColumn();

    CReportCtrl m_list;
    DWORD m_word = 0;
    int m_haveWord = 0;
    int m_filling = 0;
};
