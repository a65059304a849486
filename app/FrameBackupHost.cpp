#include "FrameBackupHost.h"

#include "AppPaths.h"
#include "KorvaneApp.h"
#include "MainFrame.h"
#include "app/tools/ShowLogDlg.h"
#include "platform/core/MessageBox.h"
#include "platform/core/SingleLock.h"
#include "scope/windows/QvxScopeDlg.h"

CFrameBackupHost::CFrameBackupHost(CMainFrame& frame) : CAmpBackupToolWindowHost(&frame), m_frame(frame) {}

void CFrameBackupHost::ShowLog(const char* title, const char* text)
{
    CShowLogDlg log(&m_frame);
    log.ShowLog(title, text);
}

void CFrameBackupHost::SetStatusText(const char* text) { m_frame.SetStatusText(text); }

void CFrameBackupHost::OpenInNotepad(const char* path)
{
    // The report opens in the program's own editor, which needs no outside viewer;
    // when even that fails (its own message says why), the user learns where the file is.
    if (m_frame.GetEditors().OpenEditor(path, 0))
        return;
    AfxEngineMessageBox(CString("The report could not be shown.  It is saved in the file:\r\n") + path, "Korvane",
                        MB_OK | MB_ICONEXCLAMATION);
}

void CFrameBackupHost::RestartWindowQueries() { m_frame.GetUpdateList()->RestartAllItems(); }

CGlobalParameterTable* CFrameBackupHost::GetParameterTable() { return &m_frame.GetParameterTable(); }

CString CFrameBackupHost::GetProgramFolder() { return AfxGetAppPaths().programFolder; }

void CFrameBackupHost::RestartStopwatch()
{
    if (CKorvaneApp* app = CKorvaneApp::Get())
        app->RestartGlobalStopwatch();
}

int CFrameBackupHost::IsScopeVisible()
{
    CQvxScopeDlg* scope = m_frame.GetOscilloscope();
    return scope && scope->GetSafeHwnd() && scope->IsWindowVisible() ? 1 : 0;
}

void CFrameBackupHost::StopScope()
{
    CQvxScopeDlg* scope = m_frame.GetOscilloscope();
    if (!scope)
        return;
    scope->StopRecording();
    scope->StopMonitoring();
    CSingleLock lock(&scope->m_recordLock, TRUE);
    scope->m_recordState = CScopeSampler::kRecordIdle;
}

void CFrameBackupHost::RestartScopeMonitoring()
{
    if (CQvxScopeDlg* scope = m_frame.GetOscilloscope())
        scope->StartMonitoring();
}
