// CQvxGuiControl: the base of every control bound to a drive register. It
// knows the command that writes its value and the query that polls it, takes
// its replies on the window's tick and answers the window's text commands.
// Concrete controls derive from a window class first and from this second.
#pragma once

#include "database/QvxDatabaseRecordsetClient.h"
#include "distribution/AmpQryCmdFromGui.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "platform/core/List.h"
#include "platform/core/String.h"

class CGuiUpdateDlg;
class CQvxDatabaseRecordset;
class CQvxGuiControlList;
class CWnd;

enum QvxGuiControlFlags : unsigned {
    kCtrlBlankOffline = 0x1,
    kCtrlEnableByCheckbox = 0x2,
    kCtrlTakeAllReplies = 0x4,
    kCtrlReportReplyError = 0x8,
    kCtrlConvertCustomSend = 0x10,
    kCtrlBlankWhenDisabled = 0x20,
    kCtrlNeverRewrite = 0x40,
    kCtrlNeverCommit = 0x80,
    kCtrlReportRange = 0x100,
    kCtrlWaitOnTimeout = 0x200,
    kCtrlGroupDigits = 0x400,
    kCtrlManualPolling = 0x1000,
    kCtrlTabOnEnter = 0x2000,
    kCtrlConfirmSend = 0x4000,
    kCtrlSendWhileDisabled = 0x8000,
    kCtrlSendWhileEnabled = 0x10000,
    kCtrlNotListed = 0x20000,
};

class CQvxGuiControl : public CDistMngrResponseReceiver, public CQvxDatabaseRecordsetClient {
public:
    CQvxGuiControl() = default;
    ~CQvxGuiControl() override = default;

    CString GetReceiverName() const override;

    virtual void SetModified(int modified) { m_modified = modified; }
    virtual int IsModified() { return m_modified; }
    virtual void GetValueText(CString& text) { text = "NONE"; }
    virtual void SetValueText(const char* /*text*/) {}
    virtual void RestartPolling();
    virtual int BindRecordsetField(CQvxDatabaseRecordset* recordset, const char* fieldName);
    virtual int BindRecordsetFieldAt(CQvxDatabaseRecordset* recordset, int column);
    virtual void UnbindRecordset();
    virtual void RandomExercise(int flags);
    virtual void Initialise() {}
    virtual void Shutdown();
    virtual void StoreResponse(const CAmpResponseToGui& response);
    // 0 when the control has no value.
    virtual int GetIntValue(int& /*value*/) { return 0; }
    virtual int GetDoubleValue(double& /*value*/) { return 0; }
    virtual int ApplyCustomConversion() { return 0; }
    // A conversion parameter the control shows through has changed.
    virtual void OnConversionChanged() { ApplyCustomConversion(); }
    virtual int AcceptEntry() { return 0; }
    virtual void ProcessResponses();
    virtual void OnFirstUpdate() {}
    virtual void OnUpdateControls() {}
    virtual CWnd* GetWnd() { return nullptr; }
    virtual int ExecuteCommand(const CString& command, CString& reply);
    virtual int SendValue();
    virtual int StartPolling();
    virtual int ForgetSentCommands();
    virtual int StopPolling();
    virtual void OnPollingChanged(int /*on*/) {}
    virtual void SetOwnerList(CQvxGuiControlList* list) { m_ownerList = list; }
    virtual void ClearValue() {}
    // Takes in what the user typed and has not confirmed yet.
    virtual void CommitPendingEntry() {}

    // Binding.
    void SetWriteCommand(const CAmpQryCmdFromGui& query);
    void SetWriteRegister(WORD code);
    void SetWriteRegisterAt(WORD code, WORD subCode, LONG subValue);
    void SetPollRegister(WORD code, WORD periodMs, BYTE queryFlags);
    void SetPollRegisterAt(WORD code, WORD subCode, LONG subValue, WORD periodMs, BYTE queryFlags);
    void SetPollQuery(const CAmpQryCmdFromGui& query);
    void SetCustomPollId(int id);
    void SetControlName(const char* name) { m_name = name; }
    const CString& GetControlName() const { return m_name; }
    int GetDriveAddress() const;
    int EnablePolling(int on);

    int HasWriteRegister() const { return m_hasWriteRegister; }
    int HasPollRegister() const { return m_hasPollRegister; }
    int IsPolling() const { return m_polling; }
    int GetState() const { return m_state; }
    int GetSendGroup() const { return m_sendGroup; }
    void SetSendGroup(int group) { m_sendGroup = group; }
    int GetPollQueryId() const { return m_pollQueryId; }
    int GetSentCount() const { return m_sentCommands.GetCount(); }
    CQvxGuiControlList* GetOwnerList() const { return m_ownerList; }
    CGuiUpdateDlg* GetOwnerWindow() const;
    int MessageBox(const char* text, unsigned type, int scriptedAnswer);

    // Set directly by windows.
    unsigned m_flags = kCtrlReportRange | kCtrlGroupDigits;
    CString m_confirmText;
    CString m_refusalText;
    int m_driveOverride = -1;
    int m_customSendId = -1;
    int m_customConversionId = -1;
    int m_sendOffset = 0;
    int m_receiveOffset = 0;

protected:
    static CAmpQryCmdFromGui MakeWindowQuery(WORD code);
    // Takes the id out of the sent list; 1 when it was there.
    int RemoveSentCommand(int queryId);
    // False when the drive's enable state forbids the send (the refusal shown).
    bool MayWriteNow();

    CAmpQryCmdFromGui m_writeCommand;
    CAmpQryCmdFromGui m_pollQuery;
    int m_hasWriteRegister = 0;
    int m_hasPollRegister = 0;
    int m_polling = 0;
    int m_modified = 0;
    int m_refreshPending = 0;
    int m_customPollId = -1;
    int m_pollQueryId = 0;
    int m_sendGroup = 0;
    CList<int, int> m_sentCommands;
    CString m_name = "Unknown";
    int m_state = 1;
    int m_recordsetField = -1;
    CQvxGuiControlList* m_ownerList = nullptr;
};
