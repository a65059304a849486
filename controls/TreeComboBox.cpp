#include "TreeComboBox.h"

#include <algorithm>

namespace {
constexpr DWORD kTreeStyle = WS_POPUP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
}  // namespace

BEGIN_MESSAGE_MAP(CTreeComboBox, CComboBox)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_TREECOMBO_CLOSE, &CTreeComboBox::OnCloseDropDown)
END_MESSAGE_MAP()

CTreeComboBox::CTreeComboBox() { m_tree.SetCombo(this); }

CTreeComboBox::~CTreeComboBox() { m_tree.DestroyWindow(); }

int CTreeComboBox::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    // The tree is a popup of the combo's parent, so it can reach past the parent's edges.
    if (!m_tree.CreateEx(WS_EX_TOOLWINDOW, kTreeStyle, CRect(0, 0, 0, 0), GetParent(), 0))
        return -1;
    m_tree.SetFont(GetFont(), FALSE);
    CRect client;
    GetClientRect(&client);
    m_dropWidth = client.Width();
    return 0;
}

void CTreeComboBox::OnDestroy()
{
    m_tree.DestroyWindow();
    CWnd::OnDestroy();
}

HTREEITEM CTreeComboBox::AddItem(const char* path, char separator, HTREEITEM parent)
{
    const CString whole = path ? path : "";
    const int split = whole.Find(separator);
    const CString head = split < 0 ? whole : whole.Left(split);
    const CString rest = split < 0 ? CString() : whole.Mid(split + 1);
    HTREEITEM found = nullptr;
    for (HTREEITEM child = m_tree.GetChildItem(parent); child; child = m_tree.GetNextSiblingItem(child))
        if (m_tree.GetItemText(child) == head) {
            found = child;
            break;
        }
    if (!found)
        found = m_tree.InsertItem(head, parent, TVI_LAST);
    if (!found || split < 0)
        return found;
    return AddItem(rest, separator, found);
}

void CTreeComboBox::ShowDropDown()
{
    CRect combo;
    GetWindowRect(&combo);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    int height = m_dropHeight;
    int topLevel = 0;
    for (HTREEITEM item = m_tree.GetRootItem(); item; item = m_tree.GetNextSiblingItem(item))
        ++topLevel;
    if (topLevel > 1) {
        const int wanted = std::min(topLevel * (m_tree.GetItemHeight() + edge / 2), screenHeight / 2);
        height = std::max(height, wanted);
    }
    CRect drop;
    if (screenHeight < GetSystemMetrics(SM_CYCAPTION) + combo.bottom + height)
        drop.SetRect(combo.left, combo.top - height - edge, combo.left + m_dropWidth, combo.top - edge + 1);
    else
        drop.SetRect(combo.left, combo.bottom, combo.left + m_dropWidth, combo.bottom + height);
    m_tree.PlaceDropDown(drop.left, drop.top, drop.right, drop.bottom);
}

void CTreeComboBox::SetText(const char* text)
{
    ResetContent();
    AddString(text);
    SetCurSel(0);
}

void CTreeComboBox::OnLButtonDown(UINT /*flags*/, CPoint /*point*/)
{
    // The combo's own list never opens: the tree does.
    const BOOL wasDropped = m_dropped;
    m_dropped = !m_dropped;
    if (!wasDropped)
        ShowDropDown();
}

void CTreeComboBox::OnKeyDown(UINT key, UINT /*repeat*/, UINT /*flags*/)
{
    if (key == VK_DOWN || key == VK_F4) {
        m_dropped = TRUE;
        ShowDropDown();
        return;
    }
    Default();
}

LRESULT CTreeComboBox::OnCloseDropDown(WPARAM choice, LPARAM)
{
    if (!m_tree.IsWindowVisible() && !m_dropped)
        return 0;  // already closed: the tree's focus loss follows a choice
    m_dropped = FALSE;
    CWnd* parent = GetParent();
    if (choice && parent)
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID()), CBN_CLOSEUP),
                            reinterpret_cast<LPARAM>(this));
    if (!GetSafeHwnd())
        return 0;
    m_tree.ShowWindow(SW_HIDE);
    m_tree.SendMessage(TTM_POP, 0, 0);
    if (GetCount() > 0)
        SetCurSel(0);
    PostMessage(WM_CLOSE, 0, 0);
    return 0;
}
