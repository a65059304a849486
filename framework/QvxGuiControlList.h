// CQvxGuiControlList: the register-bound controls of one drive window, in the
// order they were added. The window starts and stops their polling, sends
// them by group and routes the "CONTROL" text commands through it.
#pragma once

#include "platform/core/List.h"
#include "platform/core/String.h"

class CGuiUpdateDlg;
class CQvxGuiControl;

class CQvxGuiControlList : public CList<CQvxGuiControl*, CQvxGuiControl*> {
public:
    CQvxGuiControlList() = default;
    virtual ~CQvxGuiControlList() = default;
    CQvxGuiControlList(const CQvxGuiControlList&) = delete;
    CQvxGuiControlList& operator=(const CQvxGuiControlList&) = delete;

    virtual void RandomExercise(int flags);

    POSITION AddControl(CQvxGuiControl* control, int sendGroup);
    void RestartPollingAll();
    void StartPollingAll();
    void StopPollingAll();
    int SendGroup(int group);
    int AcceptPendingEntry();
    void ClearAll();
    int AnyModified();
    void ListValues(CString& text);
    CQvxGuiControl* FindControl(const char* name);
    // 1 when the command was a control command (the outcome in the reply).
    int ExecuteControlCommand(const CString& command, CString& reply);
    // -1 without an owner window.
    int MessageBox(const char* text, unsigned type, int scriptedAnswer, int helpId);

    void SetOwner(CGuiUpdateDlg* owner) { m_owner = owner; }
    CGuiUpdateDlg* GetOwner() const { return m_owner; }

private:
    template <typename F>
    void ForEach(F&& action)
    {
        for (POSITION pos = GetHeadPosition(); pos;)
            action(GetNext(pos));
    }

    CGuiUpdateDlg* m_owner = nullptr;
};
