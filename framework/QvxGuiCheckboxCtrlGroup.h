// CQvxGuiCheckboxCtrlGroup: check boxes that share one register word. It has
// no window; its value is the word built from its members' bits.
#pragma once

#include "QvxGuiControl.h"

class CQvxGuiCheckboxCtrl;

class CQvxGuiCheckboxCtrlGroup : public CQvxGuiControl {
public:
    CQvxGuiCheckboxCtrlGroup() { m_name = "CheckBoxGroup"; }
    ~CQvxGuiCheckboxCtrlGroup() override;

    int IsModified() override;
    // Sending or restoring the word settles every member.
    void SetModified(int modified) override;
    void StoreResponse(const CAmpResponseToGui& response) override;
    int GetIntValue(int& value) override;
    int GetDoubleValue(double& value) override;
    void RandomExercise(int flags) override;

    void AddCheckbox(CQvxGuiCheckboxCtrl* box);
    void RemoveCheckbox(CQvxGuiCheckboxCtrl* box);
    int GetMemberCount() const { return m_members.GetCount(); }
    // The member a random number (0..32767) picks; always below the member count.
    static int PickMember(int random, int count);
    int ForgetSentId(int queryId) { return RemoveSentCommand(queryId); }

    // Keep the bits of the last received word that no member owns.
    int m_keepUnrelatedBits = 0;

private:
    CList<CQvxGuiCheckboxCtrl*, CQvxGuiCheckboxCtrl*> m_members;
    LONG m_lastWord = 0;
};
