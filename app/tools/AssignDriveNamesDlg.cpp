#include "AssignDriveNamesDlg.h"

#include "app/DriveAssignments.h"
#include "platform/ui/MsgBox.h"
#include "resources/ids/AssignDriveNamesIds.h"

BEGIN_MESSAGE_MAP(CAssignDriveNamesDlg, CDialog)
    ON_BN_CLICKED(IDC_DRIVE_NAMES_ADD, &CAssignDriveNamesDlg::OnAdd)
    ON_BN_CLICKED(IDC_DRIVE_NAMES_REMOVE, &CAssignDriveNamesDlg::OnRemove)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_DRIVE_NAMES_LIST, &CAssignDriveNamesDlg::OnItemChanged)
END_MESSAGE_MAP()

namespace {
constexpr int kHelpId = 388;
constexpr int kNameColumnWidth = 60;
}  // namespace

CAssignDriveNamesDlg::CAssignDriveNamesDlg(CWnd* parent) : CDialog(IDD_ASSIGN_DRIVE_NAMES, parent) {}

BOOL CAssignDriveNamesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetUpList();
    Fill();
    RefreshButtons();
    return TRUE;
}

void CAssignDriveNamesDlg::SetUpList()
{
    m_list.SubclassDlgItem(IDC_DRIVE_NAMES_LIST, this);
    m_list.SetCallback(this);
    m_list.SetColumnReadOnly(1);
    m_list.SetExtendedStyle(0x23);
    CRect client;
    m_list.GetClientRect(&client);
    m_list.InsertColumn(0, "Address", LVCFMT_LEFT, std::max(10, client.Width() - kNameColumnWidth));
    m_list.InsertColumn(1, "Name", LVCFMT_LEFT, kNameColumnWidth);
    m_list.AddComboList(1);
    for (int index = 0; index < kDriveLetterNameCount; ++index)
        m_list.AddComboString(DriveIndexToName(index));
    m_list.SetComboCell(1, -1);
    m_list.m_bEditable = TRUE;
}

void CAssignDriveNamesDlg::Fill()
{
    m_list.DeleteAllItems();
    if (m_map)
        for (const auto& [name, address] : m_map->Entries())
            AddRow(address == kSingleDriveAddress ? 0 : address, name);
    m_list.SortItems(0, TRUE);
}

void CAssignDriveNamesDlg::AddRow(int address, const CString& name)
{
    const int row = m_list.GetItemCount();
    CString text;
    text.Format("%d", address);
    m_list.InsertItem(row, text);
    m_list.SetItemText(row, 1, name);
    m_list.SetItemData(row, static_cast<DWORD_PTR>(static_cast<LONG_PTR>(DriveNameToIndex(name))));
}

std::vector<DriveNameRow> CAssignDriveNamesDlg::Rows() const
{
    std::vector<DriveNameRow> rows;
    for (int row = 0; row < m_list.GetItemCount(); ++row)
        rows.push_back({m_list.GetItemText(row, 0), m_list.GetItemText(row, 1)});
    return rows;
}

void CAssignDriveNamesDlg::RefreshButtons()
{
    if (CWnd* add = GetDlgItem(IDC_DRIVE_NAMES_ADD))
        add->EnableWindow(m_list.GetItemCount() < kMaxDriveNameRows);
    if (CWnd* remove = GetDlgItem(IDC_DRIVE_NAMES_REMOVE))
        remove->EnableWindow(m_list.GetSelectedCount() > 0);
}

void CAssignDriveNamesDlg::OnItemChanged(NMHDR*, LRESULT* result)
{
    RefreshButtons();
    *result = 0;
}

void CAssignDriveNamesDlg::OnAdd()
{
    if (m_list.GetItemCount() >= kMaxDriveNameRows)
        return;
    const std::vector<DriveNameRow> rows = Rows();
    AddRow(ProposeDriveAddress(rows), DriveIndexToName(ProposeDriveNameIndex(rows)));
    RefreshButtons();
}

void CAssignDriveNamesDlg::OnRemove()
{
    for (int row = m_list.GetItemCount() - 1; row >= 0; --row) {
        if (!(m_list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED))
            continue;
        if (m_list.IsEditing())
            m_list.EndEdit(m_list.GetEditRow() != row);
        m_list.DeleteItem(row);
    }
    RefreshButtons();
}

void CAssignDriveNamesDlg::OnOK()
{
    if (m_list.IsEditing())
        m_list.EndEdit(TRUE);
    CString message;
    bool addressFault = false;
    const int row = ValidateDriveNameRows(Rows(), message, addressFault);
    if (row >= 0) {
        ShowFault(row, message, addressFault);
        return;
    }
    Save();
    EndDialog(IDOK);
}

void CAssignDriveNamesDlg::ShowFault(int row, const CString& message, bool addressFault)
{
    AfxMessageBox(message, MB_OK | MB_ICONERROR, kHelpId);
    for (int other = 0; other < m_list.GetItemCount(); ++other)
        m_list.SetItemState(other, 0, LVIS_SELECTED | LVIS_FOCUSED);
    m_list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_list.EnsureVisible(row, FALSE);
    m_list.SetFocus();
    if (addressFault)
        m_list.EditSubItem(0, row);
}

void CAssignDriveNamesDlg::Save()
{
    if (!m_map)
        return;
    m_map->RemoveAll();
    for (const DriveNameRow& row : Rows()) {
        long address = 0;
        ParseDriveAddress(row.address, address);
        m_map->Set(row.name, address == 0 ? kSingleDriveAddress : static_cast<int>(address));
    }
}

int CAssignDriveNamesDlg::GetItemSelection(CDListComboCtrl*, int row, int column)
{
    if (column != 1)
        return -1;
    return static_cast<int>(static_cast<LONG_PTR>(m_list.GetItemData(row)));
}

void CAssignDriveNamesDlg::OnItemSelectionChanged(CDListComboCtrl*, int row, int column, int index, BOOL)
{
    if (column != 1 || index < 0 || index >= kDriveLetterNameCount)
        return;
    m_list.SetItemData(row, static_cast<DWORD_PTR>(index));
    m_list.SetItemText(row, 1, DriveIndexToName(index));
}

CString CAssignDriveNamesDlg::GetItemText(CDListComboCtrl*, int row, int column)
{
    return column == 1 ? m_list.GetItemText(row, 1) : CString();
}

int CAssignDriveNamesDlg::CanEditItem(CDListComboCtrl*, LVITEM* item) { return item->iSubItem == 0 ? 1 : 0; }

int CAssignDriveNamesDlg::GetColumnEditType(CDListComboCtrl*, int, int column)
{
    return column == 1 ? LCC_EDIT_LIST : LCC_EDIT_TEXT;
}
