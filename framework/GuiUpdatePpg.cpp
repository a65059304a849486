#include "GuiUpdatePpg.h"

#include "GuiUpdatePropSheet.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/HelpContext.h"
#include "platform/ui/PropertySheet.h"

IMPLEMENT_DYNAMIC(CGuiUpdatePpg, CGuiUpdateDlg)

BEGIN_MESSAGE_MAP(CGuiUpdatePpg, CGuiUpdateDlg)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CGuiUpdatePpg::CGuiUpdatePpg(UINT templateId) : CGuiUpdateDlg(templateId, nullptr)
{
    m_nIDHelp = templateId;
    m_showToolbar = 0;
    m_restorePlacement = 0;
    m_statusFlags |= kStatusWord | kStatusFault;
    // The sheet's class owns its pages: a page's window going leaves the object.
    m_keepObject = 1;
}

CGuiUpdatePpg::~CGuiUpdatePpg() = default;

CString CGuiUpdatePpg::GetReceiverName() const
{
    const CString sheetName = m_pSheet ? m_pSheet->GetItemName() : CString();
    return sheetName + ":" + GetTabText(this);
}

int CGuiUpdatePpg::GetDrive() const { return m_pSheet ? m_pSheet->GetDrive() : m_drive; }

int CGuiUpdatePpg::ApplyPage()
{
    OnOK();
    return 1;
}

int CGuiUpdatePpg::OnPageActivate()
{
    if (m_pSheet && m_pSheet->GetScroller().IsScrolling()) {
        m_pSheet->ScrollToTop();
    }
    if (m_firstActivation)
        m_firstActivation = 0;
    else
        UpdateData(FALSE);
    return 1;
}

void CGuiUpdatePpg::SetTabText(CGuiUpdatePpg* page, const char* text)
{
    if (!page || !page->m_pSheet)
        return;
    const int index = page->m_pSheet->GetPageIndex(page);
    CTabCtrl* tabs = page->m_pSheet->GetTabControl();
    if (index < 0 || !tabs)
        return;
    tabs->SetItemText(index, text);
}

CString CGuiUpdatePpg::GetTabText(const CGuiUpdatePpg* page)
{
    if (!page)
        return CString();
    CTabCtrl* tabs = page->m_pSheet ? page->m_pSheet->GetTabControl() : nullptr;
    const int index = page->m_pSheet ? page->m_pSheet->GetPageIndex(page) : -1;
    if (!tabs || index < 0) {
        // Before the sheet has tabs: the text the tab will get.
        if (!page->m_caption.IsEmpty())
            return page->m_caption;
        const DialogTemplate* found = AfxFindDialogTemplate(page->m_templateId);
        return found ? found->caption : CString();
    }
    // The tab's text is read into a buffer of 100 characters.
    return tabs->GetItemText(index).Left(99);
}

BOOL CGuiUpdatePpg::OnInitDialog()
{
    AttachToUpdateList();
    CGuiUpdateDlg::OnInitDialog();
    m_background.DeleteObject();
    m_background.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

BOOL CGuiUpdatePpg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && AcceptPendingEntry())
        return TRUE;
    // Help is the page's own, not the sheet's.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1 && AfxRequestHelp(m_nIDHelp))
        return TRUE;
    // The sheet handles the keys.
    CWnd::PreTranslateMessage(msg);
    return FALSE;
}

BOOL CGuiUpdatePpg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (CGuiUpdateDlg::OnNotify(wParam, lParam, result))
        return TRUE;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || (header->hwndFrom != this && header->hwndFrom != GetParent()))
        return FALSE;
    switch (header->code) {
    case PSN_SETACTIVE:
    case PSN_KILLACTIVE:
    case PSN_APPLY:
    case PSN_RESET:
    case PSN_HELP:
    case PSN_QUERYCANCEL:
    case PSN_WIZBACK:
    case PSN_WIZNEXT:
    case PSN_WIZFINISH:
        *result = OnPageNotify(header->code);
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CGuiUpdatePpg::OnPageNotify(UINT code)
{
    switch (code) {
    case PSN_SETACTIVE: return OnPageActivate() ? 0 : -1;
    case PSN_KILLACTIVE: return OnPageDeactivate() ? 0 : 1;
    case PSN_APPLY: return ApplyPage() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
    case PSN_RESET: ResetPage(); return 0;
    case PSN_HELP: AfxRequestHelp(m_nIDHelp); return 0;
    case PSN_QUERYCANCEL: return QueryCancelPage() ? 0 : 1;
    case PSN_WIZBACK: return WizardBack();
    case PSN_WIZNEXT: return WizardNext();
    case PSN_WIZFINISH: return FinishPageEx();
    default: return 0;
    }
}

HBRUSH CGuiUpdatePpg::OnCtlColor(CDC* /*dc*/, CWnd* /*child*/, UINT type)
{
    if (type == CTLCOLOR_DLG && m_background.GetSafeHandle())
        return m_background;
    return reinterpret_cast<HBRUSH>(Default());
}

void CGuiUpdatePpg::PostNcDestroy()
{
    m_background.DeleteObject();
    CGuiUpdateDlg::PostNcDestroy();
}
