#include "database/windows/SelectAbsEncFromDbDlg.h"

#include "database/QvxDatabaseRecordset.h"
#include "platform/ui/MsgBox.h"
#include "resources/ids/SelectAbsEncFromDbIds.h"

BEGIN_MESSAGE_MAP(CSelectAbsEncFromDbDlg, CDialog)
    ON_BN_CLICKED(IDC_SAE_MANUFACTURER_ARROW, &CSelectAbsEncFromDbDlg::OnManufacturerArrow)
    ON_BN_CLICKED(IDC_SAE_PART_NUMBER_ARROW, &CSelectAbsEncFromDbDlg::OnPartNumberArrow)
    ON_BN_CLICKED(IDC_SAE_OK, &CSelectAbsEncFromDbDlg::OnOkButton)
    ON_COMMAND(IDC_SAE_FOCUS_PART_NUMBER, &CSelectAbsEncFromDbDlg::FocusPartNumber)
    ON_COMMAND(IDC_SAE_FOCUS_OK, &CSelectAbsEncFromDbDlg::FocusOk)
END_MESSAGE_MAP()

CSelectAbsEncFromDbDlg::CSelectAbsEncFromDbDlg(CWnd* parent) : CDialog(IDD_SELECT_ABS_ENC_FROM_DB, parent) {}

BOOL CSelectAbsEncFromDbDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_manufacturerEdit.SubclassDlgItem(IDC_SAE_MANUFACTURER, this);
    m_partNumberEdit.SubclassDlgItem(IDC_SAE_PART_NUMBER, this);
    if (m_recordset)
        m_recordset->GetDistinctValues(m_manufacturerEdit.GetChoices(), "Manufacturer", TRUE);
    m_manufacturerEdit.SetCallback(this, kManufacturerOwner);
    m_partNumberEdit.SetCallback(this, kPartNumberOwner);
    m_manufacturerEdit.SetFocus();
    return FALSE;
}

void CSelectAbsEncFromDbDlg::OnPopupSelection(int ownerId, CString text)
{
    if (ownerId == kManufacturerOwner) {
        ChooseManufacturer(text);
        return;
    }
    if (ownerId == kPartNumberOwner) {
        m_model = text;
        if (BothEditsHoldText())
            PostMessage(WM_COMMAND, IDC_SAE_FOCUS_OK);
    }
}

void CSelectAbsEncFromDbDlg::ChooseManufacturer(const CString& text)
{
    CStringList& models = m_partNumberEdit.GetChoices();
    models.RemoveAll();
    if (m_recordset) {
        m_recordset->Requery(nullptr, "Manufacturer", text, 0);
        m_recordset->GetDistinctValues(models, "Model", TRUE);
        m_recordset->Requery(nullptr, "", "");
    }
    m_manufacturer = text;
    PostMessage(WM_COMMAND, IDC_SAE_FOCUS_PART_NUMBER);
}

void CSelectAbsEncFromDbDlg::FocusPartNumber()
{
    // Emptied here, not in the choice: a change opens the edit's own popup, which
    // would take the focus from the manufacturer popup while it is still ending.
    m_partNumberEdit.SetWindowText("");
    m_partNumberEdit.ClosePopup();
    GotoDlgCtrl(&m_partNumberEdit);
}

void CSelectAbsEncFromDbDlg::FocusOk() { GotoDlgCtrl(GetDlgItem(IDC_SAE_OK)); }

bool CSelectAbsEncFromDbDlg::BothEditsHoldText()
{
    CString manufacturer;
    CString model;
    m_manufacturerEdit.GetWindowText(manufacturer);
    m_partNumberEdit.GetWindowText(model);
    return !manufacturer.IsEmpty() && !model.IsEmpty();
}

void CSelectAbsEncFromDbDlg::OnManufacturerArrow()
{
    CString typed;
    m_manufacturerEdit.GetWindowText(typed);
    m_manufacturerEdit.ShowPopupList("", typed);
}

void CSelectAbsEncFromDbDlg::OnPartNumberArrow()
{
    CString manufacturer;
    m_manufacturerEdit.GetWindowText(manufacturer);
    if (manufacturer.IsEmpty() || m_partNumberEdit.GetChoices().IsEmpty()) {
        AfxMessageBox("Please select an available Encoder Manufacturer.");
        return;
    }
    CString typed;
    m_partNumberEdit.GetWindowText(typed);
    m_partNumberEdit.ShowPopupList("", typed);
}

void CSelectAbsEncFromDbDlg::OnOkButton() { EndDialog(IDOK); }

void CSelectAbsEncFromDbDlg::OnOK()
{
    // Enter closes only once both choices are shown; the OK button always closes.
    if (BothEditsHoldText())
        EndDialog(IDOK);
}
