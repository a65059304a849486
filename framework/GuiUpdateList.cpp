#include "GuiUpdateList.h"

#include <cstdlib>
#include <set>

#include "GuiCommandInterpreter.h"
#include "GuiFrameServices.h"
#include "GuiLayoutFile.h"
#include "GuiUpdateDlgIdMap.h"
#include "comm/link/CommAppServices.h"
#include "foundation/WindowHelpers.h"
#include "platform/core/Rand.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/HelpContext.h"
#include "platform/ui/MsgBox.h"

namespace {
const char kErrorPrefix[] = "ERROR:";

bool IsErrorReply(const CString& reply) { return reply.Left(6) == kErrorPrefix; }

CGuiUpdateDlgIdMap* Registry()
{
    CGuiFrameServices* frame = CGuiFrameServices::Get();
    return frame ? frame->GetDlgIdMap() : nullptr;
}
}  // namespace

// ---------------------------------------------------------------------------
CGuiUpdateList::COwnItem::COwnItem(CGuiUpdateList& list) : m_list(list)
{
    m_pList = &list;
    m_statusFlags = kStatusWord;
}

int CGuiUpdateList::COwnItem::CanExit()
{
    for (POSITION pos = m_list.GetHeadPosition(); pos;)
        if (!m_list.GetNext(pos)->CanExit())
            return 0;
    return 1;
}

void CGuiUpdateList::COwnItem::RandomExercise(int flags)
{
    CList<CGuiUpdateItem*, CGuiUpdateItem*> open(m_list);
    for (POSITION pos = open.GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = open.GetNext(pos);
        if (Rand() % 2 == 0 && m_list.FindPosition(item))
            item->RandomExercise(flags);
    }
}

void CGuiUpdateList::COwnItem::OnStatusResponse(const CAmpResponseToGui& response)
{
    CGuiUpdateItem::OnStatusResponse(response);
    if (CGuiFrameServices* frame = CGuiFrameServices::Get())
        frame->OnDriveStatusResponse(response);
}

void CGuiUpdateList::COwnItem::OnDriveChanged()
{
    for (POSITION pos = m_list.GetHeadPosition(); pos;)
        m_list.GetNext(pos)->OnDriveChanged();
}

// ---------------------------------------------------------------------------
CGuiUpdateList::CGuiUpdateList() : m_ownItem(*this) {}

CGuiUpdateList::~CGuiUpdateList()
{
    // Windows outlive nothing here: they must not reach back into a list that is gone.
    for (POSITION pos = GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = GetNext(pos);
        if (item->GetUpdateList() == this)
            item->SetUpdateList(nullptr);
    }
}

void CGuiUpdateList::Initialise(CGlobalParameterTable* table)
{
    m_pParameterTable = table;
    CString folder = AfxGetSpecialFolder(CSIDL_PERSONAL);
    if (!folder.IsEmpty() && folder.Right(1) != "/")
        folder += "/";
    folder += "Korvane";
    AfxCreateFolders(folder);
    m_layoutFolder = folder + "/";
}

POSITION CGuiUpdateList::FindPosition(const CGuiUpdateItem* item) const
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        const POSITION current = pos;
        if (GetNext(pos) == item)
            return current;
    }
    return nullptr;
}

int CGuiUpdateList::AddItem(CGuiUpdateItem* item)
{
    if (!item || FindPosition(item))
        return 0;
    const CString className = item->GetGuiName();
    int count = 0;
    m_openCounts.Lookup(className, count);
    m_openCounts.SetAt(className, count + 1);
    m_countedClass.SetAt(item, className);
    AddTail(item);
    item->SetUpdateList(this);
    return 1;
}

int CGuiUpdateList::RemoveItem(CGuiUpdateItem* item)
{
    const POSITION pos = FindPosition(item);
    if (!pos)
        return 0;
    RemoveAt(pos);
    CString className;
    m_countedClass.Lookup(item, className);
    m_countedClass.RemoveKey(item);
    int count = 0;
    if (m_openCounts.Lookup(className, count) && count > 0)
        m_openCounts.SetAt(className, count - 1);
    m_listChanged = 1;
    return 1;
}

int CGuiUpdateList::GetOpenCount(const char* className) const
{
    int count = 0;
    m_openCounts.Lookup(className, count);
    return count;
}

CGuiUpdateItem* CGuiUpdateList::FindItem(const char* className, int drive) const
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = GetNext(pos);
        if (item->GetGuiName() == className && item->GetDrive() == drive)
            return item;
    }
    return nullptr;
}

CGuiUpdateItem* CGuiUpdateList::FindLastItemOfClass(const char* className) const
{
    for (POSITION pos = GetTailPosition(); pos;) {
        CGuiUpdateItem* item = GetPrev(pos);
        if (item->GetGuiName() == className)
            return item;
    }
    return nullptr;
}

