// CGuiUpdateItem: one drive-bound window as the open-window list sees it. It
// talks to its drive through the distribution manager, runs its start-up
// steps on the first ticks after it has a drive, then takes its queued
// responses at most once per update period, and keeps the drive's status
// words (mode, status with its enable bit, fault) for its window.
#pragma once

#include "distribution/DistMngrResponseReceiver.h"
#include "foundation/DPropertyList.h"
#include "foundation/HPTimer.h"

class CArchive;
class CGuiUpdateList;
class CWnd;

// Status words an item can poll; bits of its status flags.
enum GuiStatusFlag : BYTE {
    kStatusMode = 1,    // 13796 (MOD), every 1000 ms
    kStatusWord = 2,    // 20065 (SSA), every 200 ms
    kStatusFault = 4,   // 20070 (SSF), every 200 ms
};

constexpr WORD kModeWordCode = 13796;
constexpr WORD kStatusWordCode = 20065;
constexpr WORD kFaultWordCode = 20070;

// Flags of DetachFromUpdateList.
enum GuiDetachFlag : int {
    kDetachDestroy = 1,
    kDetachUnregister = 2,
    kDetachClose = 4,
};

class CGuiUpdateItem : public CDistMngrResponseReceiver {
public:
    CGuiUpdateItem() = default;
    ~CGuiUpdateItem() override;

    CString GetReceiverName() const override;

    virtual CString GetItemName() const { return "<NO-ITEMNAME>"; }
    virtual void AttachToUpdateList();
    virtual void DetachFromUpdateList(int flags);
    virtual int CanExit() { return 1; }
    virtual CString GetGuiName() const { return "NONAME"; }
    virtual CWnd* GetWnd() { return nullptr; }
    virtual int CloseItem(int ask);
    virtual int CanClose() { return 1; }
    virtual int IsMovableWindow() { return 0; }
    virtual void DeleteItem() { delete this; }
    virtual void SetDrive(int drive, int restart);
    virtual int GetDrive() const { return m_drive; }
    virtual void CancelQueries() { CancelReadQueries(); }
    // 2 = nothing pending; 1 = settings not yet sent to the drive.
    virtual int GetPendingChangesState(int /*ignored*/) { return 2; }
    virtual void UpdateCycle();
    virtual void Refresh() { UpdateControls(); }
    virtual void ResetQueryStages(int stage1, int stage2, int stage3);
    virtual void RandomExercise(int /*flags*/) {}
    virtual void ProcessResponses() { ProcessQueuedResponses(); }
    virtual void UpdateControls() {}
    // 0 asks to be called again on the next tick.
    virtual int PrepareQueries() { return 1; }
    virtual int SubscribeStatusQueries();
    virtual int InitialUpdate() { return 1; }
    virtual void OnStatusResponse(const CAmpResponseToGui& response);
    virtual void OnDelayedMessage(const CString& /*text*/) {}
    virtual int ExecuteCommand(const CString& /*command*/, CString& /*reply*/) { return 0; }
    virtual void OnDriveChanged() {}
    virtual void SerializeLayout(CArchive& ar, int version);
    virtual void OnEnableBitChanged(int /*bit*/) {}
    virtual void OnStatusWordChanged(int /*value*/) {}
    virtual void OnFaultWordChanged(int /*value*/) {}
    virtual void OnModeWordChanged(int /*value*/) {}
    // The list's drive state (the toolbar badge) of some drive changed.
    virtual void OnDriveStateChanged() {}

    int GetDefaultDrive();
    void ResetUpdateTimer();
    bool GetGlobalParameterValue(int drive, int id, double& value);
    int GetGlobalParameterInt(int id, int& value);
    // -1 without showing anything while the item is not registered.
    int MessageBox(const char* text, UINT type, int helpId, int scriptedAnswer);
    void PostDelayedMessage(const char* targetClass, const char* text, double delaySeconds);

    CGuiUpdateList* GetUpdateList() const { return m_pList; }
    void SetUpdateList(CGuiUpdateList* list) { m_pList = list; }
    BYTE GetStatusFlags() const { return m_statusFlags; }
    void SetStatusFlags(BYTE flags) { m_statusFlags = flags; }
    double GetUpdatePeriod() const { return m_updatePeriod; }
    int GetEnableBit() const { return m_enableBit; }
    int GetStatusWord() const { return m_statusWord; }
    int GetFaultWord() const { return m_faultWord; }
    int GetModeWord() const { return m_modeWord; }
    bool AreStagesDone() const { return m_stage1Done && m_stage2Done && m_stage3Done; }
    int IsClosing() const { return m_closing; }
    // A window marked closing is closed without the unsent-settings question.
    void SetClosing(int closing) { m_closing = closing; }
    void SetKeepOpen(int keep) { m_keepOpen = keep; }
    int GetKeepOpen() const { return m_keepOpen; }
    CDPropertyList& GetProperties() { return m_properties; }

protected:
    // Every queued response, oldest first, through OnStatusResponse.
    void ProcessQueuedResponses();
    // The list the item uses: its own, else the main frame's.
    CGuiUpdateList* ListForRegistration() const;

    CGuiUpdateList* m_pList = nullptr;
    CDPropertyList m_properties;
    int m_drive = -1;
    BYTE m_statusFlags = 0;
    double m_updatePeriod = 0.0;
    CHPTimer m_updateTimer;
    int m_stage1Done = 0;
    int m_stage2Done = 0;
    int m_stage3Done = 0;
    int m_enableBit = 0;
    int m_statusWord = 0;
    int m_faultWord = 0;
    int m_modeWord = 0;
    int m_closing = 0;
    int m_keepOpen = 0;
};
