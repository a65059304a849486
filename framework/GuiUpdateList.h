// CGuiUpdateList: the open drive windows, in registration order. The main
// frame's update timer calls UpdateAll, which runs queued command lines,
// hands out delayed messages and gives every open window one tick. It is
// also the one gate of the windows' message boxes: in scripted mode a
// question is logged and answered with the caller's preset answer.
#pragma once

#include "DriveStateSource.h"
#include "GuiUpdateItem.h"
#include "QvxGuiItemMessageQueue.h"
#include "comm/link/AmplifierData.h"
#include "platform/core/Collections.h"
#include "platform/core/Map.h"

class CGlobalParameterTable;

class CGuiUpdateList : public CList<CGuiUpdateItem*, CGuiUpdateItem*> {
public:
    CGuiUpdateList();
    ~CGuiUpdateList() override;
    CGuiUpdateList(const CGuiUpdateList&) = delete;
    CGuiUpdateList& operator=(const CGuiUpdateList&) = delete;

    void Initialise(CGlobalParameterTable* table);
    CGlobalParameterTable* GetParameterTable() const { return m_pParameterTable; }
    CString GetLayoutFolder() const { return m_layoutFolder; }
    void SetLayoutFolder(const CString& folder) { m_layoutFolder = folder; }
    CString GetLayoutPath() const { return m_layoutPath; }
    void SetLayoutPath(const CString& path) { m_layoutPath = path; }
    short GetLayoutVersion() const { return m_layoutVersion; }
    void SetLayoutVersion(short version) { m_layoutVersion = version; }

    // 1 written, 2 cancelled by the user, 0 when the file could not be written.
    int SaveLayout(const char* path, int ask, int keepFolder);
    // 1 read, 2 cancelled by the user, 0 when the file could not be opened or read.
    int LoadLayout(const char* path);

    int AddItem(CGuiUpdateItem* item);
    int RemoveItem(CGuiUpdateItem* item);
    bool Contains(const CGuiUpdateItem* item) const { return FindPosition(item) != nullptr; }
    int GetOpenCount(const char* className) const;
    CGuiUpdateItem* FindItem(const char* className, int drive) const;
    CGuiUpdateItem* FindLastItemOfClass(const char* className) const;
    int CollectItemsByClass(CList<CGuiUpdateItem*, CGuiUpdateItem*>& items, const char* className) const;
    int CollectItemsByGuiName(CList<CGuiUpdateItem*, CGuiUpdateItem*>& items, const char* windowName) const;
    int GetDrivesForGui(CList<CAmplifierData>* drives, const char* className, int unusedOnly, int compatibleOnly) const;

    void UpdateAll();
    void RestartAllItems();
    void RandomExercise(int flags) { m_ownItem.RandomExercise(flags); }
    void CloseAllItems();
    // Closes every open window without asking about unsent settings.
    void CloseAllItemsWithoutAsking();
    int CanExit() { return m_ownItem.CanExit(); }
    int ListUnsentChanges(CString* text);
    void KeepWindowsOnScreen();
    int MessageBox(const char* text, UINT type, int helpId, int scriptedAnswer);
    void QueueDelayedMessage(const char* targetClass, const char* text, double delaySeconds);

    // Window commands ("<window name>.<command>") and the global keywords; the
    // reply carries the outcome. `runNow` 0 queues the keywords that change the
    // set of windows for the next UpdateAll.
    virtual int ExecuteCommand(const CString& command, CString& reply, int runNow);
    void QueueCommand(const char* line) { m_commandQueue.AddTail(line); }

    void SetInteractive(int interactive) { m_interactive = interactive; }
    int IsInteractive() const { return m_interactive; }
    int IsUpdating() const { return m_updating; }
    void SetLoadingLayout(int loading) { m_loadingLayout = loading; }
    int IsLoadingLayout() const { return m_loadingLayout; }
    CGuiUpdateItem& GetOwnItem() { return m_ownItem; }
    // What every window's toolbar shows for the drive (a DriveEnableState value).
    int GetDriveState(int drive) const { return m_driveStates.GetState(drive); }
    int GetQueuedMessageCount() const { return m_messageQueue.GetCount(); }

private:
    // The list's own receiver: the default drive of text commands, whose
    // status word it polls, and the main frame's way to all open windows.
    class COwnItem : public CGuiUpdateItem {
    public:
        explicit COwnItem(CGuiUpdateList& list);
        ~COwnItem() override { m_pList = nullptr; }
        int CanExit() override;
        void RandomExercise(int flags) override;
        void OnStatusResponse(const CAmpResponseToGui& response) override;
        void OnDriveChanged() override;

    private:
        CGuiUpdateList& m_list;
    };

    POSITION FindPosition(const CGuiUpdateItem* item) const;
    void RunQueuedCommands();
    void DeliverDueMessages();
    void TickOpenWindows();
    void HandOwnResponses();
    void FollowDriveStates();

    COwnItem m_ownItem;
    CDriveStateSource m_driveStates;
    CGlobalParameterTable* m_pParameterTable = nullptr;
    int m_updating = 0;
    int m_loadingLayout = 0;
    short m_layoutVersion = 0;
    CString m_layoutPath;
    CString m_layoutFolder;
    CStringList m_commandQueue;
    int m_closingAll = 0;
    int m_listChanged = 0;
    int m_interactive = 1;
    int m_inUpdateAll = 0;
    CQvxGuiItemMessageQueue m_messageQueue;
    CMap<CString, const char*, int, int> m_openCounts;
    // The class each item was counted under, so a late removal (from a
    // destructor, where the item no longer knows its class) lowers the right count.
    CMap<const CGuiUpdateItem*, const CGuiUpdateItem*, CString, const CString&> m_countedClass;
};

// Drive names of the main frame's drive assignments.
int FindDriveNameByNumber(int drive, CString& name);
int ParseDriveReference(const char* text, int& drive);
