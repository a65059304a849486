#include "QvxGuiControl.h"

#include <cstdlib>

#include "GuiUpdateDlg.h"
#include "QvxGuiControlList.h"
#include "database/QvxDatabaseRecordset.h"
#include "database/QvxDatabaseTable.h"
#include "foundation/ParamParse.h"
#include "platform/core/MessageBox.h"

CString CQvxGuiControl::GetReceiverName() const
{
    const CGuiUpdateDlg* owner = GetOwnerWindow();
    if (!owner)
        return m_name;
    return owner->GetItemName() + ":" + m_name;
}

CGuiUpdateDlg* CQvxGuiControl::GetOwnerWindow() const
{
    return m_ownerList ? m_ownerList->GetOwner() : nullptr;
}

int CQvxGuiControl::MessageBox(const char* text, unsigned type, int scriptedAnswer)
{
    if (!m_ownerList)
        return -1;
    return m_ownerList->MessageBox(text, type, scriptedAnswer, 0);
}

CAmpQryCmdFromGui CQvxGuiControl::MakeWindowQuery(WORD code)
{
    CAmpQryCmdFromGui query;
    query.m_code = code;
    query.SetValue(0, 1);
    query.m_address = 0;
    query.m_time = kCommandTimeHint;
    query.m_flags = kQryCommand;
    return query;
}

void CQvxGuiControl::SetWriteCommand(const CAmpQryCmdFromGui& query)
{
    m_writeCommand = query;
    m_hasWriteRegister = 1;
    m_customSendId = -1;
}

void CQvxGuiControl::SetWriteRegister(WORD code)
{
    SetWriteCommand(MakeWindowQuery(code));
}

void CQvxGuiControl::SetWriteRegisterAt(WORD code, WORD subCode, LONG subValue)
{
    CAmpQryCmdFromGui query = MakeWindowQuery(code);
    query.AddCommand(subCode, subValue);
    SetWriteCommand(query);
}

void CQvxGuiControl::SetPollRegister(WORD code, WORD periodMs, BYTE queryFlags)
{
    CAmpQryCmdFromGui query;
    query.m_code = code;
    query.SetRead();
    query.m_time = periodMs;
    query.m_flags = static_cast<BYTE>(kQryDefault | queryFlags);
    query.m_receiver = this;
    SetPollQuery(query);
}

void CQvxGuiControl::SetPollRegisterAt(WORD code, WORD subCode, LONG subValue, WORD periodMs, BYTE queryFlags)
{
    CAmpQryCmdFromGui query;
    query.m_code = code;
    query.SetRead();
    query.AddCommand(subCode, subValue);
    query.m_time = periodMs;
    query.m_flags = static_cast<BYTE>(kQryDefault | queryFlags);
    query.m_receiver = this;
    SetPollQuery(query);
}

void CQvxGuiControl::SetPollQuery(const CAmpQryCmdFromGui& query)
{
    const int wasPolling = m_polling;
    if (wasPolling)
        EnablePolling(0);
    m_customPollId = -1;
    m_pollQuery = query;
    m_hasPollRegister = 1;
    if (wasPolling)
        EnablePolling(1);
}

void CQvxGuiControl::SetCustomPollId(int id)
{
    StopPolling();
    m_customPollId = id;
}

int CQvxGuiControl::GetDriveAddress() const
{
    if (!m_ownerList)
        return -1;
    if (m_driveOverride != -1)
        return m_driveOverride;
    const CGuiUpdateDlg* owner = GetOwnerWindow();
    return owner ? owner->GetDrive() : -1;
}

int CQvxGuiControl::EnablePolling(int on)
{
    SetModified(0);
    if (on == m_polling)
        return 1;
    OnPollingChanged(on);
    if (m_customPollId == -1) {
        if (on)
            StartPolling();
        else
            StopPolling();
    } else {
        m_polling = on;
    }
    return 1;
}

// ---------------------------------------------------------------------------
bool CQvxGuiControl::MayWriteNow()
{
    const CGuiUpdateDlg* owner = GetOwnerWindow();
    bool refused = false;
    if ((m_flags & kCtrlSendWhileDisabled) && (!owner || owner->GetEnableBit()))
        refused = true;
    if ((m_flags & kCtrlSendWhileEnabled) && (!owner || !owner->GetEnableBit()))
        refused = true;
    if (refused)
        MessageBox(m_refusalText, MB_OK, IDOK);
    return !refused;
}

