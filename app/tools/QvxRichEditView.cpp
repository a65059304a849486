#include "QvxRichEditView.h"

#include <cstring>

#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/Menu.h"

namespace {
constexpr UINT kUndo = 0xE12B;
constexpr UINT kRedo = 0xE12C;
constexpr UINT kCut = 0xE123;
constexpr UINT kCopy = 0xE122;
constexpr UINT kPaste = 0xE125;
constexpr UINT kSelectAll = 0xE12A;

UINT Grey(BOOL enabled) { return MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED); }
}  // namespace

BOOL CQvxRichEditView::CreateView(CWnd* frame, int top)
{
    if (!CreatePane(frame, AFX_IDW_PANE_FIRST, top))
        return FALSE;
    CHARFORMAT format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD;
    format.yHeight = 200;
    std::strcpy(format.szFaceName, "Courier New");
    SetDefaultCharFormat(format);
    SetSelectionCharFormat(format);
    SetModify(FALSE);
    return TRUE;
}

void CQvxRichEditView::BuildContextMenu(CMenu& menu)
{
    const BOOL selection = HasSelection();
    menu.CreatePopupMenu();
    menu.AppendMenu(Grey(CanUndo()), kUndo, "Undo");
    menu.AppendMenu(Grey(CanRedo()), kRedo, "Redo");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(Grey(selection), kCut, "Cut");
    menu.AppendMenu(Grey(selection), kCopy, "Copy");
    menu.AppendMenu(Grey(CanPaste()), kPaste, "Paste");
    menu.AppendMenu(Grey(selection), kDeleteCommand, "Delete");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(Grey(GetTextLength() > 0), kSelectAll, "Select All");
}

void CQvxRichEditView::ShowContextMenu(CPoint point)
{
    CMenu menu;
    BuildContextMenu(menu);
    m_contextMenuOpen = 1;
    const UINT chosen =
        static_cast<UINT>(menu.TrackPopupMenu(TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this));
    m_contextMenuOpen = 0;
    if (chosen)
        RunEditCommand(chosen);
}

BOOL CQvxRichEditView::RunEditCommand(UINT id)
{
    switch (id) {
    case kUndo: Undo(); return TRUE;
    case kRedo: Redo(); return TRUE;
    case kCut: Cut(); return TRUE;
    case kCopy: Copy(); return TRUE;
    case kPaste: PastePlain(); return TRUE;
    case kDeleteCommand: Clear(); return TRUE;
    case kSelectAll: SelectAll(); return TRUE;
    default: return FALSE;
    }
}

LRESULT CQvxRichEditView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CONTEXTMENU) {
        ShowContextMenu(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
        return 1;
    }
    return CRichEditView::WindowProc(message, wParam, lParam);
}
