#include "distribution/windows/TestGlobalParamsDlg.h"

#include "comm/link/CommAppServices.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ListCtrl.h"

IMPLEMENT_DYNCREATE(CTestGlobalParamsDlg, CGuiUpdateDlg)

BEGIN_MESSAGE_MAP(CTestGlobalParamsDlg, CGuiUpdateDlg)
    ON_CBN_SELCHANGE(CTestGlobalParamsDlg::kDriveSelectorId, &CTestGlobalParamsDlg::OnDriveSelected)
END_MESSAGE_MAP()

namespace {

constexpr int kRowIds[] = {0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11, 15, 12,  13, 101, 102,
                           104, 103, 105, 16,  17,  106, 19,  107, 108, 109, 110, 18, 20, 111, 22, 21};

CString ParameterLabel(int id)
{
    int count = 0;
    const GlobalParameterKind* kinds = GetGlobalParameterKinds(count);
    for (int i = 0; i < count; ++i) {
        if (kinds[i].id != id)
            continue;
        CString name = kinds[i].name;
        return name.Find("GPD_") == 0 ? name.Mid(4) : name;
    }
    CString unknown;
    unknown.Format("%d", id);
    return unknown;
}

}  // namespace

CTestGlobalParamsDlg::CTestGlobalParamsDlg() : CGuiUpdateDlg(IDD) { SetShowToolbar(0); }

const int* CTestGlobalParamsDlg::RowIds(int& count)
{
    count = static_cast<int>(std::size(kRowIds));
    return kRowIds;
}

CListCtrl* CTestGlobalParamsDlg::List() { return static_cast<CListCtrl*>(GetDlgItem(kListId)); }
CComboBox* CTestGlobalParamsDlg::Selector() { return static_cast<CComboBox*>(GetDlgItem(kDriveSelectorId)); }

BOOL CTestGlobalParamsDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    CListCtrl* list = List();
    list->SetExtendedStyle(list->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    list->InsertColumn(0, "Parameter", LVCFMT_LEFT, 230);
    list->InsertColumn(1, "Data", LVCFMT_LEFT, 115);
    for (int id : kRowIds) {
        const int row = list->InsertItem(list->GetItemCount(), ParameterLabel(id));
        list->SetItemData(row, static_cast<DWORD_PTR>(id));
    }
    FillDriveSelector();
    RefreshRows();
    return TRUE;
}

void CTestGlobalParamsDlg::FillDriveSelector()
{
    CComboBox* selector = Selector();
    selector->ResetContent();
    CList<CAmplifierData> drives;
    if (CCommAppServices* app = CCommAppServices::Get())
        app->GetConnectedDrives(drives);
    for (POSITION pos = drives.GetHeadPosition(); pos;) {
        const CAmplifierData& drive = drives.GetNext(pos);
        CString text = drive.m_name;
        if (text.IsEmpty())
            text.Format("Drive %d", drive.m_address);
        const int item = selector->AddString(text);
        selector->SetItemData(item, static_cast<DWORD_PTR>(drive.m_address));
    }
    for (int item = 0; item < selector->GetCount(); ++item)
        if (static_cast<int>(selector->GetItemData(item)) == GetDrive())
            selector->SetCurSel(item);
}

int CTestGlobalParamsDlg::SelectedDrive()
{
    CComboBox* selector = Selector();
    const int item = selector ? selector->GetCurSel() : -1;
    return item < 0 ? -1 : static_cast<int>(selector->GetItemData(item));
}

void CTestGlobalParamsDlg::OnDriveSelected() { RefreshRows(); }

void CTestGlobalParamsDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    RefreshRows();
}

void CTestGlobalParamsDlg::RefreshRows()
{
    CListCtrl* list = List();
    if (!list)
        return;
    const int drive = SelectedDrive();
    for (int row = 0; row < list->GetItemCount(); ++row) {
        double value = 0.0;
        CString text = "<Unavailable>";
        if (GetGlobalParameterValue(drive, static_cast<int>(list->GetItemData(row)), value))
            text.Format("%g", value);
        if (list->GetItemText(row, 1) != text)
            list->SetItemText(row, 1, text);
    }
}
