#include "GuiCommandInterpreter.h"

#include "GuiFrameServices.h"
#include "GuiUpdateDlg.h"
#include "GuiUpdateDlgIdMap.h"
#include "GuiUpdateList.h"
#include "foundation/ParamParse.h"
#include "platform/core/SpecialFolders.h"

namespace {
const char kErrorPrefix[] = "ERROR:";
const char kSuccess[] = "SUCCESS";
const char kScopeClassName[] = "CQvxScopeDlg";
constexpr int kRestoreHelpId = -1762;

bool Begins(const CString& command, const char* keyword)
{
    const int length = static_cast<int>(CString(keyword).GetLength());
    return command.Left(length).CompareNoCase(keyword) == 0;
}

CString Error(const char* text) { return CString(kErrorPrefix) + text; }

CGuiUpdateDlgIdMap* Registry()
{
    CGuiFrameServices* frame = CGuiFrameServices::Get();
    return frame ? frame->GetDlgIdMap() : nullptr;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

CString WithClosingSeparator(const CString& folder)
{
    if (folder.IsEmpty() || !IsSeparator(folder[folder.GetLength() - 1]))
        return folder + "/";
    return folder;
}
}  // namespace

int CGuiCommandInterpreter::Execute(const CString& command, CString& reply, int runNow)
{
    // Longer keywords that begin like shorter ones come first in this table's order.
    if (Begins(command, "ENABLEAMP"))
        return SendEnable(1, reply);
    if (Begins(command, "DISABLEAMP"))
        return SendEnable(0, reply);
    if (Begins(command, "GETAMPENABLED"))
        return GetAmpEnabled(reply);
    if (Begins(command, "SETDEFAULTAMP"))
        return SetDefaultAmp(command, reply);
    if (Begins(command, "SETWORKINGFOLDER"))
        return SetWorkingFolder(command, reply);
    const bool deferred = Begins(command, "LOADLAYOUT") || Begins(command, "CLOSEALLGUIS") ||
                          Begins(command, "RESTOREBACKUP");
    if (deferred && !runNow) {
        // The arguments are checked now, so a script hears of a typing error at once.
        CString text;
        if (!Begins(command, "CLOSEALLGUIS") && !ParseText(command, text, reply))
            return 1;
        m_list.QueueCommand(command);
        reply = kSuccess;
        return 1;
    }
    if (Begins(command, "LOADLAYOUT"))
        return LoadLayout(command, reply);
    if (Begins(command, "CLOSEALLGUIS"))
        return CloseAllGuis(reply);
    if (Begins(command, "RESTOREBACKUP"))
        return RestoreBackup(command, reply);
    if (Begins(command, "OPENGUI"))
        return OpenGui(command, reply);
    if (Begins(command, "LISTGUIS"))
        return ListGuis(reply);
    if (Begins(command, "LISTOPENGUIS"))
        return ListOpenGuis(reply);
    reply = Error(" Unrecognized command");
    return 0;
}

bool CGuiCommandInterpreter::ParseText(const CString& command, CString& text, CString& reply)
{
    const int parsed = CParamParse::ParseParams(command, {text});
    if (parsed == CParamParse::ok)
        return true;
    reply = kErrorPrefix + CParamParse::GetErrorString(parsed);
    return false;
}

int CGuiCommandInterpreter::SendEnable(int state, CString& reply)
{
    CGuiUpdateItem& own = m_list.GetOwnItem();
    const int drive = own.GetDrive();
    const bool sent = drive != -1 && own.SendCommand(static_cast<BYTE>(drive), kDriveEnableCode, state) > 0;
    reply = sent ? CString(kSuccess) : Error(" No amp selected");
    return 1;
}

int CGuiCommandInterpreter::GetAmpEnabled(CString& reply)
{
    reply = m_list.GetOwnItem().GetEnableBit() ? "TRUE" : "FALSE";
    return 1;
}

int CGuiCommandInterpreter::SetDefaultAmp(const CString& command, CString& reply)
{
    CString text;
    if (!ParseText(command, text, reply))
        return 1;
    int drive = -1;
    if (!ParseDriveReference(text, drive)) {
        reply.Format("%s Invalid amp \"%s\".", kErrorPrefix, text.GetString());
        return 1;
    }
    m_list.GetOwnItem().SetDrive(drive, 1);
    reply = kSuccess;
    return 1;
}

int CGuiCommandInterpreter::SetWorkingFolder(const CString& command, CString& reply)
{
    CString text;
    int asIs = 0;
    const int parsed = CParamParse::ParseParams(command, {text, asIs});
    if (parsed != CParamParse::ok) {
        reply = kErrorPrefix + CParamParse::GetErrorString(parsed);
        return 1;
    }
    CString folder = text;
    if (!asIs) {
        CString documents = AfxGetSpecialFolder(CSIDL_PERSONAL);
        if (documents.IsEmpty()) {
            reply = Error(" Could not get app docs folder");
            return 1;
        }
        CString product = WithClosingSeparator(documents) + "Korvane";
        AfxCreateFolders(product);
        folder = product + (!text.IsEmpty() && IsSeparator(text[0]) ? "" : "/") + text;
    }
    m_list.SetLayoutFolder(WithClosingSeparator(folder));
    reply = kSuccess;
    return 1;
}

int CGuiCommandInterpreter::LoadLayout(const CString& command, CString& reply)
{
    CString name;
    if (!ParseText(command, name, reply))
        return 1;
    const CString path = m_list.GetLayoutFolder() + name + ".kvl";
    reply = m_list.LoadLayout(path) == 1 ? CString(kSuccess) : Error(" Could not open layout file");
    return 1;
}

int CGuiCommandInterpreter::CloseAllGuis(CString& reply)
{
    m_list.CloseAllItemsWithoutAsking();
    reply = kSuccess;
    return 1;
}

int CGuiCommandInterpreter::RestoreBackup(const CString& command, CString& reply)
{
    CString name;
    if (!ParseText(command, name, reply))
        return 1;
    const int drive = m_list.GetOwnItem().GetDrive();
    CString driveName;
    FindDriveNameByNumber(drive, driveName);
    CGuiFrameServices* frame = CGuiFrameServices::Get();
    const CString path = m_list.GetLayoutFolder() + name + ".bk";
    const bool started = frame && frame->RestoreBackup(drive, driveName, path, kRestoreHelpId) != 0;
    reply = started ? CString(kSuccess) : Error(" Could not restore backup file");
    return 1;
}

int CGuiCommandInterpreter::OpenGui(const CString& command, CString& reply)
{
    CString name;
    if (!ParseText(command, name, reply))
        return 1;
    CGuiUpdateDlgIdMap* registry = Registry();
    if (!registry || !registry->CreateGui(name, nullptr, 1)) {
        reply.Format("%s Could not open GUI \"%s\".", kErrorPrefix, name.GetString());
        return 1;
    }
    reply = kSuccess;
    return 1;
}

int CGuiCommandInterpreter::ListGuis(CString& reply)
{
    reply.Empty();
    if (CGuiUpdateDlgIdMap* registry = Registry()) {
        const CStringArray& names = registry->GetWindowNames();
        for (int i = 0; i < names.GetSize(); ++i)
            reply += (i > 0 ? "\r\n" : "") + names[i];
    }
    return 1;
}

int CGuiCommandInterpreter::ListOpenGuis(CString& reply)
{
    reply.Empty();
    CGuiUpdateDlgIdMap* registry = Registry();
    for (POSITION pos = m_list.GetHeadPosition(); pos;) {
        const CString className = m_list.GetNext(pos)->GetGuiName();
        CString name;
        if (className == kScopeClassName)
            name = "SCOPE";
        else if (!registry || !registry->FindWindowNameOfClass(className, name))
            name = "<UNKNOWN>";
        if (!reply.IsEmpty())
            reply += "\r\n";
        reply += name;
    }
    if (reply.IsEmpty())
        reply = "No open GUIs";
    return 1;
}
