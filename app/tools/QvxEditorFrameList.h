// CQvxEditorFrameList: the main frame's program editors, in the order they
// were opened, with the recent-files list and the commands of the editor menu.
#pragma once

#include <memory>
#include <vector>

#include "QvxRecentEditorFiles.h"
#include "platform/core/List.h"

class CAmpBackupEditor;
class CMainFrame;
class CMenu;
class CQvxEditorFrame;

// The backup engine's editor transfers as the editors use them; absent until the engine is wired.
class CQvxEditorTransfers {
public:
    virtual ~CQvxEditorTransfers() = default;
    virtual int IsJobInProgress() = 0;
    virtual void SetHelpId(int helpId) = 0;
    virtual int DownloadToEditor(CAmpBackupEditor* editor) = 0;
    virtual int UploadFromEditor(CAmpBackupEditor* editor) = 0;
    virtual int ReportToEditor(CAmpBackupEditor* editor) = 0;
};

enum EditorListCommand : UINT {
    ID_EDITOR_NEW = 32948,
    ID_EDITOR_OPEN = 32949,
    ID_EDITOR_SAVE_ALL = 33002,
    ID_EDITOR_CLOSE_ALL = 33007,
    ID_EDITOR_CLOSE_ALL_WINDOWS = 33021,
    ID_EDITOR_RECENT_FIRST = 10124,
    ID_EDITOR_RECENT_LAST = 10129,
};

class CQvxEditorFrameList : public CList<CQvxEditorFrame*, CQvxEditorFrame*> {
public:
    CQvxEditorFrameList() = default;
    ~CQvxEditorFrameList();
    CQvxEditorFrameList(const CQvxEditorFrameList&) = delete;
    CQvxEditorFrameList& operator=(const CQvxEditorFrameList&) = delete;
    // Binds the list to its frame and its backup engine, and reads the recent files.
    void Attach(CMainFrame* frame);
    CMainFrame* GetMainFrame() const { return m_frame; }

    CQvxEditorFrame* NewEditor();
    // flag 1: the Open dialog chooses; flag 0: opens `path`. Null when nothing opened.
    CQvxEditorFrame* OpenEditor(const char* path, int flag);
    int SaveAll();
    // 0 when an editor refused (it and those after it stay open).
    int CloseAll();
    bool Contains(const CQvxEditorFrame* editor) const;
    void Remove(CQvxEditorFrame* editor);
    // The open editors, at most `count`, in list order.
    std::vector<CQvxEditorFrame*> Snapshot(size_t count) const;

    // Menu commands of the main frame; FALSE when the id is not one of them.
    BOOL OnCommand(UINT id);
    // Whether the command is enabled; -1 when it is not one of the list's.
    int CommandState(UINT id) const;
    // Fills the recent-files submenu when the editor menu opens.
    void OnInitMenuPopup(CMenu* popup);

    CQvxRecentEditorFiles& GetRecentFiles() { return m_recent; }
    void AddRecentFile(const char* path);
    UINT GetFindMessage() const { return m_findMessage; }
    // Tests put a stand-in here; null goes back to the backup engine.
    void SetTransfers(CQvxEditorTransfers* transfers) { m_transfers = transfers ? transfers : m_backupTransfers.get(); }
    CQvxEditorTransfers* GetTransfers() const { return m_transfers; }

private:
    CQvxEditorFrame* MakeEditor(const char* name);
    CMainFrame* m_frame = nullptr;
    CQvxRecentEditorFiles m_recent;
    UINT m_findMessage = 0;
    CQvxEditorTransfers* m_transfers = nullptr;
    std::unique_ptr<CQvxEditorTransfers> m_backupTransfers;  // over the frame's backup engine
    std::vector<CMenu*> m_recentMenus;  // only compared, never followed unless a menu opens
};