int CQvxGuiControl::SendValue()
{
    if (!m_ownerList)
        return 0;
    if ((m_flags & kCtrlConfirmSend) && MessageBox(m_confirmText, MB_YESNO, IDYES) == IDNO)
        return 0;
    if (!MayWriteNow())
        return 0;
    if (m_customSendId != -1) {
        double value = 0.0;
        if (!GetDoubleValue(value))
            return 0;
        CGuiUpdateDlg* owner = GetOwnerWindow();
        if (!owner || !owner->CustomSend(m_customSendId, value, GetWnd()))
            return 0;
        SetModified(0);
        return 1;
    }
    if (!m_hasWriteRegister)
        return 0;
    int value = 0;
    if (!GetIntValue(value))
        return 0;
    CAmpQryCmdFromGui query = m_writeCommand;
    query.m_address = static_cast<BYTE>(GetDriveAddress());
    const LONG sent = static_cast<LONG>(static_cast<unsigned>(value) + static_cast<unsigned>(m_sendOffset));
    const unsigned magnitude = sent < 0 ? 0u - static_cast<unsigned>(sent) : static_cast<unsigned>(sent);
    BYTE width = 2;
    if (magnitude <= 127)
        width = 1;
    else if (magnitude & ~0x7FFFu)
        width = 4;
    query.SetValue(sent, width);
    const int id = SubmitQuery(query);
    if (id <= 0)
        return 0;
    m_sentCommands.AddTail(id);
    // Sent: the drive's value shows again from the next reply on.
    SetModified(0);
    return 1;
}

// ---------------------------------------------------------------------------
int CQvxGuiControl::StartPolling()
{
    if (!m_ownerList || !m_hasPollRegister) {
        m_polling = 0;
        m_state = 0;
        return 0;
    }
    CAmpQryCmdFromGui query = m_pollQuery;
    const int drive = GetDriveAddress();
    query.m_address = static_cast<BYTE>(drive == -1 ? 255 : drive);
    const int id = SubmitQuery(query);
    m_pollQueryId = id;
    m_polling = id > 0;
    m_state = m_polling ? 2 : -1;
    return m_polling;
}

int CQvxGuiControl::StopPolling()
{
    // Cleared even without a query, or a control fed by its window would
    // count as polling after a switch back to its own query.
    m_polling = 0;
    if (!m_hasPollRegister || m_pollQueryId == 0)
        return 1;
    if (m_pollQueryId > 0)
        CancelQuery(m_pollQueryId);
    m_pollQueryId = 0;
    return 1;
}

void CQvxGuiControl::RestartPolling()
{
    if (!m_ownerList || m_driveOverride != -1)
        return;
    if ((m_flags & kCtrlManualPolling) && !m_polling)
        return;
    if (m_pollQueryId != 0 || m_customPollId != -1) {
        SetModified(0);
        if (m_polling) {
            OnPollingChanged(0);
            if (m_customPollId == -1)
                StopPolling();
            else
                m_polling = 0;
        }
    }
    SetModified(0);
    if (!m_polling) {
        OnPollingChanged(1);
        if (m_customPollId == -1)
            StartPolling();
        else
            m_polling = 1;
    }
}

int CQvxGuiControl::ForgetSentCommands()
{
    if (!m_hasWriteRegister)
        return 1;
    // Cancelling takes the receiver's lock and then the manager's, one after the other.
    while (!m_sentCommands.IsEmpty())
        CancelQuery(m_sentCommands.RemoveHead());
    return 1;
}

int CQvxGuiControl::RemoveSentCommand(int queryId)
{
    POSITION pos = m_sentCommands.Find(queryId);
    if (!pos)
        return 0;
    m_sentCommands.RemoveAt(pos);
    return 1;
}

void CQvxGuiControl::Shutdown()
{
    ForgetSentCommands();
    SetModified(0);
    EnablePolling(0);
}

void CQvxGuiControl::StoreResponse(const CAmpResponseToGui& /*response*/)
{
    m_state = 3;
}

void CQvxGuiControl::ProcessResponses()
{
    CAmpResponseToGui response;
    while (GetNextResponse(response))
        StoreResponse(response);
    if (m_refreshPending) {
        OnConversionChanged();
        m_refreshPending = 0;
    }
}

// ---------------------------------------------------------------------------
int CQvxGuiControl::BindRecordsetField(CQvxDatabaseRecordset* recordset, const char* fieldName)
{
    if (!recordset || !recordset->table)
        return 0;
    const int column = recordset->table->fields.FindField(fieldName);
    if (column < 0)
        return 0;
    return BindRecordsetFieldAt(recordset, column);
}

int CQvxGuiControl::BindRecordsetFieldAt(CQvxDatabaseRecordset* recordset, int column)
{
    SetRecordset(recordset);
    m_recordsetField = column;
    return 1;
}

void CQvxGuiControl::UnbindRecordset()
{
    SetRecordset(nullptr);
}

void CQvxGuiControl::RandomExercise(int flags)
{
    if (m_hasWriteRegister && (flags & 0x4) && std::rand() % 11 < 5)
        SendValue();
}

// ---------------------------------------------------------------------------
int CQvxGuiControl::ExecuteCommand(const CString& command, CString& reply)
{
    const CString head = command.Left(8);
    if (head.CompareNoCase("GETVALUE") == 0) {
        GetValueText(reply);
        return 1;
    }
    if (head.CompareNoCase("SETVALUE") != 0)
        return 0;
    double value = 0.0;
    const int result = CParamParse::ParseParams(command, {value});
    if (result != CParamParse::ok) {
        reply = "ERROR:" + CParamParse::GetErrorString(result);
        return 1;
    }
    // All significant digits: a one-digit rendering would turn 1234 into 1e+03.
    CString text;
    text.Format("%.15g", value);
    SetValueText(text);
    reply = "SUCCESS";
    return 1;
}
