#include "Dialog.h"

#include "HelpContext.h"

#include <QApplication>
#include <QDialog>
#include <cstring>
#include <QTimer>
#include <deque>
#include <mutex>

#include "Button.h"
#include "DCImpl.h"
#include "ComboBox.h"
#include "ComboBoxPrivate.h"
#include "DialogTemplate.h"
#include "DialogTemplateBinary.h"
#include "Edit.h"
#include "HelpContext.h"
#include "ListBox.h"
#include "ListCtrl.h"
#include "MenuResource.h"
#include "ProgressCtrl.h"
#include "RichEditCtrl.h"
#include "SpinButtonCtrl.h"
#include "Static.h"
#include "TabCtrl.h"
#include "UserInput.h"
#include "WndImpl.h"
#include "platform/core/DebugLog.h"

namespace {
std::mutex g_modalMutex;
std::deque<std::function<void(CWnd*)>> g_modalActions;
int g_modalTimeoutMs = 0;

CWnd* MakeControlObject(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Button:
    case ControlKind::GroupBox: return new CButton;
    case ControlKind::Edit: return new CEdit;
    case ControlKind::Static: return new CStatic;
    case ControlKind::ComboBox: return new CComboBox;
    case ControlKind::ListBox: return new CListBox;
    case ControlKind::ListView: return new CListCtrl;
    case ControlKind::Progress: return new CProgressCtrl;
    case ControlKind::Spin: return new CSpinButtonCtrl;
    case ControlKind::Tab: return new CTabCtrl;
    case ControlKind::RichEdit: return new CRichEditCtrl;
    default: return new CWnd;
    }
}

std::function<void(CWnd*)> TakeModalAction()
{
    std::lock_guard<std::mutex> guard(g_modalMutex);
    if (g_modalActions.empty())
        return nullptr;
    auto action = std::move(g_modalActions.front());
    g_modalActions.pop_front();
    return action;
}
}  // namespace

namespace kvtest {
void OnNextModal(std::function<void(CWnd*)> action)
{
    std::lock_guard<std::mutex> guard(g_modalMutex);
    g_modalActions.push_back(std::move(action));
}

void SetModalTimeout(int ms) { g_modalTimeoutMs = ms; }
}  // namespace kvtest

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
    ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDHelp(templateId), m_templateId(templateId), m_pParentWnd(parent) {}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1 && AfxRequestHelp(m_nIDHelp))
        return TRUE;
    return CWnd::PreTranslateMessage(msg);
}

CDialog::~CDialog() = default;

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    m_templateId = templateId;
    if (parent)
        m_pParentWnd = parent;
    const DialogTemplate* dialog = AfxFindDialogTemplate(templateId);
    if (!dialog) {
        AfxDebugLog("Dialog template %u not found", templateId);
        return FALSE;
    }
    return CreateFromTemplate(*dialog, m_pParentWnd, false);
}

BOOL CDialog::CreateIndirect(const DialogTemplate& dialog, CWnd* parent)
{
    m_templateId = dialog.id;
    if (parent)
        m_pParentWnd = parent;
    return CreateFromTemplate(dialog, m_pParentWnd, false);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE dialogTemplate, CWnd* parent, size_t size)
{
    DialogTemplate dialog;
    CString error;
    if (!ReadBinaryDialogTemplate(dialogTemplate, size, dialog, error)) {
        AfxDebugLog("Dialog template in memory refused: %s", error.GetString());
        return FALSE;
    }
    if (parent)
        m_pParentWnd = parent;
    return CreateFromTemplate(dialog, m_pParentWnd, false);
}

namespace {
// The font a control's template names for it alone; it lives as long as the control's
// window. Null when the control takes the dialog's font.
CFont* OwnFontOf(const DialogControlTemplate& control, CWnd* wnd)
{
    if (control.pointSize <= 0 || !wnd->GetImpl() || !wnd->GetImpl()->widget)
        return nullptr;
    LOGFONT lf{};
    lf.lfHeight = -MulDiv(control.pointSize, 96, 72);
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, control.faceName, LF_FACESIZE - 1);
    auto* font = new CFont;
    if (!font->CreateFontIndirect(&lf)) {
        delete font;
        return nullptr;
    }
    QObject::connect(wnd->GetImpl()->widget, &QObject::destroyed, [font]() { delete font; });
    return font;
}
}  // namespace

