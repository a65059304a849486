// CQvxEditorFrame: a program editor window, an MDI child of the main frame
// with a toolbar over its text pane. It opens and saves text files, asks
// before unsaved text is lost, searches with the Find dialog, and is handed
// to the backup engine to receive a drive's settings or report or to send its
// text to a drive; while such a transfer runs it refuses to close.
#pragma once

#include "QvxRichEditView.h"
#include "backup/AmpBackupEditor.h"
#include "platform/ui/FindReplaceDialog.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/ToolBar.h"

class CQvxEditorFrameList;

enum EditorFileType : int {
    kEditorFileOther = 0,
    kEditorFileText = 1,
    kEditorFileBackup = 2,
};

enum EditorCommand : UINT {
    ID_EDITOR_SAVE = 32950,
    ID_EDITOR_SAVE_AS = 32951,
    ID_EDITOR_UPLOAD = 32957,
    ID_EDITOR_DOWNLOAD = 32958,
    ID_EDITOR_REPORT = 32970,
    ID_EDITOR_CLOSE = 33006,
    ID_EDITOR_FIND = 33009,
    ID_EDITOR_FILE_CLOSE = 57602,
};

class CQvxEditorFrame : public CMDIChildWnd, public CAmpBackupEditor {
public:
    static constexpr int kHelpId = -1752;
    static constexpr UINT kToolBarId = 353;

    explicit CQvxEditorFrame(CQvxEditorFrameList* list);
    ~CQvxEditorFrame() override;

    // Makes the window, hidden, named `name` (a file name or a full path).
    BOOL CreateEditor(CMDIFrameWnd* mainFrame, const char* name);
    // Reads a file as the editor's document: name, type, title; FALSE (after the error) when it cannot.
    BOOL OpenFile(const char* path);

    // CAmpBackupEditor.
    int LoadTextFile(const char* path, int replace) override;
    int SaveTextFile(const char* path) override;
    void SetTransferBusy(int busy) override { m_busy = busy; }

    int IsBusy() const { return m_busy; }
    // 1 when the editor may close: unchanged text, or the user said Yes (and it saved) or No.
    int CanClose();
    // The Save command: Save As for a file never saved, else Save.
    int SaveCommand();
    int Save();
    int SaveAs();
    // The Save As dialog's first name: a name without a folder goes into the documents' "Korvane" folder.
    CString GetSaveAsName() const;
    void MarkCloseConfirmed() { m_closeConfirmed = 1; }
    // The list is going away before the window: the window no longer reports to it.
    void DetachList() { m_list = nullptr; }
    void OpenFind(const char* defaultText);
    void UpdateTitle();
    void UpdateToolBar();

    CQvxRichEditView& GetView() { return m_view; }
    CToolBar& GetToolBar() { return m_toolBar; }
    CFindReplaceDialog* GetFindDialog() const { return m_findDialog; }
    const CString& GetFileName() const { return m_fileName; }
    int GetFileType() const { return m_fileType; }
    int IsUntitled() const { return m_untitled; }
    // The file name with its extension, without the folder.
    CString GetShortName() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCmdMsg(UINT id, int code) override;

protected:
    void PostNcDestroy() override { delete this; }

private:
    void OnClose();
    void OnSize();
    void OnViewChange();
    void OnFindMessage(const FINDREPLACE& record);
    void CloseFind();
    void StartTransfer(UINT id);
    BOOL TransferAllowed() const;
    void Remember(const char* path);
    int Message(const char* text, UINT type = MB_OK) const;

    CQvxRichEditView m_view;
    int m_busy = 0;
    char m_findText[256] = {};
    char m_replaceText[256] = {};
    FINDREPLACE m_find;
    CFindReplaceDialog* m_findDialog = nullptr;
    CToolBar m_toolBar;
    CString m_fileName;
    int m_fileType = kEditorFileText;
    CQvxEditorFrameList* m_list;
    int m_closeConfirmed = 0;
    int m_untitled = 1;
    int m_modified = 0;
    bool m_crlf = true;  // how the file on disk ends its lines
};
