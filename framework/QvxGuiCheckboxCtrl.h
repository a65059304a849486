// CQvxGuiCheckboxCtrl: a check box bound to a bit mask of a drive register,
// alone or as a member of a CQvxGuiCheckboxCtrlGroup that writes one word.
#pragma once

#include "QvxGuiControl.h"
#include "platform/ui/Button.h"
#include "platform/ui/MessageMap.h"

class CQvxGuiCheckboxCtrlGroup;

class CQvxGuiCheckboxCtrl : public CButton, public CQvxGuiControl {
public:
    static constexpr UINT kSendMessage = WM_USER + 10;

    CQvxGuiCheckboxCtrl() { m_name = "CheckBox"; }
    ~CQvxGuiCheckboxCtrl() override;

    void GetValueText(CString& text) override;
    void SetValueText(const char* text) override;
    void StoreResponse(const CAmpResponseToGui& response) override;
    int GetIntValue(int& value) override;
    int GetDoubleValue(double& value) override;
    int ApplyCustomConversion() override;
    int AcceptEntry() override;
    void ProcessResponses() override;
    CWnd* GetWnd() override { return this; }
    void ClearValue() override;
    void RandomExercise(int flags) override;

    // Takes a write echo's id out of the list that sent it (the group's for a member).
    int ForgetSentId(int queryId) { return RemoveSentCommand(queryId); }
    void SetGroup(CQvxGuiCheckboxCtrlGroup* group) { m_group = group; }
    CQvxGuiCheckboxCtrlGroup* GetGroup() const { return m_group; }

    DWORD m_bitMask = 0;
    LONG m_onValue = 1;
    int m_inverted = 0;
    int m_sendOnClick = 0;

    void OnClicked();
    LRESULT OnSendMessage(WPARAM, LPARAM);

private:
    CQvxGuiCheckboxCtrlGroup* m_group = nullptr;

    DECLARE_MESSAGE_MAP()
};
