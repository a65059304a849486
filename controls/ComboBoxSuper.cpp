#include "ComboBoxSuper.h"

#include <cstring>
#include <new>

#include "platform/ui/DC.h"

namespace {
constexpr int kDefaultColumns = 100;
constexpr int kDefaultWidth = 50;
constexpr COLORREF kColumnLine = 0xC0C0C0;
}  // namespace

BEGIN_MESSAGE_MAP(CComboBoxSuper, CComboBox)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CComboBoxSuper::CComboBoxSuper()
{
    m_columnWidths.SetSize(kDefaultColumns);
    for (int i = 0; i < kDefaultColumns; ++i)
        m_columnWidths[i] = kDefaultWidth;
}

CComboBoxSuper::~CComboBoxSuper()
{
    // The window may outlive this object only as a dialog's control: free the records now.
    if (GetSafeHwnd())
        ResetContent();
}

void CComboBoxSuper::OnDestroy()
{
    ResetContent();
    CWnd::OnDestroy();
}

COMBOSUPERITEM* CComboBoxSuper::GetItemRecord(int index)
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    auto* record = reinterpret_cast<COMBOSUPERITEM*>(GetItemDataPtr(index));
    if (record)
        return record;
    record = new (std::nothrow) COMBOSUPERITEM;
    SetItemDataPtr(index, record);  // cleared when memory ran out
    return record;
}

void CComboBoxSuper::ResetColumnWidths()
{
    m_columnWidths.SetSize(1);
    m_columnWidths[0] = kDefaultWidth;
    Invalidate();
}

void CComboBoxSuper::MeasureItem(LPMEASUREITEMSTRUCT /*item*/) {}

void CComboBoxSuper::DeleteItem(LPDELETEITEMSTRUCT item)
{
    if (!item)
        return;
    delete reinterpret_cast<COMBOSUPERITEM*>(item->itemData);
    if (static_cast<int>(item->itemID) < GetCount())
        SetItemDataPtr(static_cast<int>(item->itemID), nullptr);
}

void CComboBoxSuper::DrawItem(LPDRAWITEMSTRUCT item)
{
    if (!item || !item->hDC || static_cast<int>(item->itemID) < 0 || static_cast<int>(item->itemID) >= GetCount())
        return;
    CDC* dc = item->hDC;
    const int index = static_cast<int>(item->itemID);
    const COMBOSUPERITEM* record = reinterpret_cast<const COMBOSUPERITEM*>(GetItemDataPtr(index));
    const COMBOSUPERITEM plain;
    if (!record)
        record = &plain;
    const COLORREF oldText = dc->GetTextColor();
    const COLORREF oldBack = dc->GetBkColor();
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    CRect rect(item->rcItem);
    if (selected) {
        dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
        dc->SetBkColor(GetSysColor(COLOR_HIGHLIGHT));
        dc->FillSolidRect(&rect, GetSysColor(COLOR_HIGHLIGHT));
    } else {
        dc->FillSolidRect(&rect, dc->GetBkColor());
    }
    CRect text = rect;
    text.DeflateRect(1, 1);
    if (m_imageList && m_showIcons) {
        if (record->iIconIndex != -1)
            m_imageList->Draw(dc, record->iIconIndex, text.TopLeft(), ILD_TRANSPARENT);
        text.left += m_imageList->GetIconSize().cx;
    }
    CFont bold;
    CFont* oldFont = nullptr;
    if (record->bBold) {
        LOGFONT lf{};
        if (CFont* current = GetFont())
            current->GetLogFont(&lf);
        else
            std::strcpy(lf.lfFaceName, "MS Sans Serif");
        lf.lfWeight = FW_BOLD;
        bold.CreateFontIndirect(&lf);
        oldFont = dc->SelectObject(&bold);
    }
    if (!(selected && record->crTextColor == 0))
        dc->SetTextColor(record->crTextColor);
    dc->SetBkMode(TRANSPARENT);
    CString itemText;
    GetLBText(index, itemText);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (m_columnWidths.GetSize() < 2) {
        dc->DrawText(itemText, &text, format);
    } else {
        CPen grey;
        grey.CreatePen(PS_SOLID, 1, kColumnLine);
        CPen* oldPen = dc->SelectObject(&grey);
        int before = 0;
        const int columns = static_cast<int>(m_columnWidths.GetSize());
        for (int i = 0; i < columns; ++i) {
            const int x = text.left + before + m_columnWidths[i];
            const bool last = i == columns - 1;
            if (!last) {
                dc->MoveTo(x, text.top);
                dc->LineTo(x, text.bottom);
            }
            CRect cell(text.left + before + 1, text.top, last ? text.right : x, text.bottom);
            if (i == 0) {
                dc->DrawText(itemText, &cell, format);
            } else if (auto found = record->mapStrings.find(i); found != record->mapStrings.end()) {
                dc->DrawText(found->second, &cell, format);
            }
            before += m_columnWidths[i];
        }
        dc->SelectObject(oldPen);
    }
    if (oldFont)
        dc->SelectObject(oldFont);
    dc->SetTextColor(oldText);
    dc->SetBkColor(oldBack);
}
