#include "GuiUpdateItem.h"

#include <cmath>

#include "GuiFrameServices.h"
#include "GuiUpdateList.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "platform/core/Archive.h"
#include "platform/core/Profile.h"
#include "platform/ui/HelpContext.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/Wnd.h"

CGuiUpdateItem::~CGuiUpdateItem()
{
    if (m_pList)
        m_pList->RemoveItem(this);
}

CString CGuiUpdateItem::GetReceiverName() const { return GetItemName(); }

CGuiUpdateList* CGuiUpdateItem::ListForRegistration() const
{
    if (m_pList)
        return m_pList;
    CGuiFrameServices* frame = CGuiFrameServices::Get();
    return frame ? frame->GetUpdateList() : nullptr;
}

void CGuiUpdateItem::AttachToUpdateList()
{
    m_stage1Done = m_stage2Done = m_stage3Done = 0;
    m_enableBit = 0;
    m_statusWord = 0;
    m_faultWord = 0;
    if (CGuiUpdateList* list = ListForRegistration())
        list->AddItem(this);
}

void CGuiUpdateItem::DetachFromUpdateList(int flags)
{
    if (flags & kDetachUnregister)
        if (CGuiUpdateList* list = ListForRegistration())
            list->RemoveItem(this);
}

int CGuiUpdateItem::CloseItem(int ask)
{
    CWnd* wnd = GetWnd();
    if (!wnd)
        return 0;
    if (ask && !CanClose())
        return 0;
    m_closing = 1;
    wnd->SendMessage(WM_CLOSE);
    return 1;
}

void CGuiUpdateItem::SetDrive(int drive, int restart)
{
    if (drive == m_drive)
        return;
    m_drive = drive;
    if (restart)
        ResetQueryStages(1, 1, 1);
}

void CGuiUpdateItem::ResetQueryStages(int stage1, int stage2, int stage3)
{
    if (stage1 || stage2)
        CancelQueries();
    m_stage1Done = !stage1;
    m_stage2Done = !stage2;
    m_stage3Done = !stage3;
}

void CGuiUpdateItem::UpdateCycle()
{
    if (GetDrive() == -1)
        return;
    if (!m_stage1Done)
        m_stage1Done = PrepareQueries();
    // The status polls wait for the window's own queries, so a window that is
    // not ready yet polls nothing.
    if (m_stage1Done && !m_stage2Done)
        m_stage2Done = SubscribeStatusQueries();
    if (!m_stage1Done || !m_stage2Done)
        return;
    if (!m_stage3Done) {
        ProcessQueuedResponses();
        m_stage3Done = InitialUpdate();
        return;
    }
    if (m_updateTimer.GetElapsedSeconds() >= m_updatePeriod) {
        m_updateTimer.Restart();
        ProcessResponses();
    }
}

int CGuiUpdateItem::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    if (m_statusFlags & kStatusWord)
        SendQuery(address, kStatusWordCode, 200, 0);
    if (m_statusFlags & kStatusFault)
        SendQuery(address, kFaultWordCode, 200, 0);
    if (m_statusFlags & kStatusMode)
        SendQuery(address, kModeWordCode, 1000, 0);
    return 1;
}

void CGuiUpdateItem::ProcessQueuedResponses()
{
    CAmpResponseToGui response;
    while (GetNextResponse(response))
        OnStatusResponse(response);
}

void CGuiUpdateItem::OnStatusResponse(const CAmpResponseToGui& response)
{
    const int value = static_cast<int>(response.m_value);
    switch (response.m_code) {
    case kModeWordCode:
        if (value != m_modeWord) {
            m_modeWord = value;
            OnModeWordChanged(value);
        }
        break;
    case kStatusWordCode: {
        if (value != m_statusWord) {
            m_statusWord = value;
            OnStatusWordChanged(value);
        }
        const int bit = (m_statusWord >> 8) & 1;
        if (bit != m_enableBit) {
            m_enableBit = bit;
            OnEnableBitChanged(bit);
        }
        break;
    }
    case kFaultWordCode:
        if (value != m_faultWord) {
            m_faultWord = value;
            OnFaultWordChanged(value);
        }
        break;
    default:
        break;
    }
}

void CGuiUpdateItem::SerializeLayout(CArchive& ar, int /*version*/)
{
    if (ar.IsLoading())
        m_properties.RemoveAll();
    m_properties.Serialize(ar);
}

int CGuiUpdateItem::GetDefaultDrive()
{
    const int preferred = static_cast<int>(AfxGetProfileInt("GENERAL", "DFLTDRV", 1));
    CGuiUpdateList* list = ListForRegistration();
    if (!list)
        return -1;
    CList<CAmplifierData> drives;
    if (list->GetDrivesForGui(&drives, GetGuiName(), 1, 1) == 0)
        return -1;
    for (POSITION pos = drives.GetHeadPosition(); pos;)
        if (drives.GetNext(pos).m_address == preferred)
            return preferred;
    return drives.GetHead().m_address;
}

void CGuiUpdateItem::ResetUpdateTimer()
{
    m_updatePeriod = 0.2;
    m_updateTimer.Restart();
}

bool CGuiUpdateItem::GetGlobalParameterValue(int drive, int id, double& value)
{
    if (!m_pList || !m_pList->GetParameterTable())
        return false;
    return m_pList->GetParameterTable()->GetParameterValue(drive == -1 ? GetDrive() : drive, id, value);
}

int CGuiUpdateItem::GetGlobalParameterInt(int id, int& value)
{
    double raw = 0.0;
    if (!GetGlobalParameterValue(-1, id, raw))
        return 0;
    value = static_cast<int>(raw >= 0 ? std::floor(raw + 0.5) : std::ceil(raw - 0.5));
    return 1;
}

int CGuiUpdateItem::MessageBox(const char* text, UINT type, int helpId, int scriptedAnswer)
{
    if (!m_pList)
        return -1;
    CWnd* asking = GetWnd();
    if (!m_pList->IsInteractive() || !asking || !asking->GetSafeHwnd())
        return m_pList->MessageBox(text, type, helpId, scriptedAnswer);
    // Owned by the asking window: centred on it and kept in front of it.
    CHelpContextScope help(static_cast<SHORT>(helpId));
    return AfxWndMessageBox(asking, text, nullptr, type);
}

void CGuiUpdateItem::PostDelayedMessage(const char* targetClass, const char* text, double delaySeconds)
{
    if (m_pList)
        m_pList->QueueDelayedMessage(targetClass, text, delaySeconds);
}
