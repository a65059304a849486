#include "QvxBackupEditorTransfers.h"

#include "backup/AmpBackupTool.h"

int CQvxBackupEditorTransfers::IsJobInProgress() { return m_tool.IsIdle() ? 0 : 1; }
void CQvxBackupEditorTransfers::SetHelpId(int helpId) { m_tool.SetMessageHelpId(helpId); }
int CQvxBackupEditorTransfers::DownloadToEditor(CAmpBackupEditor* editor) { return m_tool.DownloadToEditor(editor); }
int CQvxBackupEditorTransfers::UploadFromEditor(CAmpBackupEditor* editor) { return m_tool.UploadFromEditor(editor); }
int CQvxBackupEditorTransfers::ReportToEditor(CAmpBackupEditor* editor) { return m_tool.ReportToEditor(editor); }
