// CAssignDriveNamesDlg: the modal table of drive address and name pairs the
// user edits for the main frame's drive-name map. Addresses are 0 to 15, 0
// standing for the map's 31 (a single drive on the link); names are letter
// codes "A" to "ZZ" picked from a drop-down.
#pragma once

#include <vector>

#include "DriveLetterNames.h"
#include "controls/DListComboCtrl.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageMap.h"

class CDriveAssignments;

class CAssignDriveNamesDlg : public CDialog, public CDListComboCtrlCB {
public:
    explicit CAssignDriveNamesDlg(CWnd* parent = nullptr);

    static constexpr int kSingleDriveAddress = 31;

    // The map edited; written only by OK.
    void SetMap(CDriveAssignments* map) { m_map = map; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnAdd();
    void OnRemove();
    void OnItemChanged(NMHDR* header, LRESULT* result);

    // CDListComboCtrlCB
    int GetItemSelection(CDListComboCtrl* list, int row, int column) override;
    void OnItemSelectionChanged(CDListComboCtrl* list, int row, int column, int index, BOOL unchanged) override;
    CString GetItemText(CDListComboCtrl* list, int row, int column) override;
    void OnItemTextChanged(CDListComboCtrl*, int, int, CString, BOOL) override {}
    int CanEditItem(CDListComboCtrl* list, LVITEM* item) override;
    int GetColumnEditType(CDListComboCtrl* list, int row, int column) override;

    CDListComboCtrl& GetList() { return m_list; }

private:
    void SetUpList();
    void Fill();
    void AddRow(int address, const CString& name);
    void RefreshButtons();
    std::vector<DriveNameRow> Rows() const;
    void ShowFault(int row, const CString& message, bool addressFault);
    void Save();

    CDListComboCtrl m_list;
    CDriveAssignments* m_map = nullptr;

    DECLARE_MESSAGE_MAP()
};
