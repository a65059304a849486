// CEditSubmitterDlg: asks who submits the encoder records to the cloud service.
#pragma once

#include "platform/ui/Dialog.h"

class CEditSubmitterDlg : public CDialog {
public:
    explicit CEditSubmitterDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;

    CString m_submitter;
};
