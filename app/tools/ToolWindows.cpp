#include "ToolWindows.h"

#include "AssignDriveNamesDlg.h"
#include "DebugWatchWindowDlg.h"
#include "QvxOpenWindowsListDlg.h"
#include "QvxTerminalDlg.h"
#include "app/KorvaneApp.h"
#include "app/MainFrame.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/GuiUpdateList.h"
#include "platform/ui/CmdUI.h"

namespace {
constexpr UINT kGeneralDebugCommand = 32891;
constexpr UINT kDriveAssignmentsCommand = 33033;
constexpr UINT kWindowsListCommand = 16000;

// Built afresh for each run: drive windows first, then the editors.
void RunWindowsList(CMainFrame& frame)
{
    CQvxOpenWindowItemArray items;
    items.CollectDriveWindows(*frame.GetUpdateList());
    items.CollectEditors(frame.GetEditors());
    CQvxOpenWindowsListDlg dialog(items, *frame.GetUpdateList(), &frame);
    dialog.DoModal();
}

// The user edits a copy; only OK stores it and gives the drives their new names.
void RunDriveAssignments(CMainFrame& frame)
{
    CDriveAssignments edited = frame.GetDriveAssignments();
    CAssignDriveNamesDlg dialog(&frame);
    dialog.SetMap(&edited);
    if (dialog.DoModal() != IDOK)
        return;
    frame.GetDriveAssignments() = edited;
    frame.SaveDriveAssignments();
    for (const auto& [name, address] : edited.Entries())
        CKorvaneApp::Get()->RenameConnectedDrive(address, name);
    frame.UpdateLinkDriveNames();
    // The open drive windows show the new names in their drive selectors and titles.
    CGuiUpdateList& windows = *frame.GetUpdateList();
    for (POSITION pos = windows.GetHeadPosition(); pos;) {
        auto* window = dynamic_cast<CGuiUpdateDlg*>(windows.GetNext(pos));
        if (!window || !window->GetSafeHwnd())
            continue;
        if (window->GetToolbar().GetSafeHwnd())
            window->GetToolbar().RefreshDrives();
        window->UpdateTitle();
    }
}
}  // namespace

void LinkToolWindowClasses()
{
    // Registered by name here, which also keeps the class in the program.
    CRuntimeClass::Register(RUNTIME_CLASS(CQvxTerminalDlg));
}

BOOL HandleToolCommand(CWnd* frame, UINT id)
{
    CKorvaneApp* app = CKorvaneApp::Get();
    if (!app)
        return FALSE;
    if (app->GetMainFrame() && app->GetMainFrame()->GetEditors().OnCommand(id))
        return TRUE;
    if (id == kGeneralDebugCommand) {
        app->GetDebugWatch().Toggle(frame);
        return TRUE;
    }
    if (id == kWindowsListCommand && app->GetMainFrame()) {
        RunWindowsList(*app->GetMainFrame());
        return TRUE;
    }
    if (id == kDriveAssignmentsCommand && app->GetMainFrame()) {
        RunDriveAssignments(*app->GetMainFrame());
        return TRUE;
    }
    return FALSE;
}

BOOL UpdateToolCommand(CCmdUI& ui)
{
    CKorvaneApp* app = CKorvaneApp::Get();
    if (!app)
        return FALSE;
    if (const int state = app->GetMainFrame() ? app->GetMainFrame()->GetEditors().CommandState(ui.m_nID) : -1; state >= 0) {
        ui.Enable(state);
        return TRUE;
    }
    if (ui.m_nID == kGeneralDebugCommand) {
        ui.Enable(TRUE);
        ui.SetCheck(app->GetDebugWatch().IsShown() ? 1 : 0);
        return TRUE;
    }
    if (ui.m_nID == kWindowsListCommand) {
        ui.Enable(TRUE);
        return TRUE;
    }
    if (ui.m_nID == kDriveAssignmentsCommand) {
        ui.Enable(app->GetMainFrame() && !app->GetMainFrame()->IsBackupBusy());
        return TRUE;
    }
    return FALSE;
}
