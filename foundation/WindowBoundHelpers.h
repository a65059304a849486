// Helpers bound to windows and controls: list columns, combo selection by
// item data, text updates that avoid flicker, gradients, the folder picker.
#pragma once

#include "platform/ui/ComboBox.h"
#include "platform/ui/DC.h"
#include "platform/ui/ListCtrl.h"

void SetListColumnWidthsByRatio(CListCtrl& list);
void FitListColumnWidth(CListCtrl& list, int column, int minimum);
void ScrollListToItem(int item, CListCtrl& list);
int ClearListSelection(CListCtrl& list);
int FindListItemByDataKind(CListCtrl& list);
void SetWindowTextInt(CWnd* window, int value);
void SetWindowTextIfChanged(CWnd* window, const char* text);
int PumpMessages();
int DrawGradientRect(COLORREF first, COLORREF second, CDC* dc, int left, int top, int right, int bottom);
int SelectComboItemByData(CComboBox& combo, DWORD_PTR value, BOOL clearWhenMissing);
int GetComboSelectedData(CComboBox& combo, int& value);
CString GetComboSelectedText(CComboBox& combo);
int BrowseForFolder(const char* title, CWnd* owner, CString& path);
