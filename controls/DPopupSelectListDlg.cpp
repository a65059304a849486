#include "DPopupSelectListDlg.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "DPopupSelectListEditCtrl.h"
#include "foundation/WindowBoundHelpers.h"
#include "platform/ui/ClientDC.h"
#include "platform/ui/MsgBox.h"

namespace {
constexpr size_t kTemplateSize = 156;
constexpr DWORD kPopupStyle = WS_POPUP | DS_SETFONT;
constexpr DWORD kPopupExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | 0x100;  // and a raised edge
constexpr DWORD kListStyle = WS_VISIBLE | WS_BORDER | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_REPORT;
constexpr DWORD kListExStyle = 0x220;
const char kTitle[] = "Dialog Template Sample -  PRESS <ESC> TO CLOSE THIS DIALOG";
const char kFace[] = "ARIAL";
constexpr WORD kPointSize = 11;

void PutWord(std::vector<BYTE>& t, size_t at, WORD value) { std::memcpy(&t[at], &value, 2); }
void PutDword(std::vector<BYTE>& t, size_t at, DWORD value) { std::memcpy(&t[at], &value, 4); }
size_t PutText(std::vector<BYTE>& t, size_t at, const char* text)
{
    for (const char* p = text; *p; ++p, at += 2)
        PutWord(t, at, static_cast<WORD>(static_cast<unsigned char>(*p)));
    PutWord(t, at, 0);
    return at + 2;
}
}  // namespace

BEGIN_MESSAGE_MAP(CDPopupSelectListDlg, CDialog)
    ON_WM_DESTROY()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CDPopupSelectListDlg::CDPopupSelectListDlg(CDPopupSelectListEditCtrl* edit) : m_edit(edit) { m_list.SetDialog(this); }

CDPopupSelectListDlg::~CDPopupSelectListDlg() = default;

