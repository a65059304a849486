// CAddManufacturerDlg: asks the name of a manufacturer new to the encoder table.
#pragma once

#include "platform/ui/Dialog.h"

class CAddManufacturerDlg : public CDialog {
public:
    explicit CAddManufacturerDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;

    CString m_manufacturer;
};