int CGuiUpdateList::CollectItemsByClass(CList<CGuiUpdateItem*, CGuiUpdateItem*>& items, const char* className) const
{
    items.RemoveAll();
    for (POSITION pos = GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = GetNext(pos);
        if (item->GetGuiName() == className)
            items.AddTail(item);
    }
    return items.GetCount();
}

int CGuiUpdateList::CollectItemsByGuiName(CList<CGuiUpdateItem*, CGuiUpdateItem*>& items, const char* windowName) const
{
    items.RemoveAll();
    CString className;
    CGuiUpdateDlgIdMap* registry = Registry();
    if (!registry || !registry->GetClassNameOfWindowName(windowName, className))
        return 0;
    return CollectItemsByClass(items, className);
}

int CGuiUpdateList::GetDrivesForGui(CList<CAmplifierData>* drives, const char* className, int unusedOnly,
                                    int compatibleOnly) const
{
    if (drives)
        drives->RemoveAll();
    CCommAppServices* app = CCommAppServices::Get();
    if (!app)
        return 0;
    CList<CAmplifierData> connected;
    app->GetConnectedDrives(connected);
    CGuiUpdateDlgIdMap* registry = Registry();
    int count = 0;
    for (POSITION pos = connected.GetHeadPosition(); pos;) {
        const CAmplifierData& drive = connected.GetNext(pos);
        if (unusedOnly && FindItem(className, drive.m_address))
            continue;
        if (compatibleOnly &&
            !(registry && registry->IsCompatible(className, drive.m_family, static_cast<int>(drive.m_data))))
            continue;
        ++count;
        if (drives)
            drives->AddTail(drive);
    }
    return count;
}

// ---------------------------------------------------------------------------
void CGuiUpdateList::UpdateAll()
{
    // A window's modal box runs a message loop that fires the frame's timer
    // again: a nested tick would walk the list under the outer walk's feet.
    if (m_closingAll || m_loadingLayout || m_inUpdateAll)
        return;
    m_inUpdateAll = 1;
    RunQueuedCommands();
    m_ownItem.UpdateCycle();
    DeliverDueMessages();
    TickOpenWindows();
    HandOwnResponses();
    FollowDriveStates();
    m_inUpdateAll = 0;
}

void CGuiUpdateList::RunQueuedCommands()
{
    while (!m_commandQueue.IsEmpty()) {
        const CString line = m_commandQueue.RemoveHead();
        CString reply;
        ExecuteCommand(line, reply, 1);
        // Through the gate like every other box, so an unattended script never
        // stops on a modal box.
        if (IsErrorReply(reply))
            MessageBox(reply, MB_OK, 0, IDOK);
    }
}

void CGuiUpdateList::DeliverDueMessages()
{
    while (QvxGuiItemMessage* message = m_messageQueue.TakeDueMessage()) {
        CList<CGuiUpdateItem*, CGuiUpdateItem*> targets;
        CollectItemsByClass(targets, message->m_targetClass);
        for (POSITION pos = targets.GetHeadPosition(); pos;) {
            CGuiUpdateItem* item = targets.GetNext(pos);
            if (FindPosition(item))  // an earlier one may have closed it
                item->OnDelayedMessage(message->m_text);
        }
        delete message;
    }
}

void CGuiUpdateList::TickOpenWindows()
{
    m_updating = 1;
    m_listChanged = 0;
    POSITION pos = GetHeadPosition();
    while (pos) {
        CGuiUpdateItem* item = GetNext(pos);
        item->UpdateCycle();
        if (m_listChanged) {
            m_listChanged = 0;
            pos = GetHeadPosition();
        }
    }
    m_updating = 0;
}

void CGuiUpdateList::HandOwnResponses()
{
    CAmpResponseToGui response;
    while (m_ownItem.GetNextResponse(response))
        m_ownItem.OnStatusResponse(response);
}

void CGuiUpdateList::FollowDriveStates()
{
    std::set<int> drives;
    for (POSITION pos = GetHeadPosition(); pos;)
        drives.insert(GetNext(pos)->GetDrive());
    drives.erase(-1);
    m_driveStates.Follow(drives);
    if (!m_driveStates.TakeResponses())
        return;
    for (POSITION pos = GetHeadPosition(); pos;)
        GetNext(pos)->OnDriveStateChanged();
}

void CGuiUpdateList::RestartAllItems()
{
    m_driveStates.Restart();
    for (POSITION pos = GetHeadPosition(); pos;)
        GetNext(pos)->ResetQueryStages(1, 1, 1);
}