BOOL CDialog::CreateFromTemplate(const DialogTemplate& dialog, CWnd* parent, bool modal)
{
    if (GetSafeHwnd())
        return FALSE;
    if (m_nIDHelp == 0)
        m_nIDHelp = dialog.id;
    m_modal = modal;
    m_ended = false;
    m_nModalResult = -1;
    m_defId = IDOK;
    LOGFONT lf{};
    lf.lfHeight = -MulDiv(dialog.pointSize, 96, 72);
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, dialog.faceName, LF_FACESIZE - 1);
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);
    const CSize units = kvui::DialogBaseUnits(kvui::ToQFont(lf));
    auto toPixels = [&units](int x, int y, int cx, int cy) {
        return CRect(MulDiv(x, units.cx, 4), MulDiv(y, units.cy, 8), MulDiv(x + cx, units.cx, 4),
                     MulDiv(y + cy, units.cy, 8));
    };
    const bool child = (dialog.style & WS_CHILD) && parent;
    const DWORD style = (dialog.style & ~WS_VISIBLE) | (child ? WS_CHILD : 0);
    if (!CreateControl(static_cast<int>(ControlKind::Dialog), dialog.caption, style,
                       toPixels(dialog.x, dialog.y, dialog.cx, dialog.cy), parent, 0))
        return FALSE;
    SetFont(&m_font, FALSE);
    if (dialog.menuId && !AttachTemplateMenu(dialog.menuId)) {
        DestroyWindow();
        return FALSE;
    }
    CWnd* previous = nullptr;
    for (const DialogControlTemplate& c : dialog.controls) {
        CWnd* control = MakeControlObject(c.kind);
        CRect rect = toPixels(c.x, c.y, c.cx, c.cy);
        const UINT id = c.id < 0 ? 0xFFFFu : static_cast<UINT>(c.id);
        if (!control->CreateControl(static_cast<int>(c.kind), c.text, c.style, rect, this, id, c.exStyle)) {
            delete control;
            continue;
        }
        control->GetImpl()->wrapper = control;
        CFont* own = OwnFontOf(c, control);
        control->SetFont(own ? own : &m_font, FALSE);
        if (c.kind == ControlKind::ComboBox) {
            QWidget* w = control->GetImpl()->widget;
            w->resize(w->width(), kvui::ClosedWindowHeight(control->GetImpl(), rect.Height()));
        }
        if (c.kind == ControlKind::ListView && c.exStyle)
            static_cast<CListCtrl*>(control)->SetExtendedStyle(c.exStyle);
        if (c.kind == ControlKind::Spin && (c.style & UDS_AUTOBUDDY) && previous)
            static_cast<CSpinButtonCtrl*>(control)->SetBuddy(previous);
        if (c.kind == ControlKind::Button && (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            m_defId = id;
        previous = control;
    }
    if (!child && ((dialog.style & DS_CENTER) || (dialog.x == 0 && dialog.y == 0))) {
        CenterWindow(parent);
    } else if (!child) {
        // A popup's position counts from its owner's client area.
        CPoint at = toPixels(dialog.x, dialog.y, 0, 0).TopLeft();
        if (parent)
            parent->ClientToScreen(&at);
        SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    AfxCallWndProc(this, WM_INITDIALOG, 0, 0);
    return GetSafeHwnd() != nullptr;
}

bool CDialog::AttachTemplateMenu(UINT menuId)
{
    auto menu = std::make_unique<CMenuResource>();
    if (!menu->Load(menuId)) {
        AfxDebugLog("Menu of dialog %u: %s", m_templateId, menu->GetError().GetString());
        return false;
    }
    m_menu = std::move(menu);
    kvui::AttachMenuBar(GetImpl(), m_menu->GetMenu());
    return true;
}

INT_PTR CDialog::DoModal()
{
    const DialogTemplate* dialog = AfxFindDialogTemplate(m_templateId);
    if (!dialog) {
        AfxDebugLog("Dialog template %u not found", m_templateId);
        return -1;
    }
    CWnd* parent = m_pParentWnd;
    if (!parent)
        parent = CWndImpl::WndOf(QApplication::activeWindow());
    if (!CreateFromTemplate(*dialog, parent, true))
        return -1;
    auto* widget = qobject_cast<QDialog*>(GetImpl()->widget.data());
    if (!m_ended && widget) {
        if (auto action = TakeModalAction())
            QTimer::singleShot(0, widget, [this, action]() {
                if (GetSafeHwnd() && !m_ended)
                    action(this);
            });
        if (g_modalTimeoutMs > 0)
            QTimer::singleShot(g_modalTimeoutMs, widget, [this]() {
                if (GetSafeHwnd() && !m_ended) {
                    AfxDebugLog("Modal dialog %u timed out", m_templateId);
                    EndDialog(IDCANCEL);
                }
            });
        m_inLoop = true;
        widget->setModal(true);
        widget->exec();
        m_inLoop = false;
    }
    const int result = m_nModalResult;
    DestroyWindow();
    return result;
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    m_ended = true;
    if (!GetSafeHwnd())
        return;
    if (m_modal) {
        if (m_inLoop)
            if (auto* widget = qobject_cast<QDialog*>(GetImpl()->widget.data()))
                widget->done(result);
    } else {
        ShowWindow(SW_HIDE);
    }
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    if (OnInitDialog()) {
        for (CWnd* w = GetWindow(GW_CHILD); w; w = w->GetWindow(GW_HWNDNEXT))
            if ((w->GetStyle() & WS_TABSTOP) && w->IsWindowEnabled()) {
                w->SetFocus();
                break;
            }
    }
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::SetDefID(UINT id) { m_defId = id; }

DWORD CDialog::GetDefID() const { return MAKELONG(static_cast<WORD>(m_defId), DC_HASDEFID); }

void CDialog::NextDlgCtrl() const
{
    if (QWidget* focus = QApplication::focusWidget(); focus && GetImpl() && GetImpl()->widget->isAncestorOf(focus))
        focus->nextInFocusChain()->setFocus(Qt::TabFocusReason);
}

void CDialog::PrevDlgCtrl() const
{
    if (QWidget* focus = QApplication::focusWidget(); focus && GetImpl() && GetImpl()->widget->isAncestorOf(focus))
        focus->previousInFocusChain()->setFocus(Qt::BacktabFocusReason);
}

void CDialog::GotoDlgCtrl(CWnd* control)
{
    if (control)
        control->SetFocus();
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(IDCANCEL)));
        return 0;
    case DM_GETDEFID: return GetDefID();
    case DM_SETDEFID: m_defId = static_cast<UINT>(wParam); return TRUE;
    default: return CWnd::DefWindowProc(message, wParam, lParam);
    }
}
