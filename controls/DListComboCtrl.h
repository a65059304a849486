// CDListComboCtrl: the report grid with cell editors that pick a value: a
// drop-down list, a drop-down tree of path-like choices, or an edit box. The
// owner answers for each cell through CDListComboCtrlCB. Cells that open a
// drop-down can show a drop-down arrow at their right end.
#pragma once

#include "DListComboCtrlCB.h"
#include "ReportCtrl.h"
#include "foundation/MapIntToStringList.h"
#include "platform/core/Map.h"

class CComboBox;
class CInPlaceEdit;
class CInPlaceList;
class CInPlaceTree;

constexpr UINT IDC_INPLACE_LIST = 10001;
constexpr UINT IDC_INPLACE_EDIT = 55000;

class CDListComboCtrl : public CReportCtrl {
public:
    CDListComboCtrl() = default;

    // Choices: make a column's list, then append its strings (-1 when no list was made).
    CStringList* AddComboList(int column) { return m_choices.AddList(column); }
    int AddComboString(const char* text) { return m_choices.AddString(text); }
    CStringList* GetComboList(int column) const;
    // Column -1 removes every arrow; row -1 puts arrows on every row.
    void SetComboCell(int column, int row);
    void SetTreeDropSize(int column, int width, int height);
    void LockRow(int row);
    BOOL IsRowLocked(int row) const;
    void SetCallback(CDListComboCtrlCB* callback) { m_callback = callback; }
    CDListComboCtrlCB* GetCallback() const { return m_callback; }
    int GetEditorKind() const { return m_editorKind; }
    BOOL IsEditorClosed() const { return m_editorClosed; }
    void SetEditorClosed(BOOL closed);

    CInPlaceList* ShowInPlaceList(int row, int column, const CStringList& strings, int initial);
    CInPlaceTree* ShowInPlaceTree(int row, int column, const CStringList& strings, int initial);
    CInPlaceEdit* ShowInPlaceEdit(int row, int column, const char* text);

    // The editors' end of editing (LVN_ENDLABELEDIT through the parent); text null when cancelled.
    void SendEndEdit(UINT editorId, int row, int column, const char* text, int index);

    BOOL CanEditSubItem(int row, int column) override;
    void OnEndEdit(int row, int column, CString text, BOOL changed) override;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnButton(UINT message, UINT flags, CPoint point) override;
    void OnVScroll(UINT code, UINT position, CWnd* bar);
    void OnHScroll(UINT code, UINT position, CWnd* bar);
    void OnBeginLabelEdit(NMHDR* header, LRESULT* result);
    void OnEndLabelEdit(NMHDR* header, LRESULT* result);
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    // Where an editor goes over the cell; false when the cell cannot hold one.
    bool PlaceEditor(int row, int column, CRect& rect);
    // Creates a drop-down editor over the cell, one row high; false (editor not made) when it cannot.
    bool CreateDropDownEditor(CComboBox* editor, int row, int column);
    void DrawArrow(NMLVCUSTOMDRAW* draw);

    CMapIntToStringList m_choices;
    CMap<int, int, int, int> m_treeDropWidth;
    CMap<int, int, int, int> m_treeDropHeight;
    CList<int, int> m_lockedRows;
    CList<int, int> m_arrowColumns;
    CList<int, int> m_arrowRows;
    int m_editorKind = -1;
    BOOL m_editorClosed = TRUE;
    CDListComboCtrlCB* m_callback = nullptr;
};
