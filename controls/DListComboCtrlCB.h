// CDListComboCtrlCB: what the owner of a list-combo control says about each
// cell: which editor opens, what it starts with, whether it may be edited,
// and which values were committed. An operation the owner does not override
// logs that it was missed and answers 0 or an empty text.
#pragma once

#include "platform/core/String.h"
#include "platform/ui/ControlTypes.h"

class CDListComboCtrl;

// GetColumnEditType answers.
constexpr int LCC_EDIT_LIST = 0;
constexpr int LCC_EDIT_LIST_ALT = 1;
constexpr int LCC_EDIT_TREE = 2;
constexpr int LCC_EDIT_TEXT = 3;

class CDListComboCtrlCB {
public:
    virtual ~CDListComboCtrlCB() = default;
    virtual int GetItemSelection(CDListComboCtrl* list, int row, int column);
    virtual void OnItemSelectionChanged(CDListComboCtrl* list, int row, int column, int index, BOOL unchanged);
    virtual CString GetItemText(CDListComboCtrl* list, int row, int column);
    virtual void OnItemTextChanged(CDListComboCtrl* list, int row, int column, CString text, BOOL unchanged);
    // Non-zero rejects the value: nothing is written and nothing else is called.
    virtual int PreCommitEdit(CDListComboCtrl* list, LVITEM* item);
    // Non-zero lets the grid's own edit box open on the cell.
    virtual int CanEditItem(CDListComboCtrl* list, LVITEM* item);
    virtual int GetColumnEditType(CDListComboCtrl* list, int row, int column);
};
