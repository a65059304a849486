// CGuiUpdatePpg: one page of a tabbed drive window. It is a drive window of
// its own in the open-window list (own queries, status polls), without a
// toolbar, always on its sheet's drive, and hears the sheet's page
// notifications (activation, apply, cancel) through the operations below.
#pragma once

#include "GuiUpdateDlg.h"
#include "platform/ui/Brush.h"

class CArchive;
class CDPropertyList;
class CGuiUpdatePropSheet;


class CGuiUpdatePpg : public CGuiUpdateDlg {
    DECLARE_DYNAMIC(CGuiUpdatePpg)

public:
    explicit CGuiUpdatePpg(UINT templateId);
    ~CGuiUpdatePpg() override;

    // CGuiUpdateItem
    CString GetReceiverName() const override;
    int IsMovableWindow() override { return 0; }
    int GetDrive() const override;

    virtual int ApplyPage();
    virtual void ResetPage() { CGuiUpdateDlg::OnCancel(); }
    virtual int OnPageActivate();
    virtual int OnPageDeactivate() { return UpdateData(TRUE); }
    virtual int QueryCancelPage() { return 1; }
    virtual int WizardBack() { return 0; }
    virtual int WizardNext() { return 0; }
    virtual int FinishPage() { return UpdateData(TRUE) ? 1 : 0; }
    virtual int FinishPageEx() { return FinishPage() ? 0 : 1; }
    virtual void SerializePageLayout(CArchive& /*ar*/, int /*version*/) {}
    virtual void ExchangeSheetProperties(CDPropertyList& /*bag*/, int /*loading*/) {}
    // The Enter key on a page: 1 when a bound control took it.
    virtual int AcceptPendingEntry() { return m_controls.AcceptPendingEntry(); }

    // Tab text of a page in its sheet's tab control.
    static void SetTabText(CGuiUpdatePpg* page, const char* text);
    static CString GetTabText(const CGuiUpdatePpg* page);

    void SetCaption(const char* caption) { m_caption = caption; }
    CString GetCaption() const { return m_caption; }
    void SetHeaderTitle(const char* title) { m_headerTitle = title; }
    void SetHeaderSubTitle(const char* subTitle) { m_headerSubTitle = subTitle; }
    CString GetHeaderTitle() const { return m_headerTitle; }
    CString GetHeaderSubTitle() const { return m_headerSubTitle; }
    CGuiUpdatePropSheet* GetSheet() const { return m_pSheet; }
    void SetSheet(CGuiUpdatePropSheet* sheet) { m_pSheet = sheet; }
    int IsFirstActivation() const { return m_firstActivation; }

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    HBRUSH OnCtlColor(CDC* dc, CWnd* child, UINT type);

protected:
    void PostNcDestroy() override;

private:
    LRESULT OnPageNotify(UINT code);

    CString m_caption;
    CString m_headerTitle;
    CString m_headerSubTitle;
    int m_firstActivation = 1;
    CBrush m_background;
    CGuiUpdatePropSheet* m_pSheet = nullptr;

    DECLARE_MESSAGE_MAP()
};
