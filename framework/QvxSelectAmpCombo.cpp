#include "QvxSelectAmpCombo.h"

#include <algorithm>
#include <vector>

#include "platform/ui/ComboBoxWidth.h"

namespace {
// A drive's name is never cut: the selector grows to the longest one listed.
void WidenToNames(CComboBox& selector)
{
    CRect rect;
    selector.GetWindowRect(&rect);
    const int width = AfxGetComboFittingWidth(selector);
    if (width > rect.Width())
        selector.SetWindowPos(nullptr, 0, 0, width, rect.Height(), SWP_NOMOVE | SWP_NOZORDER);
}
}  // namespace

BOOL CQvxSelectAmpCombo::CreateSelector(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!m_font.GetSafeHandle() &&
        !m_font.CreateFont(-10, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif"))
        return FALSE;
    if (!Create(style | WS_CHILD, rect, parent, id))
        return FALSE;
    SetFont(&m_font);
    return TRUE;
}

void CQvxSelectAmpCombo::SelectByData(int address)
{
    for (int i = 0; i < GetCount(); ++i)
        if (static_cast<int>(GetItemData(i)) == address) {
            SetCurSel(i);
            return;
        }
    SetCurSel(-1);
}

void CQvxSelectAmpCombo::FillList()
{
    ResetContent();
    int current = -1;
    if (m_pCallback) {
        CList<CAmplifierData> drives;
        m_pCallback->ForwardToolbarInfo(drives, current);
        std::vector<CAmplifierData> sorted;
        for (POSITION pos = drives.GetHeadPosition(); pos;)
            sorted.push_back(drives.GetNext(pos));
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const CAmplifierData& a, const CAmplifierData& b) { return a.m_address < b.m_address; });
        for (const CAmplifierData& drive : sorted) {
            const int index = AddString(drive.m_name);
            SetItemData(index, static_cast<DWORD_PTR>(drive.m_address));
        }
    }
    SelectByData(current);
    m_previousSelection = GetCurSel();
    WidenToNames(*this);
}

void CQvxSelectAmpCombo::RefreshKeepingSelection()
{
    const int selection = GetCurSel();
    const int before = selection >= 0 ? static_cast<int>(GetItemData(selection)) : -1;
    FillList();
    // The window's own drive wins: the selector names the drive in the title,
    // so it must never show another one while the window's drive is listed.
    if (GetCurSel() < 0 && selection >= 0)
        SelectByData(before);
    m_previousSelection = GetCurSel();
}

void CQvxSelectAmpCombo::OnSelectionChange()
{
    if (!m_pCallback)
        return;
    if (m_pCallback->OnAmpSelected(GetSelectedText())) {
        m_previousSelection = GetCurSel();
        return;
    }
    SetCurSel(m_previousSelection);
    m_pCallback->OnAmpListChanged();
}

CString CQvxSelectAmpCombo::GetSelectedText() const
{
    CString text;
    const int selection = GetCurSel();
    if (selection >= 0)
        GetLBText(selection, text);
    return text;
}
