// CQvxComboBoxTarget: a real combo box as the target a recordset fills.
#pragma once

#include "database/QvxDatabaseComboTarget.h"
#include "platform/ui/ComboBox.h"

class CQvxComboBoxTarget : public CQvxDatabaseComboTarget {
public:
    explicit CQvxComboBoxTarget(CComboBox& combo) : m_combo(combo) {}
    void ResetContent() override { m_combo.ResetContent(); }
    int AddString(const char* text) override { return m_combo.AddString(text); }
    void SetItemData(int index, DWORD_PTR data) override { m_combo.SetItemData(index, data); }
    bool SelectItemByData(DWORD_PTR data) override;

private:
    CComboBox& m_combo;
};
