// CTestGlobalParamsDlg: the conversion parameters of one drive, as the
// parameter table holds them, refreshed on each window update.
#pragma once

#include "framework/GuiUpdateDlg.h"

class CListCtrl;
class CComboBox;

class CTestGlobalParamsDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CTestGlobalParamsDlg)

public:
    enum { IDD = 305 };
    static constexpr int kListId = 2268;
    static constexpr int kDriveSelectorId = 2214;

    CTestGlobalParamsDlg();

    CString GetItemName() const override { return "Global Params"; }
    BOOL OnInitDialog() override;
    void ProcessResponses() override;
    void OnDriveSelected();

    // The parameter ids in the order of the rows.
    static const int* RowIds(int& count);
    // The selected drive's address; the window's own drive when none is chosen.
    int SelectedDrive();
    // Brings every row's value up to date.
    void RefreshRows();

protected:
    DECLARE_MESSAGE_MAP()

private:
    void FillDriveSelector();
    CListCtrl* List();
    CComboBox* Selector();
};