bool CDPopupSelectListDlg::BuildTemplate(int x, int y)
{
    try {
        m_template.assign(kTemplateSize, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const LONG units = GetDialogBaseUnits();
    const int unitX = std::max(1, static_cast<int>(LOWORD(static_cast<DWORD>(units))));
    const int unitY = std::max(1, static_cast<int>(HIWORD(static_cast<DWORD>(units))));
    PutDword(m_template, 0, kPopupStyle);
    PutDword(m_template, 4, kPopupExStyle);
    PutWord(m_template, 8, 0);
    PutWord(m_template, 10, static_cast<WORD>(x * 4 / unitX));
    PutWord(m_template, 12, static_cast<WORD>(y * 8 / unitY));
    PutWord(m_template, 14, 0);
    PutWord(m_template, 16, 0);
    PutWord(m_template, 18, 0);
    PutWord(m_template, 20, 0);
    size_t at = PutText(m_template, 22, kTitle);
    PutWord(m_template, at, kPointSize);
    PutText(m_template, at + 2, kFace);
    return true;
}

BOOL CDPopupSelectListDlg::CreatePopup(CWnd* owner, int x, int y)
{
    if (m_created)
        return GetSafeHwnd() != nullptr;
    m_created = true;
    if (!BuildTemplate(x, y)) {
        AfxWndMessageBox(owner, "Memory allocation for dialog template failed.", "Allocation Failure",
                         MB_OK | MB_ICONWARNING);
        return FALSE;
    }
    if (!CreateIndirect(reinterpret_cast<LPCDLGTEMPLATE>(m_template.data()), owner, m_template.size()))
        return FALSE;
    // The template's dialog units round the place and read it back in the template font's units:
    // put the popup on the exact pixel asked for.
    CPoint at(x, y);
    if (owner)
        owner->ClientToScreen(&at);
    SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CRect client;
    GetClientRect(&client);
    if (m_list.Create(kListStyle, client, this, IDC_POPUP_SELECT_LIST)) {
        m_list.SetExtendedStyle(kListExStyle);
        m_list.InsertColumn(0, "TestCol", LVCFMT_LEFT, 100);
        FitListColumnWidth(m_list, 0, 100);
        int row = 0;
        for (POSITION pos = m_choices.GetHeadPosition(); pos;)
            m_list.InsertItem(row++, m_choices.GetNext(pos));
        SizeToContent();
    }
    return TRUE;
}

void CDPopupSelectListDlg::FillList(const char* typedText, BOOL foldCase, const char* preselected)
{
    if (!m_list.GetSafeHwnd())
        return;
    CString typed = typedText ? typedText : "";
    if (foldCase)
        typed.MakeUpper();
    const bool wildcard = !typed.IsEmpty() && typed[0] == '*';
    const CString inside = wildcard ? typed.Mid(1) : typed;
    CDPopupSelectListEditCtrlCallback* callback = m_edit ? m_edit->GetCallback() : nullptr;
    const bool custom = callback && callback->UsesCustomFilter();
    m_list.DeleteAllItems();
    int rows = 0;
    for (POSITION pos = m_choices.GetHeadPosition(); pos;) {
        const CString& choice = m_choices.GetNext(pos);
        bool listed = false;
        if (custom) {
            listed = callback->MatchesFilter(choice, typed) != FALSE;
        } else if (typed.IsEmpty()) {
            listed = true;
        } else {
            CString compared = choice;
            if (foldCase)
                compared.MakeUpper();
            listed = wildcard ? compared.Find(inside) >= 0 : compared.Find(typed) == 0;
        }
        if (listed)
            m_list.InsertItem(rows++, choice);
    }
    FitListColumnWidth(m_list, 0, 10);
    int chosen = -1;
    if (preselected && *preselected) {
        for (int row = 0; row < rows && chosen < 0; ++row)
            if (m_list.GetItemText(row, 0) == preselected)
                chosen = row;
    } else if (!m_choices.IsEmpty() && rows > 0) {
        chosen = 0;
    }
    if (chosen >= 0)
        m_list.SetItemState(chosen, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if (rows == 0) {
        // The keyboard goes to the edit box before the popup goes out of sight.
        if (m_edit)
            m_edit->SetFocus();
        ShowWindow(SW_HIDE);
        return;
    }
    SizeToContent();
    ShowWindow(SW_SHOW);
    m_list.SetFocus();
}

void CDPopupSelectListDlg::SizeToContent()
{
    if (!m_list.GetSafeHwnd())
        return;
    int widest = 0;
    int tallest = 0;
    {
        CClientDC dc(&m_list);
        if (CFont* font = m_list.GetFont())
            dc.SelectObject(font);
        for (POSITION pos = m_choices.GetHeadPosition(); pos;) {
            const CSize size = dc.GetTextExtent(m_choices.GetNext(pos));
            widest = std::max(widest, static_cast<int>(size.cx));
            tallest = std::max(tallest, static_cast<int>(size.cy));
        }
    }
    const int height = std::min(kPopupMaxHeight, tallest * m_list.GetItemCount() + 10);
    const int width = widest + 30;
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_list.MoveWindow(0, 0, width, height);
}

void CDPopupSelectListDlg::OnOK()
{
    POSITION pos = m_list.GetFirstSelectedItemPosition();
    const int row = pos ? m_list.GetNextSelectedItem(pos) : -1;
    CDPopupSelectListEditCtrl* edit = m_edit;
    if (row >= 0 && edit)
        edit->OnPopupChoice(m_list.GetItemText(row, 0));
    if (edit) {
        // Forgotten first: the focus leaving the list while this window goes
        // must not make the edit destroy it a second time.
        if (edit->GetPopup() == this)
            edit->ForgetPopup();
        edit->SetFocus();
    }
    DestroyWindow();
}

void CDPopupSelectListDlg::OnCancel()
{
    if (m_edit)
        m_edit->OnPopupCancelled();
    DestroyWindow();
}

void CDPopupSelectListDlg::OnDestroy()
{
    if (m_edit && m_edit->GetPopup() == this)
        m_edit->ForgetPopup();
    m_edit = nullptr;
    CWnd::OnDestroy();
}

void CDPopupSelectListDlg::OnKeyDown(UINT key, UINT /*repeat*/, UINT /*flags*/)
{
    const int count = m_list.GetSafeHwnd() ? m_list.GetItemCount() : 0;
    if ((key != VK_UP && key != VK_DOWN) || count == 0) {
        Default();
        return;
    }
    POSITION pos = m_list.GetFirstSelectedItemPosition();
    const int current = pos ? m_list.GetNextSelectedItem(pos) : -1;
    const int next = std::clamp(current + (key == VK_DOWN ? 1 : -1), 0, count - 1);
    m_list.SetItemState(next, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_list.EnsureVisible(next, FALSE);
}

void CDPopupSelectListDlg::PostNcDestroy() { delete this; }
