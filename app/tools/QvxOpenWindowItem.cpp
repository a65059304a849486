#include "QvxOpenWindowItem.h"

#include "QvxEditorFrame.h"
#include "QvxEditorFrameList.h"
#include "framework/GuiUpdateItem.h"
#include "framework/GuiUpdateList.h"
#include "platform/ui/Wnd.h"

namespace {
CGuiUpdateItem* DriveItem(const CQvxOpenWindowItem& item) { return static_cast<CGuiUpdateItem*>(item.m_window); }
CQvxEditorFrame* Editor(const CQvxOpenWindowItem& item) { return static_cast<CQvxEditorFrame*>(item.m_window); }
}  // namespace

bool CQvxOpenWindowItem::IsAlive(CGuiUpdateList& list) const
{
    // Only a pointer still in its list is followed.
    if (m_kind == kOpenWindowEditor)
        return m_editors && m_editors->Contains(Editor(*this));
    if (m_kind != kOpenWindowDrive)
        return false;
    // Only a pointer still in the open-window list is followed.
    CGuiUpdateItem* item = DriveItem(*this);
    return list.Find(item) && item->GetWnd() && item->GetWnd()->GetSafeHwnd();
}

CWnd* CQvxOpenWindowItem::GetWindow(CGuiUpdateList& list) const
{
    if (!IsAlive(list))
        return nullptr;
    return m_kind == kOpenWindowEditor ? static_cast<CWnd*>(Editor(*this)) : DriveItem(*this)->GetWnd();
}

CString CQvxOpenWindowItem::GetName(CGuiUpdateList& list) const
{
    CString name = "<Unknown window type>";
    if (CWnd* window = GetWindow(list))
        window->GetWindowText(name);
    return name;
}

int CQvxOpenWindowItem::Activate(CGuiUpdateList& list) const
{
    CWnd* window = GetWindow(list);
    if (!window)
        return 0;
    window->ShowWindow(SW_SHOW);
    window->BringWindowToTop();
    return 1;
}

int CQvxOpenWindowItem::Close(CGuiUpdateList& list) const
{
    if (!IsAlive(list))
        return 0;
    if (m_kind == kOpenWindowEditor) {
        Editor(*this)->SendMessage(WM_CLOSE);  // asks about unsaved text; a busy one refuses
        return IsAlive(list) ? 0 : 1;
    }
    return DriveItem(*this)->CloseItem(1);
}
