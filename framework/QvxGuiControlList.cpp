#include "QvxGuiControlList.h"

#include <cstdlib>

#include "GuiUpdateDlg.h"
#include "QvxGuiControl.h"
#include "foundation/ParamParse.h"

POSITION CQvxGuiControlList::AddControl(CQvxGuiControl* control, int sendGroup)
{
    if (POSITION existing = Find(control))
        return existing;
    control->SetOwnerList(this);
    control->SetSendGroup(sendGroup);
    control->Initialise();
    return AddTail(control);
}

void CQvxGuiControlList::RestartPollingAll()
{
    ForEach([](CQvxGuiControl* c) { c->RestartPolling(); });
}

void CQvxGuiControlList::StartPollingAll()
{
    ForEach([](CQvxGuiControl* c) {
        if (!(c->m_flags & kCtrlManualPolling))
            c->EnablePolling(1);
    });
}

void CQvxGuiControlList::StopPollingAll()
{
    ForEach([](CQvxGuiControl* c) { c->EnablePolling(0); });
}

int CQvxGuiControlList::SendGroup(int group)
{
    ForEach([group](CQvxGuiControl* c) {
        if (group == -1 || c->GetSendGroup() == group)
            c->SendValue();
    });
    return 1;
}

int CQvxGuiControlList::AcceptPendingEntry()
{
    for (POSITION pos = GetHeadPosition(); pos;)
        if (GetNext(pos)->AcceptEntry())
            return 1;
    return 0;
}

void CQvxGuiControlList::ClearAll()
{
    ForEach([](CQvxGuiControl* c) { c->ClearValue(); });
}

int CQvxGuiControlList::AnyModified()
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        CQvxGuiControl* control = GetNext(pos);
        if (control->HasWriteRegister() && control->IsModified())
            return 1;
    }
    return 0;
}

void CQvxGuiControlList::ListValues(CString& text)
{
    text.Empty();
    ForEach([&text](CQvxGuiControl* c) {
        c->CommitPendingEntry();
        double value = 0.0;
        if ((c->m_flags & kCtrlNotListed) || !c->HasWriteRegister() || !c->GetDoubleValue(value))
            return;
        CString shown;
        c->GetValueText(shown);
        text += (c->GetControlName().IsEmpty() ? CString("???") : c->GetControlName()) + " = " + shown + "\r\n";
    });
}

CQvxGuiControl* CQvxGuiControlList::FindControl(const char* name)
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        CQvxGuiControl* control = GetNext(pos);
        if (control->GetControlName() == name)
            return control;
    }
    return nullptr;
}

int CQvxGuiControlList::ExecuteControlCommand(const CString& command, CString& reply)
{
    const int point = command.Find('.');
    const CString head = point < 0 ? command : command.Left(point);
    const CString tail = point < 0 ? CString() : command.Mid(point + 1);
    if (head.Left(7).CompareNoCase("CONTROL") == 0) {
        CString name;
        const int result = CParamParse::ParseParams(head, {name});
        if (result != CParamParse::ok) {
            reply = "ERROR:" + CParamParse::GetErrorString(result);
            return 1;
        }
        CQvxGuiControl* control = FindControl(name);
        if (!control)
            reply.Format("%s Unknown control \"%s\".", "ERROR:", name.GetString());
        else if (tail.IsEmpty())
            reply.Format("%s Missing control command.", "ERROR:");
        else if (!control->ExecuteCommand(tail, reply))
            reply.Format("%s Invalid control command \"%s\".", "ERROR:", tail.GetString());
        return 1;
    }
    if (head.Left(12).CompareNoCase("LISTCONTROLS") == 0) {
        reply.Empty();
        for (POSITION pos = GetHeadPosition(); pos;) {
            reply += GetNext(pos)->GetControlName();
            if (pos)
                reply += "\r\n";
        }
        if (IsEmpty())
            reply = "No controls.";
        return 1;
    }
    return 0;
}

int CQvxGuiControlList::MessageBox(const char* text, unsigned type, int scriptedAnswer, int helpId)
{
    if (!m_owner)
        return -1;
    return m_owner->CGuiUpdateItem::MessageBox(text, type, helpId ? helpId : static_cast<int>(m_owner->m_nIDHelp),
                                               scriptedAnswer);
}

void CQvxGuiControlList::RandomExercise(int flags)
{
    ForEach([flags](CQvxGuiControl* c) {
        if (std::rand() % 2 == 0)
            c->RandomExercise(flags);
    });
}
