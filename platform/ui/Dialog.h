// CDialog: a window built from a dialog template, modal (DoModal/EndDialog)
// or modeless (Create). Enter runs the default button's command (IDOK unless
// set otherwise), Escape and the close button run IDCANCEL; the default
// OnOK takes the dialog's data (UpdateData) and ends with IDOK. A template
// that names a menu gives the dialog a menu bar (GetMenu); its commands come
// as WM_COMMAND and its items follow ON_UPDATE_COMMAND_UI handlers.
#pragma once

#include <memory>

#include "DataExchange.h"
#include "Font.h"
#include "Wnd.h"

struct DialogTemplate;
class CMenuResource;

class CDialog : public CWnd {
public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Modeless.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Modeless, from a template built in memory; `size` bounds what is read.
    BOOL CreateIndirect(LPCDLGTEMPLATE dialogTemplate, CWnd* parent = nullptr, size_t size = 65536);
    // Modeless, from a template the caller has (a copy with its own font, say).
    BOOL CreateIndirect(const DialogTemplate& dialog, CWnd* parent = nullptr);
    // Modal: returns the EndDialog result, or -1 when the dialog could not be made.
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    BOOL IsModal() const { return m_modal; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* dx);

    void SetDefID(UINT id);
    DWORD GetDefID() const;
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* control);
    UINT GetTemplateId() const { return m_templateId; }

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // F1 asks for this dialog's help (HelpContext.h).
    BOOL PreTranslateMessage(MSG* msg) override;

    // The help id: the template's id unless the dialog sets another.
    UINT m_nIDHelp = 0;

protected:
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    UINT m_templateId = 0;
    CWnd* m_pParentWnd = nullptr;
    int m_nModalResult = -1;

private:
    BOOL CreateFromTemplate(const DialogTemplate& dialog, CWnd* parent, bool modal);
    bool AttachTemplateMenu(UINT menuId);
    bool m_modal = false;
    bool m_ended = false;
    bool m_inLoop = false;
    UINT m_defId = 1;
    CFont m_font;
    std::unique_ptr<CMenuResource> m_menu;

    DECLARE_MESSAGE_MAP()
};
