// CQvxUpdateChildDlg: a small modeless dialog that a drive window opens (a
// settings or helper dialog). It tells its owner exactly once how it closed
// (1 OK, 2 Cancel, 8 its close box) before its window goes, and deletes
// itself afterwards unless asked to stay.
#pragma once

#include "platform/ui/Dialog.h"

class CGuiUpdateDlg;

enum ChildDialogCloseCode : int {
    kChildClosedOk = 1,
    kChildClosedCancel = 2,
    kChildClosedBox = 8,
};

class CQvxUpdateChildDlg : public CDialog {
public:
    CQvxUpdateChildDlg(UINT templateId, CGuiUpdateDlg* owner, int keepObject = 0);

    // 0 when the window exists already or could not be made; 1 once shown.
    using CDialog::Create;
    int Create();
    int GetChildId() const { return m_childId; }
    void SetChildId(int id) { m_childId = id; }
    CGuiUpdateDlg* GetOwnerDlg() const { return m_pOwner; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnClose();

protected:
    void PostNcDestroy() override;
    void CloseWith(int code);

    int m_childId = -1;
    int m_keepObject = 0;
    CGuiUpdateDlg* m_pOwner = nullptr;

    DECLARE_MESSAGE_MAP()
};
