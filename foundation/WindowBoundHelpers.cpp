#include "WindowBoundHelpers.h"

#include "platform/ui/FolderPickerDialog.h"
#include "platform/ui/WinApp.h"

namespace {
// Column shares of the client width; index 0 takes what the others leave.
const double kColumnRatios[] = {0.0, 0.07, 0.17, 0.19, 0.19, 0.19};
}  // namespace

void SetListColumnWidthsByRatio(CListCtrl& list)
{
    CRect client;
    list.GetClientRect(&client);
    const int width = client.Width();
    const int columns = list.GetHeaderCtrl()->GetItemCount();
    int others = 0;
    for (int i = 1; i < columns; ++i) {
        // Columns past the table keep their width rather than read beyond it.
        const int w = i < static_cast<int>(_countof(kColumnRatios)) ? static_cast<int>(kColumnRatios[i] * width)
                                                                     : list.GetColumnWidth(i);
        list.SetColumnWidth(i, w);
        others += w;
    }
    if (columns > 0)
        list.SetColumnWidth(0, std::max(0, width - others));
}

void FitListColumnWidth(CListCtrl& list, int column, int minimum)
{
    CRect client;
    list.GetClientRect(&client);
    int others = 0;
    for (int i = 0; i < list.GetHeaderCtrl()->GetItemCount(); ++i)
        if (i != column)
            others += list.GetColumnWidth(i);
    list.SetColumnWidth(column, std::max(minimum, client.Width() - others));
}

void ScrollListToItem(int item, CListCtrl& list)
{
    if (list.GetItemCount() == 0)
        return;
    CRect row;
    if (!list.GetItemRect(0, &row, LVIR_BOUNDS))
        return;
    list.Scroll(CSize(0, row.Height() * (item - list.GetTopIndex())));
}

int ClearListSelection(CListCtrl& list)
{
    for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = list.GetNextItem(i, LVNI_SELECTED))
        list.SetItemState(i, 0, LVIS_SELECTED | LVIS_DROPHILITED);
    return 0;
}

int FindListItemByDataKind(CListCtrl& list)
{
    for (int i = 0; i < list.GetItemCount(); ++i) {
        const auto* record = reinterpret_cast<const std::int32_t*>(list.GetItemData(i));
        if (record && *record == 11)  // rows without a record are passed over
            return i;
    }
    return -1;
}

void SetWindowTextInt(CWnd* window, int value)
{
    if (!window)
        return;
    CString text;
    text.Format("%d", value);
    SetWindowTextIfChanged(window, text);
}

void SetWindowTextIfChanged(CWnd* window, const char* text)
{
    if (!window || !window->GetSafeHwnd())
        return;
    CString current;
    window->GetWindowText(current);
    // The whole text is compared, so a long text that only begins alike is still replaced.
    if (current != (text ? text : ""))
        window->SetWindowText(text);
}

int PumpMessages()
{
    AfxPumpMessages();
    return 0;
}

int DrawGradientRect(COLORREF first, COLORREF second, CDC* dc, int left, int top, int right, int bottom)
{
    if (!dc)
        return 1;
    TRIVERTEX vertices[2] = {
        {left, top, static_cast<COLOR16>(GetRValue(second) << 8), static_cast<COLOR16>(GetGValue(second) << 8),
         static_cast<COLOR16>(GetBValue(second) << 8), 0},
        {right, bottom, static_cast<COLOR16>(GetRValue(first) << 8), static_cast<COLOR16>(GetGValue(first) << 8),
         static_cast<COLOR16>(GetBValue(first) << 8), 0},
    };
    GRADIENT_RECT rect{0, 1};
    dc->GradientFill(vertices, 2, &rect, 1, GRADIENT_FILL_RECT_V);
    return 1;
}

int SelectComboItemByData(CComboBox& combo, DWORD_PTR value, BOOL clearWhenMissing)
{
    for (int i = 0; i < combo.GetCount(); ++i)
        if (combo.GetItemData(i) == value) {
            combo.SetCurSel(i);
            return 1;
        }
    if (clearWhenMissing)
        combo.SetCurSel(-1);
    return 0;
}

int GetComboSelectedData(CComboBox& combo, int& value)
{
    const int selected = combo.GetCurSel();
    if (selected < 0)
        return 0;
    value = static_cast<int>(combo.GetItemData(selected));
    return 1;
}

CString GetComboSelectedText(CComboBox& combo)
{
    CString text;
    const int selected = combo.GetCurSel();
    if (selected >= 0)
        combo.GetLBText(selected, text);
    return text;
}

int BrowseForFolder(const char* title, CWnd* owner, CString& path)
{
    CFolderPickerDialog picker(path, 0, owner);
    picker.m_title = title;
    if (picker.DoModal() != IDOK || picker.GetPathName().IsEmpty())
        return 0;
    path = picker.GetPathName();
    return 1;
}
