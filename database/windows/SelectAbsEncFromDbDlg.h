// CSelectAbsEncFromDbDlg: picks an absolute encoder from the encoder table,
// first its manufacturer, then one of that manufacturer's part numbers. The
// caller sets the recordset, runs the dialog and reads the two choices.
#pragma once

#include "controls/DPopupSelectListEditCtrl.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Font.h"

class CQvxDatabaseRecordset;

class CSelectAbsEncFromDbDlg : public CDialog, public CDPopupSelectListEditCtrlCallback {
public:
    explicit CSelectAbsEncFromDbDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnPopupSelection(int ownerId, CString text) override;
    void OnPopupClosed(int) override {}

    void OnManufacturerArrow();
    void OnPartNumberArrow();
    void OnOkButton();

    CString m_manufacturer;
    CString m_model;
    CQvxDatabaseRecordset* m_recordset = nullptr;

protected:
    DECLARE_MESSAGE_MAP()

private:
    enum { kManufacturerOwner = 1, kPartNumberOwner = 2 };

    void ChooseManufacturer(const CString& text);
    void FocusPartNumber();
    void FocusOk();
    bool BothEditsHoldText();

    CDPopupSelectListEditCtrl m_manufacturerEdit;
    CDPopupSelectListEditCtrl m_partNumberEdit;
};
