// CQvxBackupEditorTransfers: the editors' transfers carried out by the
// program's backup engine.
#pragma once

#include "QvxEditorFrameList.h"

class CAmpBackupTool;

class CQvxBackupEditorTransfers : public CQvxEditorTransfers {
public:
    explicit CQvxBackupEditorTransfers(CAmpBackupTool& tool) : m_tool(tool) {}
    int IsJobInProgress() override;
    void SetHelpId(int helpId) override;
    int DownloadToEditor(CAmpBackupEditor* editor) override;
    int UploadFromEditor(CAmpBackupEditor* editor) override;
    int ReportToEditor(CAmpBackupEditor* editor) override;

private:
    CAmpBackupTool& m_tool;
};
