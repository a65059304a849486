#include "QvxDatabaseNavCombo.h"

#include "QvxComboBoxTarget.h"

BEGIN_MESSAGE_MAP(CQvxDatabaseNavCombo, CComboBox)
    ON_CONTROL_REFLECT(CBN_SELCHANGE, &CQvxDatabaseNavCombo::OnSelChange)
END_MESSAGE_MAP()

CQvxDatabaseNavCombo::~CQvxDatabaseNavCombo()
{
    CQvxDatabaseRecordsetClient::SetRecordset(nullptr);
}

BOOL CQvxDatabaseNavCombo::SetRecordset(CQvxDatabaseRecordset* recordset)
{
    CList<int, int> one;
    one.AddTail(1);
    return SetRecordsetColumns(recordset, one);
}

BOOL CQvxDatabaseNavCombo::SetRecordsetColumns(CQvxDatabaseRecordset* recordset, const CList<int, int>& columnList)
{
    CQvxDatabaseRecordsetClient::SetRecordset(recordset);
    columns.RemoveAll();
    columns.AddTail(&columnList);
    if (!recordset)
        return FALSE;
    return Refill();
}

BOOL CQvxDatabaseNavCombo::SetRecordsetFields(const CStringList& fieldNames, CQvxDatabaseRecordset* recordset)
{
    if (!recordset || !recordset->table)
        return FALSE;
    CList<int, int> columnList;
    for (POSITION pos = fieldNames.GetHeadPosition(); pos;) {
        const int column = recordset->table->fields.FindField(fieldNames.GetNext(pos));
        if (column < 0)
            return FALSE;
        columnList.AddTail(column);
    }
    return SetRecordsetColumns(recordset, columnList);
}

void CQvxDatabaseNavCombo::DetachRecordset()
{
    CQvxDatabaseRecordsetClient::SetRecordset(nullptr);
    columns.RemoveAll();
    if (GetSafeHwnd())
        ResetContent();
}

BOOL CQvxDatabaseNavCombo::Refill()
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (!recordset || !GetSafeHwnd())
        return FALSE;
    CQvxComboBoxTarget target(*this);
    return recordset->FillComboBox(target, columns, kSeparator);
}

void CQvxDatabaseNavCombo::OnFieldValueSet(int column, const char* value)
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    const int selected = GetSafeHwnd() ? GetCurSel() : -1;
    if (!recordset || selected < 0)
        return;
    CString text;
    bool first = true;
    for (POSITION pos = columns.GetHeadPosition(); pos;) {
        const int shown = columns.GetNext(pos);
        CString part;
        if (shown == column)
            part = value;
        else
            recordset->GetFieldValueAt(TRUE, shown, part);
        if (!first)
            text += kSeparator;
        first = false;
        text += part;
    }
    const DWORD_PTR data = GetItemData(selected);
    DeleteString(static_cast<UINT>(selected));
    const int index = InsertString(selected, text);
    SetItemData(index, data);
    // By index, not by text: another item may begin with the same text.
    SetCurSel(index);
}

void CQvxDatabaseNavCombo::OnSelChange()
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    const int selected = GetCurSel();
    if (recordset && selected >= 0)
        recordset->SelectByRowKey(reinterpret_cast<POSITION>(GetItemData(selected)));
}
