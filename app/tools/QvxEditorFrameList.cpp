#include "QvxEditorFrameList.h"

#include <algorithm>

#include "QvxBackupEditorTransfers.h"
#include "QvxEditorFrame.h"
#include "app/MainFrame.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/FindReplaceDialog.h"
#include "platform/ui/HelpContext.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MsgBox.h"

namespace {
constexpr const char* kOpenFilter =
    "All Editor Files (*.txt;*.bk)|*.txt;*.bk|Text Files (*.txt)|*.txt|Backup Files (*.bk)|*.bk|All Files (*.*)|*.*||";
}  // namespace

CQvxEditorFrameList::~CQvxEditorFrameList()
{
    // Editors still open when the main frame goes are destroyed with its windows, after this list.
    for (CQvxEditorFrame* editor : Snapshot(static_cast<size_t>(GetCount())))
        editor->DetachList();
}

void CQvxEditorFrameList::Attach(CMainFrame* frame)
{
    m_frame = frame;
    m_backupTransfers = std::make_unique<CQvxBackupEditorTransfers>(frame->GetBackupTool());
    m_transfers = m_backupTransfers.get();
    m_findMessage = RegisterWindowMessage("commdlg_FindReplace");
    m_recent.SetFirstId(ID_EDITOR_RECENT_FIRST);
    m_recent.SetMaximum(6);
    m_recent.Load();
}

CQvxEditorFrame* CQvxEditorFrameList::MakeEditor(const char* name)
{
    auto* editor = new CQvxEditorFrame(this);
    if (!m_frame || !editor->CreateEditor(m_frame, name)) {
        if (editor->GetSafeHwnd())
            editor->DestroyWindow();  // deletes it
        else
            delete editor;
        AfxMessageBox("ERROR: Could not create editor window.", MB_OK | MB_ICONERROR,
                      static_cast<UINT>(CQvxEditorFrame::kHelpId));
        return nullptr;
    }
    return editor;
}

CQvxEditorFrame* CQvxEditorFrameList::NewEditor()
{
    CString name;
    if (m_frame)
        m_frame->MakeNewEditorFileName(name);
    CQvxEditorFrame* editor = MakeEditor(name);
    if (!editor)
        return nullptr;
    AddTail(editor);
    editor->ShowWindow(SW_SHOW);
    editor->MDIActivate();
    m_frame->DrawMenuBar();
    return editor;
}

CQvxEditorFrame* CQvxEditorFrameList::OpenEditor(const char* path, int flag)
{
    CQvxEditorFrame* editor = MakeEditor("");
    if (!editor)
        return nullptr;
    CString chosen = path ? path : "";
    if (flag) {
        CHelpContextScope help(static_cast<SHORT>(CQvxEditorFrame::kHelpId));
        CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, kOpenFilter, m_frame);
        chosen = dialog.DoModal() == IDOK ? dialog.GetPathName() : CString();
    }
    if (chosen.IsEmpty() || !editor->OpenFile(chosen)) {
        editor->DestroyWindow();
        return nullptr;
    }
    AddTail(editor);
    editor->ShowWindow(SW_SHOW);
    editor->MDIActivate();
    AddRecentFile(chosen);
    m_frame->DrawMenuBar();
    return editor;
}

void CQvxEditorFrameList::AddRecentFile(const char* path)
{
    m_recent.Add(path, 1);
    m_recent.Save();
}

int CQvxEditorFrameList::SaveAll()
{
    for (CQvxEditorFrame* editor : Snapshot(static_cast<size_t>(GetCount())))
        editor->SaveCommand();
    return 1;
}

int CQvxEditorFrameList::CloseAll()
{
    for (CQvxEditorFrame* editor : Snapshot(static_cast<size_t>(GetCount()))) {
        if (!Contains(editor))
            continue;
        if (!editor->CanClose())
            return 0;
        editor->MarkCloseConfirmed();
        editor->SendMessage(WM_CLOSE);
        // A busy editor refuses even a confirmed close: the walk stops there.
        if (Contains(editor))
            return 0;
    }
    return 1;
}

bool CQvxEditorFrameList::Contains(const CQvxEditorFrame* editor) const
{
    return Find(const_cast<CQvxEditorFrame*>(editor)) != nullptr;
}

void CQvxEditorFrameList::Remove(CQvxEditorFrame* editor)
{
    if (POSITION pos = Find(editor))
        RemoveAt(pos);
}

std::vector<CQvxEditorFrame*> CQvxEditorFrameList::Snapshot(size_t count) const
{
    std::vector<CQvxEditorFrame*> editors;
    for (POSITION pos = GetHeadPosition(); pos && editors.size() < count;)
        editors.push_back(GetNext(pos));
    return editors;
}

BOOL CQvxEditorFrameList::OnCommand(UINT id)
{
    switch (id) {
    case ID_EDITOR_NEW: NewEditor(); return TRUE;
    case ID_EDITOR_OPEN: OpenEditor(nullptr, 1); return TRUE;
    case ID_EDITOR_SAVE_ALL: SaveAll(); return TRUE;
    case ID_EDITOR_CLOSE_ALL:
    case ID_EDITOR_CLOSE_ALL_WINDOWS: CloseAll(); return TRUE;
    default: break;
    }
    if (id < ID_EDITOR_RECENT_FIRST || id > ID_EDITOR_RECENT_LAST)
        return FALSE;
    const CString path = m_recent.GetEntry(id);
    if (!path.IsEmpty())
        OpenEditor(path, 0);
    return TRUE;
}

int CQvxEditorFrameList::CommandState(UINT id) const
{
    if (id >= ID_EDITOR_RECENT_FIRST && id <= ID_EDITOR_RECENT_LAST)
        return m_recent.IsEmpty() ? 0 : 1;
    switch (id) {
    case ID_EDITOR_NEW:
    case ID_EDITOR_OPEN:
    case ID_EDITOR_SAVE_ALL:
    case ID_EDITOR_CLOSE_ALL:
    case ID_EDITOR_CLOSE_ALL_WINDOWS: return 1;
    default: return -1;
    }
}

void CQvxEditorFrameList::OnInitMenuPopup(CMenu* popup)
{
    if (!popup)
        return;
    bool editorMenu = false;
    for (int i = 0; i < popup->GetMenuItemCount(); ++i)
        editorMenu = editorMenu || popup->GetMenuItemID(i) == ID_EDITOR_CLOSE_ALL;
    // The recent-files submenu is the editor menu's last submenu; each main menu has its own.
    // It is filled when it opens itself, so the menu shows the change.
    if (editorMenu)
        for (int i = popup->GetMenuItemCount() - 1; i >= 0; --i)
            if (CMenu* recent = popup->GetSubMenu(i)) {
                if (std::find(m_recentMenus.begin(), m_recentMenus.end(), recent) == m_recentMenus.end())
                    m_recentMenus.push_back(recent);
                return;
            }
    if (std::find(m_recentMenus.begin(), m_recentMenus.end(), popup) != m_recentMenus.end())
        m_recent.FillMenu(*popup);
}
