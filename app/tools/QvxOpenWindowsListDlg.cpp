#include "QvxOpenWindowsListDlg.h"

#include "resources/ids/OpenWindowsListIds.h"

BEGIN_MESSAGE_MAP(CQvxOpenWindowsListDlg, CDialog)
    ON_BN_CLICKED(IDC_OPEN_WINDOWS_TO_FRONT, &CQvxOpenWindowsListDlg::OnBringToFront)
    ON_BN_CLICKED(IDC_OPEN_WINDOWS_CLOSE, &CQvxOpenWindowsListDlg::OnCloseSelected)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_OPEN_WINDOWS_LIST, &CQvxOpenWindowsListDlg::OnItemChanged)
    ON_NOTIFY(NM_DBLCLK, IDC_OPEN_WINDOWS_LIST, &CQvxOpenWindowsListDlg::OnDoubleClick)
END_MESSAGE_MAP()

namespace {
constexpr int kMinColumnWidth = 100;
}  // namespace

CQvxOpenWindowsListDlg::CQvxOpenWindowsListDlg(CQvxOpenWindowItemArray& items, CGuiUpdateList& list, CWnd* parent)
    : CDialog(IDD_OPEN_WINDOWS_LIST, parent), m_items(items), m_windows(list)
{
}

BOOL CQvxOpenWindowsListDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(IDC_OPEN_WINDOWS_LIST, this);
    CRect client;
    m_list.GetClientRect(&client);
    m_list.InsertColumn(0, "Window Name", LVCFMT_LEFT, std::max(kMinColumnWidth, client.Width()));
    m_list.SetExtendedStyle(0x20);
    for (int index = 0; index < m_items.GetCount(); ++index)
        m_list.InsertItem(index, m_items[index].GetName(m_windows));
    RefreshButtons();
    return TRUE;
}

void CQvxOpenWindowsListDlg::RefreshButtons()
{
    const int selected = m_list.GetSelectedCount();
    GetDlgItem(IDC_OPEN_WINDOWS_TO_FRONT)->EnableWindow(selected == 1);
    GetDlgItem(IDC_OPEN_WINDOWS_CLOSE)->EnableWindow(selected >= 1);
}

void CQvxOpenWindowsListDlg::OnItemChanged(NMHDR*, LRESULT* result)
{
    RefreshButtons();
    *result = 0;
}

int CQvxOpenWindowsListDlg::FirstSelected() const { return m_list.GetNextItem(-1, LVNI_SELECTED); }

void CQvxOpenWindowsListDlg::OnBringToFront()
{
    if (m_list.GetSelectedCount() != 1)
        return;
    m_items.Activate(FirstSelected(), m_windows);
    EndDialog(IDOK);
}

void CQvxOpenWindowsListDlg::OnDoubleClick(NMHDR*, LRESULT* result)
{
    OnBringToFront();
    *result = 0;
}

void CQvxOpenWindowsListDlg::OnCloseSelected()
{
    for (int row = FirstSelected(); row >= 0; row = FirstSelected()) {
        const CQvxOpenWindowItem& item = m_items[row];
        // A window already gone is dropped from the list without being touched.
        const bool closed = !item.IsAlive(m_windows) || item.Close(m_windows);
        if (closed) {
            m_items.RemoveAt(row);
            m_list.DeleteItem(row);
        } else {
            m_list.SetItemState(row, 0, LVIS_SELECTED);
        }
    }
    RefreshButtons();
}