void CGuiUpdateList::CloseAllItems()
{
    m_closingAll = 1;
    CList<CGuiUpdateItem*, CGuiUpdateItem*> open(*this);
    for (POSITION pos = open.GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = open.GetNext(pos);
        if (!FindPosition(item) || item->GetKeepOpen())
            continue;
        item->DetachFromUpdateList(kDetachClose);
        item->SetUpdateList(nullptr);
    }
    // The link may close next and take the polls with it; windows opened later poll afresh.
    m_driveStates.Restart();
    m_closingAll = 0;
}

void CGuiUpdateList::CloseAllItemsWithoutAsking()
{
    for (POSITION pos = GetHeadPosition(); pos;)
        GetNext(pos)->SetClosing(1);
    CloseAllItems();
}

int CGuiUpdateList::SaveLayout(const char* path, int ask, int keepFolder)
{
    return CGuiLayoutFile(*this).Save(path, ask, keepFolder);
}

int CGuiUpdateList::LoadLayout(const char* path) { return CGuiLayoutFile(*this).Load(path); }

int CGuiUpdateList::ListUnsentChanges(CString* text)
{
    int pending = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = GetNext(pos);
        if (item->GetPendingChangesState(1) == 2)
            continue;
        if (!text)
            return 1;
        pending = 1;
        const CString name = item->GetItemName();
        if (name != "<NO-DLGNAME>" && name != "<NO-ITEMNAME>")
            *text += "-" + name + "\r\n";
    }
    return pending;
}

void CGuiUpdateList::KeepWindowsOnScreen()
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = GetNext(pos);
        if (item->IsMovableWindow() && item->GetWnd())
            MoveWindowOntoScreen(item->GetWnd());
    }
}

int CGuiUpdateList::MessageBox(const char* text, UINT type, int helpId, int scriptedAnswer)
{
    if (!m_interactive) {
        if (CCommAppServices* app = CCommAppServices::Get())
            app->AddDebugMessage(CString("MSGBOX:") + (text ? text : ""));
        return scriptedAnswer;
    }
    CHelpContextScope help(static_cast<SHORT>(helpId));
    return AfxMessageBox(text, type, static_cast<UINT>(helpId));
}

void CGuiUpdateList::QueueDelayedMessage(const char* targetClass, const char* text, double delaySeconds)
{
    m_messageQueue.Queue(targetClass, text, delaySeconds);
}

int CGuiUpdateList::ExecuteCommand(const CString& command, CString& reply, int runNow)
{
    const int point = command.Find('.');
    const int quote = command.Find('"');
    const bool windowCommand = point >= 0 && (quote < 0 || point < quote) && point + 2 < command.GetLength();
    if (!windowCommand)
        return CGuiCommandInterpreter(*this).Execute(command, reply, runNow);
    CString windowName = command.Left(point);
    windowName.Trim();
    CString windowCommandText = command.Mid(point + 1);
    windowCommandText.Trim();
    CList<CGuiUpdateItem*, CGuiUpdateItem*> windows;
    if (CollectItemsByGuiName(windows, windowName) == 0) {
        reply = CString(kErrorPrefix) + " GUI unavailable";
        return 0;
    }
    int taken = 0;
    for (POSITION pos = windows.GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = windows.GetNext(pos);
        if (FindPosition(item) && item->ExecuteCommand(windowCommandText, reply))
            taken = 1;
    }
    if (!taken)
        reply = CString(kErrorPrefix) + " Unrecognized command";
    return taken;
}

// ---------------------------------------------------------------------------
namespace {
// The first drive assignment of the current link that matches.
template <class Match>
bool FindDriveAssignment(Match matches, CDriveAssignment& found)
{
    CCommAppServices* app = CCommAppServices::Get();
    if (!app)
        return false;
    CList<CDriveAssignment> assignments;
    app->GetDriveAssignments(assignments);
    for (POSITION pos = assignments.GetHeadPosition(); pos;) {
        const CDriveAssignment& entry = assignments.GetNext(pos);
        if (matches(entry)) {
            found = entry;
            return true;
        }
    }
    return false;
}
}  // namespace

int FindDriveNameByNumber(int drive, CString& name)
{
    CDriveAssignment found;
    if (!FindDriveAssignment([drive](const CDriveAssignment& a) { return a.m_address == drive; }, found))
        return 0;
    name = found.m_name;
    return 1;
}

int ParseDriveReference(const char* text, int& drive)
{
    if (!text || !*text)
        return 0;
    if (*text >= '0' && *text <= '9') {
        drive = std::atoi(text);
        return 1;
    }
    CDriveAssignment found;
    if (!FindDriveAssignment([text](const CDriveAssignment& a) { return a.m_name == text; }, found))
        return 0;
    drive = found.m_address;
    return 1;
}
